// Stands in for regsvr32.exe in tests: appends one line to the log its settings name,
// "<its creation time>|<its own path>|<its current directory>|<its PATH>|<its
// start-up record>|<the probed file>|<the watched variables>|<its command line>", and
// ends at once, with an exit code that says whether the line was written; without
// settings it only ends. The settings come from the process that started it
// (standin::SettingsName). The creation time (a FILETIME count) gives the order in
// which the copies were started, which the order of the lines need not be. The
// start-up record is "<flags> <show command>" and the file types of its standard
// output, input and error handles (0 for none). The probed file is the path of the
// file that the settings' probe handle value stands for in this process, empty when
// it stands for none. The watched variables are standin::kWatchedVariables.
// A test that needs the program caught inside one execution makes an event named by
// the settings' hold prefix followed by a command line: a copy started with that
// command line waits, before it logs, until the event is set.

#include "StandIn.h"

#include <windows.h>
#include <winternl.h>

#include <cstring>
#include <sstream>
#include <string>

namespace {

// From the process's basic information, which a snapshot of every process would
// also give at many times the cost.
DWORD ParentProcessId() {
    PROCESS_BASIC_INFORMATION information{};
    if (!NT_SUCCESS(::NtQueryInformationProcess(::GetCurrentProcess(), ProcessBasicInformation, &information,
                                                sizeof information, nullptr))) {
        return 0;
    }
    return static_cast<DWORD>(information.InheritedFromUniqueProcessId);
}

standin::Settings ReadSettings() {
    standin::Settings settings;
    const HANDLE mapping = ::OpenFileMappingA(FILE_MAP_READ, FALSE, standin::SettingsName(ParentProcessId()).c_str());
    if (!mapping) return settings;
    if (const auto* text = static_cast<const char*>(::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0))) {
        std::istringstream lines(std::string(text, strnlen(text, standin::kSettingsSize)));
        std::getline(lines, settings.log);
        std::getline(lines, settings.hold);
        std::getline(lines, settings.probe);
        ::UnmapViewOfFile(text);
    }
    ::CloseHandle(mapping);
    return settings;
}

std::string Variable(const char* name) {
    char value[32768];
    const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
    return length < sizeof value ? std::string(value, length) : std::string();
}

std::string WatchedVariables() {
    std::string variables;
    for (const char* name : standin::kWatchedVariables) {
        if (::GetEnvironmentVariableA(name, nullptr, 0) == 0) continue;
        if (!variables.empty()) variables += ';';
        variables += std::string(name) + "=" + Variable(name);
    }
    return variables;
}

std::string CreationTime() {
    FILETIME created{}, exited{}, kernel{}, user{};
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    return std::to_string((static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime);
}

std::string CurrentDirectory() {
    char directory[MAX_PATH];
    const DWORD length = ::GetCurrentDirectoryA(MAX_PATH, directory);
    return length < MAX_PATH ? std::string(directory, length) : std::string();
}

std::string StartupRecord() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoA(&startup);
    return std::to_string(startup.dwFlags) + " " + std::to_string(startup.wShowWindow) + " " +
           std::to_string(::GetFileType(startup.hStdOutput)) + " " + std::to_string(::GetFileType(startup.hStdInput)) +
           " " + std::to_string(::GetFileType(startup.hStdError));
}

// Whether a handle of the test's reached this process.
std::string ProbedFile(const std::string& probe) {
    if (probe.empty()) return {};
    const auto handle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(std::stoull(probe)));
    char path[MAX_PATH];
    const DWORD length = ::GetFinalPathNameByHandleA(handle, path, MAX_PATH, FILE_NAME_NORMALIZED);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

void WaitWhileHeld(const std::string& hold) {
    if (hold.empty()) return;
    const HANDLE released = ::OpenEventA(SYNCHRONIZE, FALSE, (hold + ::GetCommandLineA()).c_str());
    if (!released) return;
    ::WaitForSingleObject(released, 60000);
    ::CloseHandle(released);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const standin::Settings settings = ReadSettings();
    if (settings.log.empty()) return 0;
    WaitWhileHeld(settings.hold);
    char self[MAX_PATH];
    const DWORD selfLength = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string line = CreationTime() + "|" + std::string(self, selfLength) + "|" + CurrentDirectory() +
                             "|" + Variable("PATH") + "|" + StartupRecord() + "|" + ProbedFile(settings.probe) + "|" +
                             WatchedVariables() + "|" + ::GetCommandLineA() + "\n";
    // Copies that run at the same time append one after the other: Wine's appends
    // are not atomic, and two at once can write over each other.
    const HANDLE turn = ::CreateMutexA(nullptr, FALSE, "quenfix-standin-log");
    if (!turn || ::WaitForSingleObject(turn, INFINITE) == WAIT_FAILED) return standin::kNoTurn;
    const HANDLE log = ::CreateFileA(settings.log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool logged = log != INVALID_HANDLE_VALUE &&
                        ::WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
                        written == line.size();
    if (log != INVALID_HANDLE_VALUE) ::CloseHandle(log);
    ::ReleaseMutex(turn);
    ::CloseHandle(turn);
    if (log == INVALID_HANDLE_VALUE) return standin::kLogNotOpened;
    return logged ? standin::kLogged : standin::kLineNotWritten;
}

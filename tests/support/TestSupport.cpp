#include "TestSupport.h"

#include "UniqueHandle.h"

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

namespace testing_support {

std::string ExeDirectory() {
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path, length);
    return directory.substr(0, directory.find_last_of('\\') + 1);
}

namespace {

std::string Directory(UINT(WINAPI* directoryOf)(LPSTR, UINT)) {
    char buffer[MAX_PATH];
    const UINT length = directoryOf(buffer, MAX_PATH);
    return std::string(buffer, length < MAX_PATH ? length : 0);
}

}  // namespace

std::string SystemDirectory() { return Directory(&::GetSystemDirectoryA); }

std::string Wow64SystemDirectory() { return Directory(&::GetSystemWow64DirectoryA); }

std::string SystemOnlyPath() {
    const std::string system = SystemDirectory();
    return system + ";" + Directory(&::GetSystemWindowsDirectoryA) + ";" + system + "\\Wbem";
}

namespace {

void RemoveTree(const std::string& directory) {
    WIN32_FIND_DATAA found;
    const HANDLE search = ::FindFirstFileA((directory + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(directory + name + "\\");
            } else {
                ::DeleteFileA((directory + name).c_str());
            }
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(directory.c_str());
}

}  // namespace

TempDirectory::TempDirectory() {
    static std::atomic<unsigned> counter{0};
    char base[MAX_PATH];
    ::GetTempPathA(MAX_PATH, base);
    m_path = std::string(base) + "quenfix-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
             std::to_string(counter++) + "\\";
    ::CreateDirectoryA(m_path.c_str(), nullptr);
}

TempDirectory::~TempDirectory() {
    RemoveTree(m_path);
}

std::string ReadTextFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool WriteTextFile(const std::string& path, std::string_view text) {
    std::ofstream file(path, std::ios::binary);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(file.flush());
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

StandInSettings::StandInSettings(DWORD parent, const standin::Settings& settings)
    : m_mapping(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, standin::kSettingsSize,
                                     standin::SettingsName(parent).c_str())) {
    const std::string text = settings.log + "\n" + settings.hold + "\n" + settings.probe + "\n";
    void* view = m_mapping && text.size() < standin::kSettingsSize
                     ? ::MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, 0)
                     : nullptr;
    if (!view) {
        if (m_mapping) ::CloseHandle(std::exchange(m_mapping, nullptr));
        return;
    }
    std::memcpy(view, text.c_str(), text.size() + 1);
    ::UnmapViewOfFile(view);
}

namespace {

// "name=value;name=value" as a map.
std::map<std::string, std::string> Variables(const std::string& list) {
    std::map<std::string, std::string> variables;
    std::istringstream entries(list);
    for (std::string entry; std::getline(entries, entry, ';');) {
        const auto equals = entry.find('=');
        variables[entry.substr(0, equals)] = equals == std::string::npos ? "" : entry.substr(equals + 1);
    }
    return variables;
}

}  // namespace

std::vector<Execution> ReadExecutions(const std::string& log) {
    std::vector<Execution> executions;
    std::string text = ReadTextFile(log);
    // A line still being written is not an execution yet.
    text.erase(text.find_last_of('\n') + 1);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::string fields[8];
        std::istringstream fieldsOfLine(line);
        for (int i = 0; i < 7; ++i) std::getline(fieldsOfLine, fields[i], '|');
        std::getline(fieldsOfLine, fields[7]);
        executions.push_back({std::strtoull(fields[0].c_str(), nullptr, 10), fields[1], fields[2], fields[3],
                              fields[4], fields[5], Variables(fields[6]), fields[7]});
    }
    std::ranges::stable_sort(executions, {}, &Execution::created);
    return executions;
}

std::string ChildCommand(const std::string& arguments) {
    return Quoted(ExeDirectory() + QUENFIX_TEST_CHILD) + " " + arguments;
}

std::optional<DWORD> ExitCodeOf(std::string commandLine, DWORD limitMs) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info)) {
        return std::nullopt;
    }
    const win::unique_handle process(info.hProcess);
    const win::unique_handle thread(info.hThread);
    DWORD exitCode = 0;
    if (::WaitForSingleObject(process.get(), limitMs) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process.get(), &exitCode)) {
        return std::nullopt;
    }
    return exitCode;
}

namespace {

unsigned long long Ticks(const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

unsigned long long CreationTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    return ::GetProcessTimes(process, &created, &exited, &kernel, &user) ? Ticks(created) : 0;
}

unsigned long long Now() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return Ticks(now);
}

namespace {

// Every process the system lists now.
std::vector<PROCESSENTRY32W> Processes() {
    std::vector<PROCESSENTRY32W> processes;
    const win::unique_handle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) return processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        processes.push_back(entry);
    }
    return processes;
}

}  // namespace

std::vector<Child> LiveChildrenSince(unsigned long long since) {
    std::vector<Child> children;
    for (const PROCESSENTRY32W& entry : Processes()) {
        if (entry.th32ParentProcessID != ::GetCurrentProcessId()) continue;
        const win::unique_handle child(
            ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (!child || ::WaitForSingleObject(child.get(), 0) != WAIT_TIMEOUT) continue;
        if (CreationTime(child.get()) >= since) children.push_back({entry.th32ProcessID, entry.szExeFile});
    }
    return children;
}

namespace {

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchVisibleWindow(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->processId || !::IsWindowVisible(hwnd)) return TRUE;
    search->found = hwnd;
    return FALSE;
}

}  // namespace

HWND VisibleWindowOf(DWORD processId) {
    WindowSearch search{processId, nullptr};
    ::EnumWindows(&MatchVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string CommonControlsOf(DWORD processId) {
    const win::unique_handle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) return {};
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    for (BOOL more = ::Module32First(snapshot.get(), &module); more; more = ::Module32Next(snapshot.get(), &module)) {
        if (Lower(module.szModule) == "comctl32.dll") return Lower(module.szExePath);
    }
    return {};
}

std::vector<DWORD> ProcessesNamed(const wchar_t* file) {
    std::vector<DWORD> ids;
    for (const PROCESSENTRY32W& entry : Processes()) {
        if (::lstrcmpiW(entry.szExeFile, file) == 0) ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

void Terminate(DWORD processId) {
    const win::unique_handle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (!process) return;
    ::TerminateProcess(process.get(), 1);
    ::WaitForSingleObject(process.get(), 30000);
}

std::string WindowText(HWND window) {
    char text[4096];
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                               60000, &length)) {
        return {};
    }
    return std::string(text, length);
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (::GetTickCount64() >= deadline) return false;
        DrainMessages();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

void DrainMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

CountingWindow::CountingWindow(UINT counted) : m_counted(counted) {
    static const wchar_t* const windowClass = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &CountingWindow::Count;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuenfixTestCounter";
        ::RegisterClassW(&wc);
        return wc.lpszClassName;
    }();
    m_hwnd = ::CreateWindowExW(0, windowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

LRESULT CALLBACK CountingWindow::Count(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<CountingWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && msg == self->m_counted) ++self->m_received;
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

bool HandlePostedMessages() {
    const CountingWindow sentinel(WM_APP);
    ::PostMessageW(sentinel.Hwnd(), WM_APP, 0, 0);
    // Any message loop that takes the sentinel hands it on, and WaitFor's own drain
    // goes on to what the messages before it posted.
    return WaitFor([&] { return sentinel.Received() == 1; }, kPatienceMs);
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::ranges::transform(lower, lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

std::string ToString(const RECT& r) {
    std::ostringstream text;
    text << '(' << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ')';
    return text.str();
}

}  // namespace testing_support

// Stands in for regsvr32.exe in tests: appends one line to the file named by the
// environment variable QUENFIX_STANDIN_LOG, "<its own path>|<its command line>",
// and ends at once. Without the variable it only ends.

#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char logPath[MAX_PATH];
    const DWORD length = ::GetEnvironmentVariableA("QUENFIX_STANDIN_LOG", logPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 0;
    char self[MAX_PATH];
    const DWORD selfLength = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string line = std::string(self, selfLength) + "|" + ::GetCommandLineA() + "\n";
    // Appends are atomic for one WriteFile, so lines of overlapping runs never mix.
    const HANDLE log = ::CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    ::WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::CloseHandle(log);
    return 0;
}

// A child process for the command runner's tests.
//   exit                  ends at once
//   hang PIDFILE          writes its process id to PIDFILE, then never ends
//   flood BYTES DONEFILE  writes BYTES bytes to its standard output, then (or once
//                         the pipe breaks) writes DONEFILE and ends
//   crash                 dies of an access violation

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void WriteTextFile(const char* path, const std::string& text) {
    const HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
}

int Flood(unsigned long long bytes, const char* doneFile) {
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    const std::vector<char> block(64 * 1024, 'x');
    unsigned long long sent = 0;
    while (sent < bytes) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<unsigned long long>(block.size(), bytes - sent));
        if (!::WriteFile(out, block.data(), chunk, &written, nullptr)) break;
        sent += written;
    }
    WriteTextFile(doneFile, std::to_string(sent));
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const int argc = __argc;
    char** argv = __argv;
    if (argc < 2) return 2;
    const std::string mode = argv[1];
    if (mode == "exit") return 0;
    if (mode == "hang" && argc > 2) {
        WriteTextFile(argv[2], std::to_string(::GetCurrentProcessId()));
        ::Sleep(INFINITE);
    }
    if (mode == "flood" && argc > 3) return Flood(std::strtoull(argv[2], nullptr, 10), argv[3]);
    if (mode == "crash") {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
    }
    return 2;
}

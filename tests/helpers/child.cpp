// A child process for the command runner's tests.
//   exit                  ends at once
//   hang PIDFILE          writes its process id to PIDFILE, then never ends
//   flood BYTES DONEFILE  writes BYTES bytes to its standard output, then (or once
//                         the pipe breaks) writes DONEFILE and ends
//   crash                 dies of an access violation
//   smash BYTES           writes BYTES bytes into a 16-byte buffer on its stack, one
//                         at a time: the stack protector's check of its frame ends it
//   overrun BYTES         copies BYTES bytes into that buffer at once: the C library's
//                         checked copy ends it
//   guard FILE            writes the stack protector's guard to FILE, in hexadecimal: as
//                         the first constructor saw it, and as it is now

#include "StackGuard.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::uintptr_t guardAtFirstConstructor = 0;

__attribute__((constructor(101))) void NoteTheGuardFirst() noexcept {
    guardAtFirstConstructor = __stack_chk_guard;
}

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

// Not inlined, so that the buffer has a frame of its own with a canary behind it.
__attribute__((noinline)) void Smash(std::size_t bytes) {
    char buffer[16];
    for (std::size_t i = 0; i < bytes; ++i) buffer[i] = 'x';
    ::OutputDebugStringA(buffer);
}

__attribute__((noinline)) void Overrun(std::size_t bytes) {
    char buffer[16];
    const std::vector<char> source(bytes, 'x');
    std::memcpy(buffer, source.data(), bytes);
    ::OutputDebugStringA(buffer);
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
    if (mode == "smash" && argc > 2) Smash(std::strtoull(argv[2], nullptr, 10));
    if (mode == "overrun" && argc > 2) Overrun(std::strtoull(argv[2], nullptr, 10));
    if (mode == "guard" && argc > 2) {
        std::ostringstream guards;
        guards << std::hex << guardAtFirstConstructor << ' ' << __stack_chk_guard;
        WriteTextFile(argv[2], guards.str());
        return 0;
    }
    if (mode == "crash") {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
    }
    return 2;
}

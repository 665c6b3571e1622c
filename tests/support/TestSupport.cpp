#include "TestSupport.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <fstream>
#include <sstream>
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

std::vector<Execution> ReadExecutions(const std::string& log) {
    std::vector<Execution> executions;
    std::istringstream lines(ReadTextFile(log));
    for (std::string line; std::getline(lines, line);) {
        std::string fields[4];
        std::istringstream fieldsOfLine(line);
        for (int i = 0; i < 3; ++i) std::getline(fieldsOfLine, fields[i], '|');
        std::getline(fieldsOfLine, fields[3]);
        executions.push_back({fields[0], fields[1], fields[2], fields[3]});
    }
    return executions;
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
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

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string ToString(const RECT& r) {
    std::ostringstream text;
    text << '(' << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ')';
    return text.str();
}

}  // namespace testing_support

#pragma once
// Helpers shared by the tests: paths, files, texts of windows, child processes, and
// waiting for a condition while the thread's messages keep flowing.

#include "helpers/StandIn.h"

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// The directory of the running test program, with a trailing backslash.
std::string ExeDirectory();

// GetSystemDirectoryA's answer, without a trailing backslash.
std::string SystemDirectory();

// GetSystemWow64DirectoryA's answer, without a trailing backslash; empty where there
// is no 32-bit system directory.
std::string Wow64SystemDirectory();

// The PATH that every child of the command runner must get: the system directory,
// the Windows directory and the system directory's Wbem folder.
std::string SystemOnlyPath();

// A new empty directory under the system's temporary folder; removed, with what it
// holds, when the object goes away.
class TempDirectory {
public:
    TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    ~TempDirectory();
    // The directory's path, with a trailing backslash.
    [[nodiscard]] const std::string& Path() const noexcept { return m_path; }

private:
    std::string m_path;
};

// Deletes the file when it goes out of scope.
class ScopedFile {
public:
    explicit ScopedFile(std::string path) : m_path(std::move(path)) {}
    ScopedFile(const ScopedFile&) = delete;
    ScopedFile& operator=(const ScopedFile&) = delete;
    ~ScopedFile() { ::DeleteFileA(m_path.c_str()); }
    [[nodiscard]] const std::string& Path() const noexcept { return m_path; }

private:
    std::string m_path;
};

std::string ReadTextFile(const std::string& path);
bool WriteTextFile(const std::string& path, std::string_view text);
bool FileExists(const std::string& path);

// The stand-in regsvr32.exe's settings for every copy that the process `parent`
// starts, for as long as the object lives.
class StandInSettings {
public:
    StandInSettings(DWORD parent, const standin::Settings& settings);
    StandInSettings(const StandInSettings&) = delete;
    StandInSettings& operator=(const StandInSettings&) = delete;
    ~StandInSettings() { ::CloseHandle(m_mapping); }
    [[nodiscard]] bool Valid() const noexcept { return m_mapping != nullptr; }

private:
    HANDLE m_mapping = nullptr;
};

// One line of the log the stand-in regsvr32.exe appends to: when its process was
// created, the program file that ran, the directory and PATH it started with, its
// start-up record ("<flags> <show command>" and the file types of its standard
// output, input and error), the file that the probe handle reached, the watched
// variables of its environment that are set, and its command line.
struct Execution {
    unsigned long long created;
    std::string program;
    std::string currentDirectory;
    std::string path;
    std::string startup;
    std::string probedFile;
    std::map<std::string, std::string> variables;
    std::string commandLine;
};
// The start-up record the command runner gives every child: STARTF_USESHOWWINDOW |
// STARTF_USESTDHANDLES, SW_SHOWMINNOACTIVE, a pipe as standard output (type 3) and
// neither standard input nor standard error (type 0).
inline constexpr const char* kRunnersStartup = "257 7 3 0 0";
// Every line of that log, in the order in which the processes that wrote them were
// created; none when there is no log. A child that its runner stopped waiting for
// may write its line after the next child has written its own.
std::vector<Execution> ReadExecutions(const std::string& log);

// The test child program (tests/helpers/child.cpp) with the given arguments.
std::string ChildCommand(const std::string& arguments);

// A child process of this one that is still running.
struct Child {
    DWORD id;
    std::wstring file;
};
// The current time as a FILETIME count, for LiveChildrenSince.
unsigned long long Now();
// When the process was created, as a FILETIME count; 0 when that cannot be read.
unsigned long long CreationTime(HANDLE process);
// This process's children that are still running and were created at or after `since`.
std::vector<Child> LiveChildrenSince(unsigned long long since);
void Terminate(DWORD processId);
// The ids of the running processes whose file is named `file` (any case).
std::vector<DWORD> ProcessesNamed(const wchar_t* file);
// A visible top-level window of the process; null while it shows none.
HWND VisibleWindowOf(DWORD processId);
// The file of the common-controls library loaded in the process, in lower case, or ""
// when none is.
std::string CommonControlsOf(DWORD processId);

// The window's text, read with WM_GETTEXT as any program can, also from a window of
// another process (which has up to a minute to answer).
std::string WindowText(HWND window);

// How long to wait for what must come about: long enough for a loaded machine,
// where a slow answer is no fault. Tests wait for conditions, never for times.
inline constexpr DWORD kPatienceMs = 120000;

// Starts `commandLine` (its program found as CreateProcessA finds it) and waits up to
// `limitMs` for it to end: its exit code, or nothing when it did not start or end in
// time (it is then left running).
std::optional<DWORD> ExitCodeOf(std::string commandLine, DWORD limitMs = kPatienceMs);

// Polls the condition, handling this thread's messages in between, until it holds
// or the timeout passes. Returns whether it held.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs);

// Handles every message that is waiting on this thread, including a quit request,
// which is dropped so that one test's closed window cannot reach the next test.
void DrainMessages();

// A message-only window that counts the messages of one kind that reach it.
class CountingWindow {
public:
    explicit CountingWindow(UINT counted);
    CountingWindow(const CountingWindow&) = delete;
    CountingWindow& operator=(const CountingWindow&) = delete;
    ~CountingWindow() { ::DestroyWindow(m_hwnd); }
    [[nodiscard]] HWND Hwnd() const noexcept { return m_hwnd; }
    [[nodiscard]] int Received() const noexcept { return m_received; }

private:
    static LRESULT CALLBACK Count(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    UINT m_counted;
    int m_received = 0;
    HWND m_hwnd = nullptr;
};

// Handles every message posted to this thread so far, and what their handling
// posts in turn: a sentinel posted behind them comes back when they are done.
// False when it has not come back within kPatienceMs.
bool HandlePostedMessages();

std::string Quoted(const std::string& path);

// The text in lower case, for comparing paths and names as Windows does.
std::string Lower(std::string_view text);

// "(left, top)-(right, bottom)", for readable comparisons of rectangles.
std::string ToString(const RECT& r);

}  // namespace testing_support

// Checks a running Quenfix from a second process, the way a user's tools could: finds
// its window by title, reads the controls' texts with WM_GETTEXT, closes the window
// with WM_CLOSE and waits for the process to end. The program under test may run
// under an instruction-set emulator, where every step is slow, so the waits are long.
//   quenfix_window_probe
// Exit code 0 when every check holds, 1 otherwise; the reason goes to stdout.

#include "TestSupport.h"
#include "UniqueHandle.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kTitle = "Quenfix - By Tarnwick";
constexpr DWORD kStartTimeoutMs = 600'000;
constexpr DWORD kExitTimeoutMs = 120'000;

// Each text some child must show, whole or as the start of its text.
struct ExpectedText {
    const char* text;
    bool prefixOnly;
};

constexpr ExpectedText kExpectedTexts[] = {
    {"Repair Now", false},
    {"Registering: ", false},
    {"Follow Tarnwick on Facebook", false},
    {"The Quenfix tool will reregister", true},
};

BOOL CALLBACK CollectText(HWND child, LPARAM lp) {
    reinterpret_cast<std::vector<std::string>*>(lp)->push_back(testing_support::WindowText(child));
    return TRUE;
}

std::vector<std::string> ChildTexts(HWND window) {
    std::vector<std::string> texts;
    ::EnumChildWindows(window, &CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

bool Shows(const std::vector<std::string>& texts, const ExpectedText& expected) {
    for (const std::string& text : texts) {
        if (expected.prefixOnly ? text.starts_with(expected.text) : text == expected.text) return true;
    }
    return false;
}

std::vector<const char*> MissingTexts(const std::vector<std::string>& texts) {
    std::vector<const char*> missing;
    for (const ExpectedText& expected : kExpectedTexts) {
        if (!Shows(texts, expected)) missing.push_back(expected.text);
    }
    return missing;
}

const ULONGLONG kStartTick = ::GetTickCount64();

void Report(const char* message) {
    const double seconds = static_cast<double>(::GetTickCount64() - kStartTick) / 1000.0;
    std::printf("probe [%5.1f s] %s\n", seconds, message);
    std::fflush(stdout);
}

int Fail(const char* message) {
    Report(message);
    return 1;
}

}  // namespace

int main() {
    Report("waiting for the window \"Quenfix - By Tarnwick\"");
    HWND window = nullptr;
    // The window exists before its last control does: wait until every text shows.
    const bool complete = testing_support::WaitFor(
        [&] {
            window = ::FindWindowA(nullptr, kTitle);
            return window && MissingTexts(ChildTexts(window)).empty();
        },
        kStartTimeoutMs);
    if (!window) return Fail("FAIL: no window with that title appeared");
    if (!complete) {
        for (const char* text : MissingTexts(ChildTexts(window)))
            std::printf("  no child shows \"%s\"\n", text);
        return Fail("FAIL: the window lacks texts");
    }
    Report("window found, every text shown");

    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    const win::unique_handle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (!process) return Fail("FAIL: cannot open the program's process");
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.get(), kExitTimeoutMs) != WAIT_OBJECT_0)
        return Fail("FAIL: the program did not end after WM_CLOSE");
    Report("the program ended after WM_CLOSE");
    return 0;
}

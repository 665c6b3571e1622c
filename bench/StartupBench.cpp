#include "StartupBench.h"

#include "BenchTable.h"
#include "SideBySide.h"
#include "Stopwatch.h"
#include "TestSupport.h"
#include "UniqueHandle.h"

#include <limits>
#include <vector>

namespace StartupBench {
namespace {

constexpr int kRounds = 25;
constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 10000;

// Painted: no part of the window or of any of its children waits for a paint.
bool FullyPainted(HWND window) {
    if (::GetUpdateRect(window, nullptr, FALSE)) return false;
    bool painted = true;
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM lp) noexcept -> BOOL {
            if (!::GetUpdateRect(child, nullptr, FALSE)) return TRUE;
            *reinterpret_cast<bool*>(lp) = false;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&painted));
    return painted;
}

// The program as its own process. WaitForInputIdle returns once the program's thread
// first waits for input in GetMessage: the window has been shown and UpdateWindow has
// painted it by then. Under Wine 8 a PeekMessage on an empty queue does not count as
// idle (a program that peeks, sleeps and only then paints is reported after its
// paint), and each sample checks what it found.
class Launch {
public:
    explicit Launch(const std::string& path) {
        std::string commandLine = testing_support::Quoted(path);
        std::vector<char> buffer(commandLine.begin(), commandLine.end());
        buffer.push_back('\0');
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        const Stopwatch watch;
        if (!::CreateProcessA(path.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &info)) {
            return;
        }
        m_process.reset(info.hProcess);
        const win::unique_handle thread(info.hThread);
        m_idle = ::WaitForInputIdle(m_process.get(), kStartTimeoutMs) == 0;
        m_seconds = watch.Seconds();
        m_window = testing_support::VisibleWindowOf(info.dwProcessId);
        m_painted = m_idle && m_window && FullyPainted(m_window);
    }
    Launch(const Launch&) = delete;
    Launch& operator=(const Launch&) = delete;
    ~Launch() {
        if (!m_process) return;
        if (m_window) ::PostMessageW(m_window, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(m_process.get(), kExitTimeoutMs) != WAIT_OBJECT_0) {
            ::TerminateProcess(m_process.get(), 1);
            ::WaitForSingleObject(m_process.get(), kExitTimeoutMs);
        }
    }

    // Nothing when the process did not start or never waited for input: such a start
    // has no start-up time, and its few milliseconds would pass for a fast one.
    [[nodiscard]] double Seconds() const noexcept {
        return m_idle ? m_seconds : std::numeric_limits<double>::quiet_NaN();
    }
    [[nodiscard]] bool Painted() const noexcept { return m_painted; }

private:
    win::unique_handle m_process;
    HWND m_window = nullptr;
    double m_seconds = 0;
    bool m_idle = false;
    bool m_painted = false;
};

struct Tally {
    int samples = 0;
    int painted = 0;
};

double Sample(const std::string& path, Tally& tally) {
    const Launch launch(path);
    ++tally.samples;
    if (launch.Painted()) ++tally.painted;
    return launch.Seconds();
}

struct Comparison {
    SideBySide::Medians medians;
    Tally ours;
    Tally reference;
};

Comparison Compare(const std::string& programPath, const std::string& referencePath) {
    Comparison result;
    // The first start of each loads its files from disk; later starts find them cached.
    (void)Sample(programPath, result.ours);
    (void)Sample(referencePath, result.reference);
    result.ours = result.reference = Tally{};
    result.medians = SideBySide::Alternate(
        kRounds, [&] { return Sample(programPath, result.ours); },
        [&] { return Sample(referencePath, result.reference); });
    return result;
}

std::string Checked(const Tally& tally) {
    return std::to_string(tally.painted) + " of " + std::to_string(tally.samples);
}

}  // namespace

void Measure(const std::string& programPath, const References& references, BenchTable& table) {
    const Comparison plain = Compare(programPath, references.minimalWindow);
    table.AddTiming("Start-up to first completed paint", plain.medians.ours,
                    plain.medians.reference, 1.2);
    const Comparison themed = Compare(programPath, references.themedWindow);
    table.AddTiming("Start-up, vs themed window with one button", themed.medians.ours,
                    themed.medians.reference, 1.05);
    table.AddNote("Start-up: CreateProcess until WaitForInputIdle returns, median of " +
                  std::to_string(kRounds) +
                  " alternating starts each; references: a window of the same size and style "
                  "that paints only its background (bench/MinimalWindow.cpp), and the same window "
                  "with one push button and an embedded manifest that depends on version 6 of the "
                  "common controls (bench/themed-window.manifest), the floor of any program with "
                  "the visual style. Checked at each return: the window visible and nothing of "
                  "it or its children left to paint, in " +
                  Checked(plain.ours) + " and " + Checked(themed.ours) + " starts of the program, " +
                  Checked(plain.reference) + " of the bare window and " + Checked(themed.reference) +
                  " of the themed one.");
}

}  // namespace StartupBench

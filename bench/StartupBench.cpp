#include "StartupBench.h"

#include "BenchTable.h"
#include "FrmQuenfixDefinition.h"
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
        m_commonControls = testing_support::CommonControlsOf(info.dwProcessId);
        for (HWND child = m_window ? ::GetWindow(m_window, GW_CHILD) : nullptr; child;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            ++m_children;
            char name[16] = {};
            ::GetClassNameA(child, name, sizeof name);
            const bool pushButton = (::GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_PUSHBUTTON;
            if (testing_support::Lower(name) == "button" && pushButton) ++m_pushButtons;
        }
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
    // What the window was: for the themed references version 6 of the common controls
    // bound (from the side-by-side store), and one push button or the program's
    // controls; for the bare one no common controls at all.
    [[nodiscard]] bool BoundVersion6() const { return m_commonControls.find("\\winsxs\\") != std::string::npos; }
    [[nodiscard]] bool LoadedCommonControls() const noexcept { return !m_commonControls.empty(); }
    [[nodiscard]] int PushButtons() const noexcept { return m_pushButtons; }
    [[nodiscard]] int Children() const noexcept { return m_children; }

private:
    win::unique_handle m_process;
    HWND m_window = nullptr;
    double m_seconds = 0;
    bool m_idle = false;
    bool m_painted = false;
    std::string m_commonControls;
    int m_pushButtons = 0;
    int m_children = 0;
};

struct Tally {
    int samples = 0;
    int painted = 0;
    // Starts in which the window was what the figure takes it for.
    int asTaken = 0;
};

// A bare window loads no common controls; a themed one binds version 6 and holds one
// push button, and the copy of the program's window binds it and holds the window's
// controls, the strip with them. A manifest not embedded, or not read, would leave a
// themed window a bare one that still starts and paints, and its figure would mean
// something else.
enum class Kind { Program, Bare, Themed, ProgramWindow };

bool AsTaken(const Launch& launch, Kind kind) {
    constexpr int kProgramChildren = static_cast<int>(FrmQuenfixDefinition::kControls.size()) + 1;
    switch (kind) {
    case Kind::Bare: return !launch.LoadedCommonControls();
    case Kind::Themed: return launch.BoundVersion6() && launch.PushButtons() == 1;
    case Kind::ProgramWindow: return launch.BoundVersion6() && launch.Children() == kProgramChildren;
    default: return true;
    }
}

double Sample(const std::string& path, Kind kind, Tally& tally) {
    const Launch launch(path);
    ++tally.samples;
    if (launch.Painted()) ++tally.painted;
    if (AsTaken(launch, kind)) ++tally.asTaken;
    return launch.Seconds();
}

struct Comparison {
    SideBySide::Medians medians;
    Tally ours;
    Tally reference;
};

Comparison Compare(const std::string& programPath, const std::string& referencePath, Kind reference) {
    Comparison result;
    // The first start of each loads its files from disk; later starts find them cached.
    (void)Sample(programPath, Kind::Program, result.ours);
    (void)Sample(referencePath, reference, result.reference);
    result.ours = result.reference = Tally{};
    result.medians = SideBySide::Alternate(
        kRounds, [&] { return Sample(programPath, Kind::Program, result.ours); },
        [&] { return Sample(referencePath, reference, result.reference); });
    return result;
}

// "<count> of <samples>", for a count of the tally's starts.
std::string OfStarts(int count, const Tally& tally) {
    return std::to_string(count) + " of " + std::to_string(tally.samples);
}

}  // namespace

void Measure(const std::string& programPath, const References& references, BenchTable& table) {
    const Comparison plain = Compare(programPath, references.minimalWindow, Kind::Bare);
    table.AddTiming("Start-up to first completed paint", plain.medians.ours,
                    plain.medians.reference, 1.2);
    const Comparison themed = Compare(programPath, references.themedWindow, Kind::Themed);
    table.AddTiming("Start-up, vs themed window with one button", themed.medians.ours,
                    themed.medians.reference, 1.05);
    const Comparison window = Compare(programPath, references.programWindow, Kind::ProgramWindow);
    table.AddTiming("Start-up, vs the window's controls without its code", window.medians.ours,
                    window.medians.reference, 1.05);
    const auto painted = [](const Tally& tally) { return OfStarts(tally.painted, tally); };
    const auto asTaken = [](const Tally& tally) { return OfStarts(tally.asTaken, tally); };
    table.AddNote("Start-up: CreateProcess until WaitForInputIdle returns, median of " +
                  std::to_string(kRounds) +
                  " alternating starts each; references, plain programs without the stack protector: "
                  "a window of the same size and style that paints only its background "
                  "(bench/BareWindow.cpp); the same window with one push button and an embedded manifest "
                  "that depends on version 6 of the common controls (bench/OneButton.cpp, "
                  "bench/themed-window.manifest), the floor of any program with the visual style; and that "
                  "window with the program's caption, icon, controls, texts, font, logo and command list "
                  "instead of the button, and none of its code (bench/ProgramControls.cpp), the floor of "
                  "this window. Checked at each return: the window visible and nothing of it or its "
                  "children left to paint, in " +
                  painted(plain.ours) + ", " + painted(themed.ours) + " and " + painted(window.ours) +
                  " starts of the program, " + painted(plain.reference) + " of the bare window, " +
                  painted(themed.reference) + " of the one with a button and " + painted(window.reference) +
                  " of the copy of the program's window; the bare window loaded no common controls in " +
                  asTaken(plain.reference) + " starts, the one with a button had version 6 bound and one "
                  "push button in " + asTaken(themed.reference) +
                  ", and the copy had version 6 bound and the program's seven controls in " +
                  asTaken(window.reference) + ".");
}

}  // namespace StartupBench

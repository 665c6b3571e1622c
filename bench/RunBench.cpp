#include "RunBench.h"

#include "BenchTable.h"
#include "CommandList.h"
#include "FrmQuenfix.h"
#include "HiddenCommand.h"
#include "SideBySide.h"
#include "Stopwatch.h"
#include "TestSupport.h"
#include "UniqueHandle.h"

#include <optional>
#include <string>
#include <vector>

namespace RunBench {
namespace {

constexpr int kRounds = 3;
constexpr int kExecutionsPerLine = 2;
constexpr int kWarmUpExecutions = 10;

// CreateProcess, WaitForSingleObject and CloseHandle, nothing more: no pipe, no
// inherited handle, no redirection switch, no window update. The program file is
// the one the run starts.
void StartAndWait(const std::string& line) {
    const std::optional<std::string> application = HiddenCommand::ResolveApplicationName(line);
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(application ? application->c_str() : nullptr, commandLine.data(), nullptr,
                          nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return;
    }
    const win::unique_handle processHandle(process.hProcess);
    const win::unique_handle threadHandle(process.hThread);
    ::WaitForSingleObject(processHandle.get(), HiddenCommand::kWaitMilliseconds);
}

// The two sides take turns execution by execution, so that a busy spell of the
// machine falls on both alike: every start of a child in the run comes just after a
// bare execution of the same line. The bare executions are timed apart and taken
// out of the run's time.
struct Pairing {
    int executions = 0;
    double bareSeconds = 0;

    void Bare(const std::string& line) {
        const Stopwatch watch;
        StartAndWait(line);
        bareSeconds += watch.Seconds();
    }
};

RepairPlatform PairedPlatform(Pairing& pairing) {
    RepairPlatform platform = RepairPlatform::System();
    platform.createProcess = [&pairing, create = platform.createProcess](
                                 LPCSTR application, LPSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                                 LPSECURITY_ATTRIBUTES threadAttributes, BOOL inherit, DWORD flags,
                                 LPVOID environment, LPCSTR directory, LPSTARTUPINFOA startup,
                                 LPPROCESS_INFORMATION information) {
        ++pairing.executions;
        pairing.Bare(commandLine);
        return create(application, commandLine, processAttributes, threadAttributes, inherit, flags, environment,
                      directory, startup, information);
    };
    return platform;
}

bool StandInSelected() {
    char overrides[512] = {};
    ::GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
    return std::string(overrides).find("regsvr32.exe=n") != std::string::npos;
}

}  // namespace

void Measure(BenchTable& table) {
    // The first children of a program start slower, while the system caches its
    // files; neither side pays for that.
    for (int i = 0; i < kWarmUpExecutions; ++i) StartAndWait(CommandList::Lines().front());

    std::vector<double> runs;
    std::vector<double> bareLoops;
    int executions = 0;
    {
        Pairing pairing;
        FrmQuenfix form(PairedPlatform(pairing));
        if (!form.Create()) return;
        form.Show();
        for (int round = 0; round < kRounds; ++round) {
            pairing = Pairing{};
            const Stopwatch watch;
            form.RunRepair();
            const double wall = watch.Seconds();
            runs.push_back(wall - pairing.bareSeconds);
            bareLoops.push_back(pairing.bareSeconds);
            executions = pairing.executions;
        }
    }
    // The window's end leaves a quit request behind; it must not reach later figures.
    testing_support::DrainMessages();

    table.AddTiming("Run overhead, " + std::to_string(executions) + " executions",
                    SideBySide::Median(runs), SideBySide::Median(bareLoops), 1.05);
    table.AddNote("Run overhead: FrmQuenfix::RunRepair in this process with RepairPlatform::System(), "
                  "against bare CreateProcess + WaitForSingleObject + CloseHandle calls over the same "
                  "command lines and program file; each execution of the run is paired with a bare "
                  "one of its line just before it, whose time is taken out of the run's. Median of " +
                  std::to_string(kRounds) + " runs" +
                  (StandInSelected()
                       ? "; regsvr32.exe is the stand-in that exits at once."
                       : "; WARNING: WINEDLLOVERRIDES lacks regsvr32.exe=n, so Wine's own regsvr32 "
                         "ran instead of the stand-in."));
}

}  // namespace RunBench

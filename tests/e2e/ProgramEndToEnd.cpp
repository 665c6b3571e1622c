#include "ProgramEndToEnd.h"

#include "CommandList.h"
#include "helpers/StandIn.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <sstream>

namespace e2e_testing {
namespace {

bool RunningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

bool RunningUnderWow64() {
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

std::string SystemRegsvr32() { return testing_support::SystemDirectory() + "\\regsvr32.exe"; }
std::string Wow64Regsvr32() { return testing_support::Wow64SystemDirectory() + "\\regsvr32.exe"; }

struct MutexReleaser {
    void operator()(HANDLE mutex) const noexcept { ::ReleaseMutex(mutex); }
};

// A copy that an earlier test put there is left alone: a child of that test's
// program may still be running it, and then it cannot be written. Tests that run
// side by side in the prefix put it there one at a time.
bool PutStandIn(const std::string& target) {
    const win::unique_handle mutex(::CreateMutexA(nullptr, FALSE, "quenfix-tests-standin-regsvr32"));
    if (!mutex || ::WaitForSingleObject(mutex.get(), testing_support::kPatienceMs) != WAIT_OBJECT_0) return false;
    const win::unique_any<HANDLE, MutexReleaser> owned(mutex.get());
    const std::string standIn = testing_support::ExeDirectory() + "standin\\regsvr32.exe";
    using testing_support::ReadTextFile;
    if (ReadTextFile(target) == ReadTextFile(standIn)) return true;
    return ::CopyFileA(standIn.c_str(), target.c_str(), FALSE) != FALSE;
}

// A 32-bit process on 64-bit Windows sees the 32-bit system directory under the name
// of the native one; with the redirection off it reaches the native one itself.
bool PutStandInInNativeSystemDirectory() {
    PVOID saved = nullptr;
    if (!::Wow64DisableWow64FsRedirection(&saved)) return false;
    const bool copied = PutStandIn(SystemRegsvr32());
    ::Wow64RevertWow64FsRedirection(saved);
    return copied;
}

void PutStandInInEverySystemDirectory() {
    if (RunningUnderWow64()) {
        ASSERT_TRUE(PutStandInInNativeSystemDirectory()) << "the stand-in could not be put in the system directory";
        ASSERT_TRUE(PutStandIn(Wow64Regsvr32())) << "the stand-in could not be put in the 32-bit system directory";
    } else {
        ASSERT_TRUE(PutStandIn(SystemRegsvr32())) << "the stand-in could not be put in the system directory";
    }
}

// How long the end of the runs must hold before it counts: between two executions
// the program takes milliseconds, so a label that reads "Done" this long, with no
// child started meanwhile, is the end of the last run and not of a nested one.
constexpr ULONGLONG kQuietMs = 2000;

// The test program's exit code when a test lost a line to a child that died before
// its own code ran: tools/wine64-run then runs the test once more.
constexpr int kRunAgainExitCode = 75;
bool lostALineToTheLoader = false;

class RunAgainAfterALineLostToTheLoader : public testing::EmptyTestEventListener {
    void OnTestProgramEnd(const testing::UnitTest&) override {
        if (!lostALineToTheLoader) return;
        std::fflush(nullptr);
        std::_Exit(kRunAgainExitCode);
    }
};

[[maybe_unused]] const bool listening = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new RunAgainAfterALineLostToTheLoader);
    return true;
}();

bool IsRegsvr32(const JobWatch::Member& member) {
    const std::string image = testing_support::Lower(member.image);
    return image.ends_with("\\regsvr32.exe");
}

// How a child without a line ended, where its exit code is one the stand-in gives
// or says that it still runs; nothing for any other code.
std::optional<std::string> KnownEnd(const JobWatch::Member& child) {
    switch (child.exitCode) {
    case STILL_ACTIVE: return "is still running";
    case standin::kLogged: return "says it wrote its line, which the log does not hold";
    case standin::kNoTurn: return "could not take its turn at the log";
    case standin::kLogNotOpened: return "could not open the log";
    case standin::kLineNotWritten: return "could not write its line";
    default: return std::nullopt;
    }
}

// Whether the child ended, without a line, by a code that the stand-in never ends
// with: it died before its own code ran, in Wine's loader.
bool DiedBeforeItRan(const JobWatch::Member& child) {
    return !KnownEnd(child);
}

std::string HowItEnded(const JobWatch::Member& child) {
    if (const auto known = KnownEnd(child)) return *known;
    std::ostringstream text;
    text << "ended with 0x" << std::hex << child.exitCode << ": it died before its own code ran";
    return text.str();
}

}  // namespace

std::string Regsvr32ReachedBy(size_t execution) {
    return RunningUnderWow64() && execution % 2 == 1 ? Wow64Regsvr32() : SystemRegsvr32();
}

void ProgramEndToEnd::SetUp() {
    // Only ever replace regsvr32.exe in a Wine prefix made for the tests.
    if (!RunningUnderWine()) GTEST_SKIP() << "needs a Wine test prefix for its stand-in regsvr32";
    // Here rather than once for the suite: ctest reports a test whose suite's set-up
    // failed as skipped, not as failed.
    if (withStandIn) PutStandInInEverySystemDirectory();
    if (HasFatalFailure()) return;
    char overrides[256] = {};
    ::GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
    ASSERT_NE(std::string(overrides).find(requiredOverride), std::string::npos)
        << "the test needs WINEDLLOVERRIDES with " << requiredOverride;
    program.emplace(programPath, standin::Settings{log, holdPrefix, ""}, workingDirectory, environment, rights);
    if (!expectWindow) return;
    ASSERT_TRUE(program->Started()) << "the program did not start in a job of its own, or its window did not appear";
}

bool ProgramEndToEnd::WaitForExecutions(size_t count) const {
    return testing_support::WaitFor([&] { return ExecutionCount() >= count; }, kRunTimeoutMs);
}

size_t ProgramEndToEnd::Regsvr32Started() const {
    return static_cast<size_t>(std::ranges::count_if(program->Job().Started(), IsRegsvr32));
}

size_t ProgramEndToEnd::Regsvr32Running() const {
    return static_cast<size_t>(std::ranges::count_if(program->Job().Started(), [](const JobWatch::Member& child) {
        return IsRegsvr32(child) && child.exitCode == STILL_ACTIVE;
    }));
}

win::unique_handle ProgramEndToEnd::HoldChildren(const std::string& commandLine) const {
    return win::unique_handle(::CreateEventA(nullptr, TRUE, FALSE, (holdPrefix + commandLine).c_str()));
}

bool ProgramEndToEnd::WaitForTheRunsToEnd() const {
    size_t startedBefore = 0;
    ULONGLONG quietSince = ::GetTickCount64();
    return testing_support::WaitFor(
        [&] {
            const size_t started = program->Job().Started().size();
            const bool ended = Done() && Regsvr32Running() == 0;
            if (!ended || started != startedBefore) {
                startedBefore = started;
                quietSince = ::GetTickCount64();
                return false;
            }
            return ::GetTickCount64() - quietSince >= kQuietMs;
        },
        kRunTimeoutMs);
}

testing::AssertionResult ProgramEndToEnd::EveryExecutionLogged(size_t count) const {
    const auto executions = ReadExecutions(log);
    if (executions.size() == count) return testing::AssertionSuccess();

    std::map<std::string, size_t> logged;
    std::set<unsigned long long> loggedStarts;
    for (const Execution& execution : executions) {
        ++logged[execution.commandLine];
        loggedStarts.insert(execution.created);
    }
    auto failure = testing::AssertionFailure();
    failure << executions.size() << " of " << count << " executions logged.";
    const size_t each = count / CommandList::kCount;
    size_t missing = 0;
    for (const std::string line : CommandList::Lines()) {
        if (logged[line] >= each) continue;
        failure << "\n  missing: \"" << line << "\", " << logged[line] << " of " << each << " logged";
        missing += each - logged[line];
    }

    const auto started = program->Job().Started();
    const auto regsvr32 = static_cast<size_t>(std::ranges::count_if(started, IsRegsvr32));
    const auto unknown = std::ranges::count_if(started, [](const JobWatch::Member& m) { return !m.opened; });
    failure << "\n  the program started " << regsvr32 << " regsvr32 processes";
    if (unknown) failure << " and " << unknown << " that had gone before they could be looked at";
    std::vector<JobWatch::Member> silent;
    for (const JobWatch::Member& child : started) {
        if (!IsRegsvr32(child) || loggedStarts.contains(child.created)) continue;
        silent.push_back(child);
        failure << "\n  process " << child.id << ", created at " << child.created << ", logged nothing and "
                << HowItEnded(child);
    }

    // Wine adds a child to the job only once its loader has reported in. A child
    // that dies before that never shows there, and the program's CreateProcessA
    // fails with ERROR_INTERNAL_ERROR (1359): one start short, and every child that
    // did show logged its line.
    const bool diedAfterItShowed = regsvr32 == count && silent.size() == 1 && DiedBeforeItRan(silent.front());
    const bool diedBeforeItShowed = regsvr32 + 1 == count && silent.empty();
    if (missing == 1 && unknown == 0 && (diedAfterItShowed || diedBeforeItShowed)) {
        lostALineToTheLoader = true;
        failure << "\n  the test runs once more: its one lost line went with a child that Wine did not get to run";
    }
    return failure;
}

}  // namespace e2e_testing

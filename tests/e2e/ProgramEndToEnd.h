#pragma once
// What the end-to-end tests share: the stand-in regsvr32.exe put in the system
// directory of the Wine test prefix, its log of executions, and a fixture that
// starts the program with that log.

#include "ProgramUnderTest.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace e2e_testing {

// The longest the runs of one test may take: up to 444 process starts, which take
// up to a second each on a loaded two-core machine. ctest's own limit for these
// tests is 600 s.
inline constexpr DWORD kRunTimeoutMs = 450000;

using testing_support::Execution;
using testing_support::ReadExecutions;

// The regsvr32.exe that execution `execution` (from 0) of a run reaches. Each line
// runs first with the file-system redirection off, then with it restored: a 32-bit
// program on 64-bit Windows reaches the native system directory the first time and
// the 32-bit one the second; any other reaches the one system directory both times.
std::string Regsvr32ReachedBy(size_t execution);

class ProgramEndToEnd : public ::testing::Test {
protected:
    // Puts the stand-in in place of the system's regsvr32.exe in every system
    // directory a run reaches (unless withStandIn is false), in a Wine prefix only,
    // and starts the program at
    // `programPath`, in `workingDirectory` and with `environment` when a derived
    // fixture set them.
    void SetUp() override;

    [[nodiscard]] size_t ExecutionCount() const { return ReadExecutions(log).size(); }
    [[nodiscard]] bool WaitForExecutions(size_t count) const;
    [[nodiscard]] bool Done() const { return program->Status() == "Registering: Done"; }
    // The regsvr32 children the program has started, and those of them still running.
    [[nodiscard]] size_t Regsvr32Started() const;
    [[nodiscard]] size_t Regsvr32Running() const;
    // Holds every child started with `commandLine` before it logs, until the event
    // returned is set.
    [[nodiscard]] win::unique_handle HoldChildren(const std::string& commandLine) const;
    // Waits until the label reads "Done", none of the program's regsvr32 children
    // runs and none has started for a while: the end of the last of any nested runs,
    // and of every child that outlived the program's wait for it. A count of lines
    // might never come; this end does.
    [[nodiscard]] bool WaitForTheRunsToEnd() const;
    // Whether the log holds `count` executions, as many of each line; if not, which
    // lines are missing, how many children the program started and how each child
    // without a line ended. A line lost to a child that died before it could run
    // has the test run once more.
    [[nodiscard]] testing::AssertionResult EveryExecutionLogged(size_t count) const;

    testing_support::TempDirectory temp;
    std::string log = temp.Path() + "executions.log";
    // What names the events that hold the stand-in, unique to this test process.
    std::string holdPrefix = "quenfix-standin-hold-" + std::to_string(::GetCurrentProcessId()) + "-";
    // What WINEDLLOVERRIDES must hold for the test; Wine reads it from the Unix
    // environment, which every process the test starts inherits unchanged.
    std::string requiredOverride = "regsvr32.exe=n";
    // False for a run of the system's own regsvr32.
    bool withStandIn = true;
    std::string programPath = testing_support::ExeDirectory() + QUENFIX_EXE;
    std::string workingDirectory;
    ProgramUnderTest::Environment environment;
    ProgramUnderTest::Rights rights = ProgramUnderTest::Rights::Same;
    // False for a program that is not to open its window.
    bool expectWindow = true;
    std::optional<ProgramUnderTest> program;
};

}  // namespace e2e_testing

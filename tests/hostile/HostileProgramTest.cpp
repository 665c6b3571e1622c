// The real program under hostile conditions, driven from this process: copies of
// regsvr32.exe planted where the system's own search for a bare program name looks
// first, and a close in the middle of a nested run.

#include "CommandList.h"
#include "e2e/ProgramEndToEnd.h"

#include <algorithm>
#include <cstddef>

namespace {

using namespace testing_support;
using namespace e2e_testing;

using HostileProgram = ProgramEndToEnd;

// A stand-in regsvr32.exe beside the program and another in the directory the
// program starts in. Both log as the one in the system directory does, so a run of
// either shows in the log under its own path.
class PlantedRegsvr32 : public ProgramEndToEnd {
protected:
    void SetUp() override {
        const std::string standin = ExeDirectory() + "standin\\regsvr32.exe";
        ASSERT_TRUE(::CopyFileA(standin.c_str(), besideProgram.Path().c_str(), FALSE));
        ASSERT_TRUE(::CopyFileA(standin.c_str(), inWorkingDirectory.Path().c_str(), FALSE));
        workingDirectory = plantDirectory.Path();
        ProgramEndToEnd::SetUp();
    }

    static std::string ProgramDirectory() {
        const std::string program = ExeDirectory() + QUENFIX_EXE;
        return program.substr(0, program.find_last_of('\\') + 1);
    }

    TempDirectory plantDirectory;
    const ScopedFile besideProgram{ProgramDirectory() + "regsvr32.exe"};
    const ScopedFile inWorkingDirectory{plantDirectory.Path() + "regsvr32.exe"};
};

TEST_F(PlantedRegsvr32, OnlyTheSystemDirectorysCopyRunsInAFullRun) {
    program->ClickRepairWithRightButton();
    ASSERT_TRUE(WaitFor([&] { return Done(); }, kRunTimeoutMs));

    const auto executions = ReadExecutions(log);
    EXPECT_EQ(executions.size(), 222u);
    size_t planted = 0;
    for (size_t i = 0; i < executions.size(); ++i) {
        if (::lstrcmpiA(executions[i].program.c_str(), Regsvr32ReachedBy(i).c_str()) != 0) ++planted;
    }
    EXPECT_EQ(planted, 0u) << "first run from " << executions.front().program;
}

TEST_F(HostileProgram, CloseDuringANestedRunEndsTheProcessWithinASecond) {
    program->ClickRepairWithRightButton();
    ASSERT_TRUE(WaitForExecutions(10));
    program->ClickRepairWithRightButton();
    // The inner run is under way once the first entry shows up again, and a few
    // executions later it is well inside.
    const std::string firstLine = CommandList::Lines()[0];
    const auto innerRunExecutions = [&] {
        const auto executions = ReadExecutions(log);
        if (executions.size() < 3) return std::ptrdiff_t{0};
        const auto restart = std::find_if(executions.begin() + 2, executions.end(),
                                          [&](const Execution& e) { return e.commandLine == firstLine; });
        return restart == executions.end() ? std::ptrdiff_t{0} : executions.end() - restart;
    };
    ASSERT_TRUE(WaitFor([&] { return innerRunExecutions() >= 6; }, kRunTimeoutMs));

    program->Close();
    EXPECT_TRUE(program->WaitForExit(1000));
    EXPECT_LT(innerRunExecutions(), 222);
}

}  // namespace

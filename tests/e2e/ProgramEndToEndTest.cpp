// The program as a user meets it: started as its own process, driven from this one
// with window messages, with a stand-in regsvr32.exe in the system directory that
// logs every execution.

#include "CommandList.h"
#include "ExpectedLayout.h"
#include "FrmQuenfix.h"
#include "ProgramEndToEnd.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

using namespace testing_support;
using namespace e2e_testing;

// The index of the entry the status label names, -1 before the first, 111 when done.
std::optional<int> EntryNamedBy(const std::string& status) {
    if (status == FrmQuenfix::kRegistering) return -1;
    if (status == "Registering: Done") return static_cast<int>(CommandList::kCount);
    const auto lines = CommandList::Lines();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (status == std::string(FrmQuenfix::kRegistering) + lines[i]) return static_cast<int>(i);
    }
    return std::nullopt;
}

TEST_F(ProgramEndToEnd, ShowsEveryControlWhereAndAsTheWindowDefinesIt) {
    expected_layout::ExpectWindowAsDefined(program->Window());
}

TEST_F(ProgramEndToEnd, RightButtonRunsEveryLineTwiceInListOrderAndSpaceDoesNot) {
    const HWND button = program->Control(FrmQuenfix::kCommand1);
    ::PostMessageW(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
    ::PostMessageW(button, WM_KEYUP, VK_SPACE, 0xC0390001);
    program->ClickRepairWithRightButton();

    int lastEntry = -1;
    bool statusInOrder = true;
    ASSERT_TRUE(WaitFor(
        [&] {
            const auto entry = EntryNamedBy(program->Status());
            statusInOrder = statusInOrder && entry && *entry >= lastEntry;
            if (entry) lastEntry = *entry;
            return Done();
        },
        kRunTimeoutMs));
    // A child past the program's wait for it writes its line after the run is done.
    ASSERT_TRUE(WaitForTheRunsToEnd());
    EXPECT_TRUE(statusInOrder) << "the status label went backwards or showed something else";
    EXPECT_EQ(WindowText(program->Control(FrmQuenfix::kPicture1)), "111/111 100 %");

    // Had the space bar started a run too, there would be twice as many.
    ASSERT_TRUE(EveryExecutionLogged(222));
    const auto executions = ReadExecutions(log);
    const auto lines = CommandList::Lines();
    for (size_t i = 0; i < executions.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Lower(executions[i].program), Lower(Regsvr32ReachedBy(i)));
        EXPECT_EQ(executions[i].commandLine, lines[i / 2]);
        // Where a child looks for a component file that the system directory lacks.
        EXPECT_EQ(executions[i].currentDirectory, SystemDirectory());
        EXPECT_EQ(executions[i].path, SystemOnlyPath());
    }
}

TEST_F(ProgramEndToEnd, SecondClickDuringARunRunsTheWholeListInsideIt) {
    program->ClickRepairWithRightButton();
    ASSERT_TRUE(WaitForExecutions(10));
    program->ClickRepairWithRightButton();
    ASSERT_TRUE(WaitForTheRunsToEnd()) << ExecutionCount() << " executions, status \"" << program->Status() << "\"";
    ASSERT_TRUE(EveryExecutionLogged(444));

    const auto executions = ReadExecutions(log);
    const auto lines = CommandList::Lines();
    // The inner run starts from the first entry while the outer one is part way in.
    const auto innerStart = std::find_if(executions.begin() + 2, executions.end(),
                                         [&](const Execution& e) { return e.commandLine == lines[0]; });
    ASSERT_NE(innerStart, executions.end());
    const auto innerOffset = static_cast<size_t>(innerStart - executions.begin());
    for (size_t i = 0; i < 222; ++i) {
        EXPECT_EQ(executions[innerOffset + i].commandLine, lines[i / 2]) << i;
    }
}

TEST_F(ProgramEndToEnd, CloseDuringARunEndsTheProcessBeforeTheRunIsDone) {
    program->ClickRepairWithRightButton();
    ASSERT_TRUE(WaitForExecutions(6));
    program->Close();
    ASSERT_TRUE(program->WaitForExit(kPatienceMs));
    EXPECT_LT(ExecutionCount(), 222u);
}

}  // namespace

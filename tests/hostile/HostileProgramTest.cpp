// The real program under hostile conditions, driven from this process: a close in
// the middle of a nested run.

#include "CommandList.h"
#include "e2e/ProgramEndToEnd.h"

#include <algorithm>
#include <cstddef>

namespace {

using namespace testing_support;
using namespace e2e_testing;

using HostileProgram = ProgramEndToEnd;

TEST_F(HostileProgram, CloseDuringANestedRunEndsTheProcessBeforeEitherRunIsDone) {
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
    ASSERT_TRUE(program->WaitForExit(kPatienceMs));
    EXPECT_LT(innerRunExecutions(), 222);
}

}  // namespace

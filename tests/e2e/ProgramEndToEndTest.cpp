// The program as a user meets it: started as its own process, driven from this one
// with window messages, with a stand-in regsvr32.exe in the system directory that
// logs every execution.

#include "CommandList.h"
#include "ExpectedLayout.h"
#include "FrmQuenfix.h"
#include "ProgramEndToEnd.h"

#include <algorithm>
#include <map>
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
        EXPECT_EQ(executions[i].startup, kRunnersStartup);
    }
}

// Two presses while the program waits for the first execution of a line, the one
// whose start has the redirection off: the first starts a run inside the run, and
// the second, handled at that run's first look at its messages, one inside that.
TEST_F(ProgramEndToEnd, PressesDuringARunEachRunTheWholeListInsideIt) {
    const auto lines = CommandList::Lines();
    const win::unique_handle held = HoldChildren(lines[5]);
    program->ClickRepairWithRightButton();
    ASSERT_TRUE(WaitFor([&] { return Regsvr32Started() == 11 && Regsvr32Running() == 1; }, kRunTimeoutMs));
    program->ClickRepairWithRightButton();
    program->ClickRepairWithRightButton();
    ::SetEvent(held.get());
    ASSERT_TRUE(WaitForTheRunsToEnd()) << ExecutionCount() << " executions, status \"" << program->Status() << "\"";
    ASSERT_TRUE(EveryExecutionLogged(666));

    const auto executions = ReadExecutions(log);
    // The innermost run starts from the first entry while the others are part way in.
    const auto innerStart = std::find_if(executions.begin() + 2, executions.end(),
                                         [&](const Execution& e) { return e.commandLine == lines[0]; });
    ASSERT_NE(innerStart, executions.end());
    const auto innerOffset = static_cast<size_t>(innerStart - executions.begin());
    for (size_t i = 0; i < 222; ++i) {
        EXPECT_EQ(executions[innerOffset + i].commandLine, lines[i / 2]) << i;
    }

    // Every run executes a line in the native system directory first and in its own
    // second, with whole runs nested in between: per line, the second executions
    // never outnumber the first ones, and in the end they are as many.
    const std::string native = Lower(Regsvr32ReachedBy(0));
    if (native == Lower(Regsvr32ReachedBy(1))) return;
    std::map<std::string, int> open;
    for (size_t i = 0; i < executions.size(); ++i) {
        int& pending = open[executions[i].commandLine];
        pending += Lower(executions[i].program) == native ? 1 : -1;
        EXPECT_GE(pending, 0) << "execution " << i << ", " << executions[i].commandLine;
    }
    for (const auto& [line, pending] : open) EXPECT_EQ(pending, 0) << line;
}

// A burst of presses during a run: the runs nested inside one another are bounded,
// so the program neither runs out of stack nor stops answering. The innermost run
// executes first, and it begins only once every press has been handled.
TEST_F(ProgramEndToEnd, BurstOfPressesDuringARunLeavesTheProgramAnsweringAndClosable) {
    const std::string firstLine = CommandList::Lines()[0];
    const auto firstLineExecutions = [&] {
        return std::ranges::count(ReadExecutions(log), firstLine, &Execution::commandLine);
    };
    program->ClickRepairWithRightButton();
    ASSERT_TRUE(WaitForExecutions(4));
    for (int press = 0; press < 2000; ++press) program->ClickRepairWithRightButton();
    ASSERT_TRUE(WaitFor([&] { return firstLineExecutions() >= 3 || program->WaitForExit(0); }, kRunTimeoutMs));
    ASSERT_FALSE(program->WaitForExit(0)) << "the program ended during the burst";
    EXPECT_NE(program->Status(), "") << "the program does not answer";
    program->Close();
    EXPECT_TRUE(program->WaitForExit(kPatienceMs));
}

TEST_F(ProgramEndToEnd, CloseDuringARunEndsTheProcessBeforeTheRunIsDone) {
    program->ClickRepairWithRightButton();
    ASSERT_TRUE(WaitForExecutions(6));
    program->Close();
    ASSERT_TRUE(program->WaitForExit(kPatienceMs));
    EXPECT_LT(ExecutionCount(), 222u);
}

// Started without "Run as administrator": the commands could not register anything.
class ProgramWithoutElevation : public ProgramEndToEnd {
protected:
    void SetUp() override {
        rights = ProgramUnderTest::Rights::Limited;
        ProgramEndToEnd::SetUp();
    }
};

TEST_F(ProgramWithoutElevation, PressRunsNothingAndSaysToRunAsAdministrator) {
    constexpr const char* kNotStarted = "Registering: Not started. Run Quenfix as administrator.";
    program->ClickRepairWithRightButton();
    ASSERT_TRUE(WaitFor([&] { return program->Status() != FrmQuenfix::kRegistering; }, kPatienceMs));
    EXPECT_EQ(program->Status(), kNotStarted);
    EXPECT_EQ(ExecutionCount(), 0u);
    EXPECT_EQ(Regsvr32Started(), 0u);
}

// Started from an environment of the user's own making, as an elevated program's is:
// variables that steer where system files are found, what a runtime loads into
// regsvr32 and which paths a component registers, each set to a planted value. The
// children get the machine's variables instead.
class ProgramInAPlantedEnvironment : public ProgramEndToEnd {
protected:
    void SetUp() override {
        environment = {{"windir", "C:\\planted"},
                       {"SystemRoot", "C:\\planted"},
                       {"ProgramFiles", "C:\\planted\\Program Files"},
                       {"CommonProgramFiles", "C:\\planted\\Common Files"},
                       {"COR_ENABLE_PROFILING", "1"},
                       {"COR_PROFILER_PATH", "C:\\planted\\profiler.dll"},
                       {"__COMPAT_LAYER", "RunAsInvoker"}};
        ProgramEndToEnd::SetUp();
    }
};

// The program is closed while its third child runs, held: Wine can leave a child
// that starts as its parent ends hanging in its loader, holding the test's output.
TEST_F(ProgramInAPlantedEnvironment, ChildrenGetTheMachinesVariablesOnly) {
    const win::unique_handle held = HoldChildren(CommandList::Lines()[1]);
    program->ClickRepairWithRightButton();
    ASSERT_TRUE(WaitFor([&] { return Regsvr32Started() == 3 && Regsvr32Running() == 1; }, kRunTimeoutMs));
    program->Close();
    ASSERT_TRUE(program->WaitForExit(kPatienceMs));
    ::SetEvent(held.get());
    ASSERT_TRUE(WaitFor([&] { return Regsvr32Running() == 0; }, kPatienceMs));
    auto executions = ReadExecutions(log);
    ASSERT_EQ(executions.size(), 3u);
    char windows[MAX_PATH] = {};
    ASSERT_GT(::GetSystemWindowsDirectoryA(windows, MAX_PATH), 0u);
    for (Execution& execution : executions) {
        SCOPED_TRACE(execution.commandLine);
        for (const auto& [name, planted] : environment) EXPECT_NE(execution.variables[name], planted) << name;
        EXPECT_EQ(Lower(execution.variables["SystemRoot"]), Lower(windows));
        EXPECT_EQ(execution.path, SystemOnlyPath());
    }
}

// The desktop's shell ended, as any program of the user may end it, so that it
// cannot take the page: the elevated program does not start the page's handler
// itself (the user's https association, which any of the user's programs may have
// changed, would run as administrator), but shows the address to be opened. Ending
// Explorer reaches every test in the prefix, so these run alone.
class ProgramWithoutADesktopShell : public ProgramEndToEnd {
protected:
    void SetUp() override {
        ProgramEndToEnd::SetUp();
        for (const DWORD shell : ProcessesNamed(L"explorer.exe")) Terminate(shell);
    }
};

TEST_F(ProgramWithoutADesktopShell, LinkShowsTheAddressAndStartsNothing) {
    const HWND link = program->Control(FrmQuenfix::kLabel4);
    ::PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::PostMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ASSERT_TRUE(WaitFor([&] { return !program->MessageText().empty() || !program->Job().Started().empty(); },
                        kPatienceMs));
    EXPECT_NE(program->MessageText().find(FrmQuenfix::kMakersPage), std::string::npos) << program->MessageText();
    for (const JobWatch::Member& started : program->Job().Started()) ADD_FAILURE() << "started " << started.image;
}

}  // namespace

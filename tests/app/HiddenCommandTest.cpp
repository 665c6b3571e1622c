#include "HiddenCommand.h"

#include "FailingAllocation.h"
#include "TestSupport.h"
#include "UniqueHandle.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace testing_support;

// An environment block written with '|' for the null that ends each entry.
std::wstring Block(std::wstring text) {
    for (wchar_t& c : text) c = c == L'|' ? L'\0' : c;
    return text + L'\0';
}

TEST(ResolveApplicationName, TakesBareProgramNamesFromTheSystemDirectoryOnly) {
    const std::string system = SystemDirectory();
    EXPECT_EQ(HiddenCommand::ResolveApplicationName("regsvr32 acelpdec.ax /s"),
              system + "\\regsvr32.exe");
    EXPECT_EQ(HiddenCommand::ResolveApplicationName("  regsvr32.exe x.dll"), system + "\\regsvr32.exe");
    EXPECT_EQ(HiddenCommand::ResolveApplicationName("\"regsvr32\" x.dll"), system + "\\regsvr32.exe");
    EXPECT_EQ(HiddenCommand::ResolveApplicationName("control.cpl"), system + "\\control.cpl");
    // A name with a path is the caller's choice and stays as it is.
    EXPECT_EQ(HiddenCommand::ResolveApplicationName("C:\\tools\\regsvr32.exe x.dll"), std::nullopt);
    EXPECT_EQ(HiddenCommand::ResolveApplicationName("\"C:\\my tools\\r.exe\" x"), std::nullopt);
    EXPECT_EQ(HiddenCommand::ResolveApplicationName(".\\regsvr32 x.dll"), std::nullopt);
    EXPECT_EQ(HiddenCommand::ResolveApplicationName("   "), std::nullopt);
}

TEST(EnvironmentWithPath, PutsOnePathInPlaceOfAnyAndKeepsEveryOtherEntry) {
    const struct {
        const wchar_t* before;
        const wchar_t* after;
    } cases[] = {
        {L"A=1|Path=C:\\mine|Z=2|", L"A=1|PATH=S|Z=2|"},
        {L"=C:=C:\\dir|A=1|Q=2|", L"=C:=C:\\dir|A=1|PATH=S|Q=2|"},
        {L"PATH=a|X=1|path=b|", L"PATH=S|X=1|"},
        {L"N=\u00e9\u4e2d|PATHEXT=.EXE|", L"N=\u00e9\u4e2d|PATH=S|PATHEXT=.EXE|"},
        // Names are ordered upper-cased: "_" comes after "H".
        {L"A=1|PAT_=2|", L"A=1|PATH=S|PAT_=2|"},
        {L"", L"PATH=S|"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HiddenCommand::EnvironmentWithPath(Block(c.before).c_str(), L"S"), Block(c.after));
    }
    EXPECT_EQ(HiddenCommand::EnvironmentWithPath(nullptr, L"S"), Block(L"PATH=S|"));
}

// Where a child that was given a file by name looks for it, how it is shown, and
// that of this process's handles it holds the pipe's write end alone: a file handle
// made inheritable here does not reach it.
TEST(RunHiddenCommand, ChildStartsHiddenInTheSystemDirectoryWithSystemFoldersAndOnlyItsPipe) {
    TempDirectory temp;
    const std::string log = temp.Path() + "standin.log";
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const win::unique_handle probe(::CreateFileA((temp.Path() + "probe.txt").c_str(), GENERIC_WRITE,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                 &inheritable, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    ASSERT_NE(probe.get(), INVALID_HANDLE_VALUE);
    const StandInSettings settings(::GetCurrentProcessId(),
                                   {log, "", std::to_string(reinterpret_cast<ULONG_PTR>(probe.get()))});
    ASSERT_TRUE(settings.Valid());
    const std::string result =
        HiddenCommand::RunHiddenCommand(Quoted(ExeDirectory() + "standin\\regsvr32.exe") + " x.dll /s");

    EXPECT_EQ(result, "");
    const auto executions = ReadExecutions(log);
    ASSERT_EQ(executions.size(), 1u);
    EXPECT_EQ(executions[0].currentDirectory, SystemDirectory());
    EXPECT_EQ(executions[0].path, SystemOnlyPath());
    EXPECT_EQ(executions[0].startup, kRunnersStartup);
    EXPECT_EQ(executions[0].probedFile, "");
}

// Memory running out at any one allocation of the runner: the child is not started,
// and the runner says so or throws std::bad_alloc; or, past the start, it ran.
TEST(RunHiddenCommand, AllocationThatFailsStopsTheStartAndIsReported) {
    TempDirectory temp;
    const std::string log = temp.Path() + "standin.log";
    const StandInSettings settings(::GetCurrentProcessId(), {log, "", ""});
    ASSERT_TRUE(settings.Valid());
    const std::string command = Quoted(ExeDirectory() + "standin\\regsvr32.exe") + " x.dll /s";
    for (long n = 1;; ++n) {
        SCOPED_TRACE(n);
        const size_t before = ReadExecutions(log).size();
        std::string result = "threw";
        bool failed = false;
        try {
            const FailingAllocation failing(n);
            result = HiddenCommand::RunHiddenCommand(command);
            failed = failing.Failed();
        } catch (const std::bad_alloc&) {
            failed = true;
        }
        const bool started = ReadExecutions(log).size() > before;
        if (!failed) {
            EXPECT_EQ(result, "");
            EXPECT_TRUE(started);
            break;
        }
        EXPECT_FALSE(started);
        EXPECT_TRUE(result == "threw" || result.starts_with("Error: CreateProcess failed. ")) << result;
    }
}

TEST(RunHiddenCommand, ChildThatEndsAtOnceIsGoneWhenTheRunnerReturns) {
    const unsigned long long start = Now();
    EXPECT_EQ(HiddenCommand::RunHiddenCommand(ChildCommand("exit")), "");
    EXPECT_EQ(LiveChildrenSince(start).size(), 0u) << "the runner did not wait for the child";
}

// The runner waits 3 seconds for a child, and then no longer: the bound above is the
// test's own, wide enough for a loaded machine's process start.
TEST(RunHiddenCommand, ChildThatNeverEndsIsLeftRunningAfterTheWait) {
    TempDirectory temp;
    const std::string pidFile = temp.Path() + "pid.txt";
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(HiddenCommand::RunHiddenCommand(ChildCommand("hang " + Quoted(pidFile))), "");
    const ULONGLONG waited = ::GetTickCount64() - start;
    // The tick count moves in steps of up to 16 ms.
    EXPECT_GE(waited, 3000u - 16u);
    EXPECT_LT(waited, 15000u);

    ASSERT_TRUE(WaitFor([&] { return !ReadTextFile(pidFile).empty(); }, kPatienceMs));
    const DWORD pid = std::strtoul(ReadTextFile(pidFile).c_str(), nullptr, 10);
    win::unique_handle child(::OpenProcess(SYNCHRONIZE, FALSE, pid));
    ASSERT_TRUE(child);
    EXPECT_EQ(::WaitForSingleObject(child.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    Terminate(pid);
}

TEST(RunHiddenCommand, MissingProgramIsReportedWithTheSystemsError) {
    EXPECT_EQ(HiddenCommand::RunHiddenCommand("quenfix_no_such_program acelpdec.ax /s"),
              "Error: CreateProcess failed. 2");
}

TEST(RunHiddenCommand, FloodingChildIsNotLeftBlockedOnThePipe) {
    TempDirectory temp;
    const std::string doneFile = temp.Path() + "done.txt";
    EXPECT_EQ(HiddenCommand::RunHiddenCommand(ChildCommand("flood 10485760 " + Quoted(doneFile))), "");
    // Nobody reads the pipe, so the child can only finish once the pipe breaks:
    // that needs every read end closed, the child's own copy included.
    EXPECT_TRUE(WaitFor([&] { return FileExists(doneFile); }, kPatienceMs))
        << "the child is still blocked writing to its standard output";
}

TEST(RunHiddenCommand, PlantedRegsvr32BesideTheProgramOrInTheCurrentDirectoryNeverRuns) {
    TempDirectory temp;
    const std::string log = temp.Path() + "standin.log";
    const std::string standin = ExeDirectory() + "standin\\regsvr32.exe";
    const ScopedFile besideProgram(ExeDirectory() + "regsvr32.exe");
    const ScopedFile inCurrentDirectory(temp.Path() + "regsvr32.exe");
    ASSERT_TRUE(::CopyFileA(standin.c_str(), besideProgram.Path().c_str(), FALSE));
    ASSERT_TRUE(::CopyFileA(standin.c_str(), inCurrentDirectory.Path().c_str(), FALSE));

    char previousDirectory[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, previousDirectory);
    ::SetCurrentDirectoryA(temp.Path().c_str());
    const StandInSettings settings(::GetCurrentProcessId(), {log, "", ""});
    ASSERT_TRUE(settings.Valid());
    const std::string result = HiddenCommand::RunHiddenCommand("regsvr32 quenfix_nothing.dll /s");
    ::SetCurrentDirectoryA(previousDirectory);

    EXPECT_EQ(result, "");
    // The system's own regsvr32.exe may be the tests' stand-in, which logs as well;
    // only a line from either planted copy is a fault.
    for (const Execution& execution : ReadExecutions(log)) {
        EXPECT_NE(::lstrcmpiA(execution.program.c_str(), besideProgram.Path().c_str()), 0);
        EXPECT_NE(::lstrcmpiA(execution.program.c_str(), inCurrentDirectory.Path().c_str()), 0);
    }
}

}  // namespace

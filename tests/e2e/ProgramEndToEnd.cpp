#include "ProgramEndToEnd.h"

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

}  // namespace

std::string Regsvr32ReachedBy(size_t execution) {
    return RunningUnderWow64() && execution % 2 == 1 ? Wow64Regsvr32() : SystemRegsvr32();
}

void ProgramEndToEnd::SetUpTestSuite() {
    // Only ever replace regsvr32.exe in a Wine prefix made for the tests.
    if (!RunningUnderWine()) return;
    if (RunningUnderWow64()) {
        ASSERT_TRUE(PutStandInInNativeSystemDirectory());
        ASSERT_TRUE(PutStandIn(Wow64Regsvr32()));
    } else {
        ASSERT_TRUE(PutStandIn(SystemRegsvr32()));
    }
}

void ProgramEndToEnd::SetUp() {
    if (!RunningUnderWine()) GTEST_SKIP() << "needs a Wine test prefix for its stand-in regsvr32";
    char overrides[256] = {};
    ::GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
    ASSERT_NE(std::string(overrides).find(requiredOverride), std::string::npos)
        << "the test needs WINEDLLOVERRIDES with " << requiredOverride;
    program.emplace(programPath, log, workingDirectory, environment);
    ASSERT_TRUE(program->Started()) << "the window did not appear";
}

bool ProgramEndToEnd::WaitForExecutions(size_t count) const {
    return testing_support::WaitFor([&] { return ExecutionCount() >= count; }, kRunTimeoutMs);
}

}  // namespace e2e_testing

#include "ProgramEndToEnd.h"

#include <sstream>

namespace e2e_testing {
namespace {

bool RunningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

}  // namespace

std::vector<Execution> ReadExecutions(const std::string& log) {
    std::vector<Execution> executions;
    std::istringstream lines(testing_support::ReadTextFile(log));
    for (std::string line; std::getline(lines, line);) {
        const auto bar = line.find('|');
        executions.push_back({line.substr(0, bar), bar == std::string::npos ? "" : line.substr(bar + 1)});
    }
    return executions;
}

std::string SystemRegsvr32() {
    char directory[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(directory, MAX_PATH);
    return std::string(directory, length) + "\\regsvr32.exe";
}

void ProgramEndToEnd::SetUpTestSuite() {
    // Only ever replace regsvr32.exe in a Wine prefix made for the tests.
    if (!RunningUnderWine()) return;
    ::CopyFileA((testing_support::ExeDirectory() + "standin\\regsvr32.exe").c_str(),
                SystemRegsvr32().c_str(), FALSE);
}

void ProgramEndToEnd::SetUp() {
    if (!RunningUnderWine()) GTEST_SKIP() << "needs a Wine test prefix for its stand-in regsvr32";
    char overrides[256] = {};
    ::GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
    ASSERT_NE(std::string(overrides).find("regsvr32.exe=n"), std::string::npos)
        << "Wine runs its own regsvr32 unless WINEDLLOVERRIDES has regsvr32.exe=n";
    program.emplace(testing_support::ExeDirectory() + QUENFIX_EXE, log, workingDirectory);
    ASSERT_TRUE(program->Started()) << "the window did not appear";
}

bool ProgramEndToEnd::WaitForExecutions(size_t count) const {
    return testing_support::WaitFor([&] { return ExecutionCount() >= count; }, kRunTimeoutMs);
}

}  // namespace e2e_testing

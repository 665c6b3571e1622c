// The repair as a user meets it: Wine's own regsvr32 and component files, no
// stand-in. Classes that files on the list serve are taken out of the registry,
// and the run must bring them back. The test runs only in a prefix of its own
// (real-repair.sh copies the test prefix for it): the tests beside it share theirs.

#include "CommandList.h"
#include "ProgramEndToEnd.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string_view>
#include <vector>

namespace {

using namespace testing_support;
using namespace e2e_testing;

// Registered in both registry views of a new prefix.
struct ServedClass {
    const char* name;
    const char* file;
    const char* clsid;
};
constexpr ServedClass kClasses[] = {
    {"JScript", "jscript.dll", "{f414c260-6ac0-11cf-b6d1-00aa00bbbb58}"},
    // Its line names a second file and a switch that Wine's regsvr32 fails on.
    {"Scripting.FileSystemObject", "scrrun.dll", "{0d43fe01-f093-11cf-8940-00a0c9054228}"},
    {"WScript.Shell", "wshom.ocx", "{72c24dd5-d70a-438b-8a42-98424b88afb8}"},
    {"StdHlink", "hlink.dll", "{79eac9d0-baf9-11ce-8c82-00aa004ba90b}"},
};

constexpr const char* kClassesKey = "Software\\Classes\\CLSID";

struct KeyCloser {
    void operator()(HKEY key) const noexcept { ::RegCloseKey(key); }
};
using unique_hkey = win::unique_any<HKEY, KeyCloser>;

// The class's registration in one registry view (KEY_WOW64_64KEY or _32KEY) deleted.
LSTATUS Unregister(const ServedClass& served, REGSAM view) {
    unique_hkey classes;
    const LSTATUS opened = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kClassesKey, 0, KEY_ALL_ACCESS | view, classes.put());
    return opened == ERROR_SUCCESS ? ::RegDeleteTreeA(classes.get(), served.clsid) : opened;
}

bool Registered(const ServedClass& served, REGSAM view) {
    unique_hkey key;
    const std::string path = std::string(kClassesKey).append("\\").append(served.clsid);
    return ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, key.put()) == ERROR_SUCCESS;
}

// A view that the build's runs reach, and a COM client of its bitness.
struct ReachedView {
    const char* name;
    std::string client;
};

// Both executions of a line reach the 64-bit view from a 64-bit program; from a
// 32-bit one, the first reaches it and the second the 32-bit view.
std::vector<ReachedView> ReachedViews() {
    const std::string ownClient = ExeDirectory() + "quenfix_class_probe.exe";
#ifdef QUENFIX_X64_CLASS_PROBE
    return {{"32-bit view", ownClient}, {"64-bit view", QUENFIX_X64_CLASS_PROBE}};
#else
    return {{"64-bit view", ownClient}};
#endif
}

// What CoCreateInstance answers for every class, a line each, as a client writes it.
std::string EveryClassAnswers(HRESULT result) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08lx", static_cast<unsigned long>(result));
    std::string answers;
    for (const ServedClass& served : kClasses) answers.append(served.name).append(": ").append(hex).append("\n");
    return answers;
}

// What CoCreateInstance answered the view's client for each class, a line each.
std::string ClientAnswers(const ReachedView& view, const std::string& output) {
    std::string commandLine = Quoted(view.client) + " " + Quoted(output);
    for (const ServedClass& served : kClasses) commandLine.append(" ").append(served.clsid);
    if (!ExitCodeOf(commandLine)) return "the client " + view.client + " did not run to its end";
    std::istringstream results(ReadTextFile(output));
    std::string answers;
    for (const ServedClass& served : kClasses) {
        std::string result = "no answer";
        results >> result;
        answers.append(served.name).append(": ").append(result).append("\n");
    }
    return answers;
}

class RealRepair : public ProgramEndToEnd {
protected:
    void SetUp() override {
        if (::GetEnvironmentVariableA("QUENFIX_REAL_REPAIR_PREFIX", nullptr, 0) == 0) {
            GTEST_SKIP() << "it takes classes out of the registry: it runs only in a prefix of its own "
                            "(tests/e2e/real-repair.sh)";
        }
        withStandIn = false;
        // As the prefix was made: without it, Wine sets about installing Mono and
        // Gecko when the run registers the files that need them.
        requiredOverride = "mscoree,mshtml=";
        ProgramEndToEnd::SetUp();
    }

    [[nodiscard]] std::string CreatedBy(const ReachedView& view) const {
        return ClientAnswers(view, temp.Path() + "created.txt");
    }
};

TEST_F(RealRepair, BringsBackDeletedClassesInEveryViewTheBuildReaches) {
    const auto lines = CommandList::Lines();
    for (const ServedClass& served : kClasses) {
        ASSERT_TRUE(std::ranges::any_of(lines, [&](std::string_view line) { return line.find(served.file) != line.npos; }))
            << served.file << " is on no line";
        for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
            const LSTATUS deleted = Unregister(served, view);
            ASSERT_TRUE(deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND) << served.name << ": " << deleted;
        }
    }
    for (const ReachedView& view : ReachedViews()) {
        ASSERT_EQ(CreatedBy(view), EveryClassAnswers(REGDB_E_CLASSNOTREG)) << "before the run, in the " << view.name;
    }

    program->ClickRepairWithRightButton();
    ASSERT_TRUE(WaitForTheRunsToEnd());

    for (const ReachedView& view : ReachedViews()) {
        EXPECT_EQ(CreatedBy(view), EveryClassAnswers(S_OK)) << "after the run, in the " << view.name;
    }
    // No execution of a 64-bit program's line reaches the 32-bit view.
    if (sizeof(void*) == 8) {
        for (const ServedClass& served : kClasses) EXPECT_FALSE(Registered(served, KEY_WOW64_32KEY)) << served.name;
    }
}

}  // namespace

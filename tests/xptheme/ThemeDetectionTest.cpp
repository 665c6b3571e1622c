#include "mdXpThemeSupport.h"

#include "TestSupport.h"
#include "ThemeTestSupport.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace mdXpThemeSupport;
using xptheme_testing::ScopedControlTheming;
using xptheme_testing::RecordingPlatform;
using Log = std::vector<std::string>;

TEST(IsComCtl6Loaded, OnlyMajorVersionSixOrLaterCounts) {
    RecordingPlatform platform;
    const struct {
        DWORD major, minor;
        bool expected;
    } cases[] = {{5, 81, false}, {5, 82, false}, {6, 0, true}, {6, 10, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor));
        platform.AnswerVersion(c.major, c.minor);
        EXPECT_EQ(ThemeSupport(platform.Get()).IsComCtl6Loaded(), c.expected);
    }
    EXPECT_EQ(RecordingPlatform::Log(), (Log{"version", "version", "version", "version"}));
}

TEST(IsComCtl6Loaded, LibraryWithoutAVersionEntryCountsAsOlderAndIsReported) {
    RecordingPlatform platform;
    platform.AnswerNoEntry();
    EXPECT_FALSE(ThemeSupport(platform.Get()).IsComCtl6Loaded());
    EXPECT_EQ(RecordingPlatform::Log(), (Log{"version", "trace IsComCtl6Loaded"}));
}

// The real question goes to the DllGetVersion of the library the process has bound,
// whose answer under Wine 8 is 5.81, for either of its libraries: not version 6.
TEST(IsComCtl6Loaded, RealQuestionGoesToTheBoundLibrary) {
    const auto ownEntry = reinterpret_cast<comctl32::DllGetVersionProc>(
        reinterpret_cast<void*>(::GetProcAddress(comctl32::Module(), "DllGetVersion")));
    ASSERT_NE(ownEntry, nullptr);
    EXPECT_EQ(Platform::System().findDllGetVersion(), ownEntry);
    EXPECT_FALSE(ThemeSupport().IsComCtl6Loaded());
}

TEST(InitThemeSupport, WithVersion6LoadsTheShellBeforeInitialisingAndActsOnlyOnce) {
    RecordingPlatform platform;
    platform.AnswerVersion(6, 0);
    ThemeSupport support(platform.Get());
    support.InitThemeSupport();
    support.InitThemeSupport();
    EXPECT_EQ(RecordingPlatform::Log(), (Log{"version", "load shell32.dll", "init 8 0x200"}));
}

TEST(InitThemeSupport, WithAnOlderLibraryDoesNothingButStillCountsAsDone) {
    RecordingPlatform platform;
    platform.AnswerVersion(5, 82);
    ThemeSupport support(platform.Get());
    support.InitThemeSupport();
    platform.AnswerVersion(6, 0);
    support.InitThemeSupport();
    EXPECT_EQ(RecordingPlatform::Log(), (Log{"version"}));
}

TEST(pvIsThemed, FollowsTheApplicationsPermissionForControlsAtTheNextQuestion) {
    ASSERT_TRUE(pvIsThemed()) << "a new Wine prefix has visual styles on";
    {
        const ScopedControlTheming classic(false);
        EXPECT_FALSE(pvIsThemed());
    }
    EXPECT_TRUE(pvIsThemed());
}

// Switches the visual style of the test's own Wine prefix and puts it back.
class ThemeSwitchInThePrefix : public ::testing::Test {
protected:
    void SetUp() override { m_saved = ReadThemeActive(); }
    void TearDown() override {
        if (m_saved) {
            WriteThemeActive(m_saved->c_str());
        } else {
            ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, kValue);
        }
    }

    static void WriteThemeActive(const char* value) {
        ::RegSetKeyValueA(HKEY_CURRENT_USER, kKey, kValue, REG_SZ, value, 2);
    }

    // The probe's exit code, or 99 when it could not be run.
    static DWORD RunProbe(const char* mode) {
        const std::string command =
            testing_support::Quoted(testing_support::ExeDirectory() + QUENFIX_THEME_PROBE) + " " + mode;
        return testing_support::ExitCodeOf(command, 60000).value_or(99);
    }

private:
    static constexpr const char* kKey = "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
    static constexpr const char* kValue = "ThemeActive";

    static std::optional<std::string> ReadThemeActive() {
        char value[16] = {};
        DWORD size = sizeof value;
        if (::RegGetValueA(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_SZ, nullptr, value, &size) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        return std::string(value);
    }

    std::optional<std::string> m_saved;
};

TEST_F(ThemeSwitchInThePrefix, NextProgramSeesTheSwitchBothWays) {
    WriteThemeActive("0");
    EXPECT_EQ(RunProbe("ask"), 0u);
    WriteThemeActive("1");
    EXPECT_EQ(RunProbe("ask"), 1u);
}

TEST_F(ThemeSwitchInThePrefix, RunningProgramSeesASwitchOffAtItsNextQuestion) {
    WriteThemeActive("1");
    EXPECT_EQ(RunProbe("off"), 2u) << "themed before the switch, classic right after it";
    EXPECT_EQ(RunProbe("ask"), 0u) << "the switch is kept for the programs that follow";
}

}  // namespace

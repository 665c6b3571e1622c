// The main window with version 6 of the common controls bound, as on Windows with a
// manifest beside the program. Wine's library always reports version 5.81, so the
// version answer is given here; the subclassing and painting are Wine's real ones.

#include "FrmQuenfix.h"

#include "FormUnderTest.h"
#include "TestSupport.h"
#include "mdXpThemeSupportInternal.h"
#include "xptheme/ThemeTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace testing_support;

class FrmQuenfixWithVersion6 : public ::testing::Test {
protected:
    void SetUp() override {
        platform.AnswerVersion(6, 0);
        ASSERT_TRUE(under.Create(true));
        button = under.Control(FrmQuenfix::kCommand1);
    }

    xptheme_testing::RecordingPlatform platform;
    FormUnderTest under{FormUnderTest::Redirection::Offered, platform.Get()};
    HWND button = nullptr;
};

TEST_F(FrmQuenfixWithVersion6, RepairNowIsPaintedWithTheThemeWhileStylesAreOn) {
    DWORD_PTR model = 0;
    ASSERT_TRUE(mdXpThemeSupport::pvFindSubclass(button, &mdXpThemeSupport::pvRedirectButton, &model));
    EXPECT_NE(model, 0u);
    ::InvalidateRect(button, nullptr, FALSE);
    ::UpdateWindow(button);
    EXPECT_NE(::GetPropA(button, "Painted"), nullptr) << "the program's own themed paint ran";
}

TEST_F(FrmQuenfixWithVersion6, ThemedRepairNowStillStartsARunOnRelease) {
    ::PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    under.Release();
    EXPECT_TRUE(WaitFor([&] { return under.Done(); }, kPatienceMs));
    EXPECT_EQ(under.commands.size(), 222u);
    EXPECT_EQ(::SendMessageW(button, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

}  // namespace

// The main window with version 6 of the common controls bound, as on Windows with a
// manifest beside the program. Wine's library always reports version 5.81, so the
// version answer is given here; the subclassing and painting are Wine's real ones.

#include "FrmQuenfix.h"

#include "FormUnderTest.h"
#include "PaintTestSupport.h"
#include "TestSupport.h"
#include "UxTheme.h"
#include "mdXpThemeSupportInternal.h"
#include "xptheme/ThemeTestSupport.h"

#include <gtest/gtest.h>

#include <vssym32.h>

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

// On the screen, away from its caption and its rounded corners (where the face is
// blended with what lies behind), Repair Now shows the theme's own face for a
// button that is neither focused, hot nor pressed, and not the look the button
// control itself paints.
TEST_F(FrmQuenfixWithVersion6, RepairNowIsPaintedWithTheThemeWhileStylesAreOn) {
    DWORD_PTR model = 0;
    ASSERT_TRUE(mdXpThemeSupport::pvFindSubclass(button, &mdXpThemeSupport::pvRedirectButton, &model));
    EXPECT_NE(model, 0u);
    ::SetFocus(nullptr);
    ::InvalidateRect(button, nullptr, FALSE);
    ::UpdateWindow(button);
    const paint_test::DibSurface shown = paint_test::Shown(button);

    RECT client{};
    ::GetClientRect(button, &client);
    const paint_test::DibSurface themed(client.right, client.bottom);
    const uxtheme::unique_htheme theme(uxtheme::OpenThemeData(button, L"BUTTON"));
    ASSERT_TRUE(theme);
    uxtheme::DrawThemeBackground(theme.get(), themed.dc(), BP_PUSHBUTTON, PBS_NORMAL, &client, &client);
    const paint_test::DibSurface ownLook(client.right, client.bottom);
    ::SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(ownLook.dc()), PRF_CLIENT);
    for (const POINT p : {POINT{4, 4}, POINT{2, 16}, POINT{client.right - 3, 16}, POINT{70, 2}, POINT{70, 30}}) {
        EXPECT_EQ(shown.Pixel(p.x, p.y), themed.Pixel(p.x, p.y)) << p.x << "," << p.y;
    }
    EXPECT_FALSE(shown.SameAs(ownLook)) << "the button's own look";
}

TEST_F(FrmQuenfixWithVersion6, ThemedRepairNowStillStartsARunOnRelease) {
    ::PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    under.Release();
    EXPECT_TRUE(WaitFor([&] { return under.Done(); }, kPatienceMs));
    EXPECT_EQ(under.commands.size(), 222u);
    EXPECT_EQ(::SendMessageW(button, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

}  // namespace

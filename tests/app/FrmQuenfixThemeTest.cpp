// The main window with version 6 of the common controls bound, as on Windows with a
// manifest beside the program. Wine's library always reports version 5.81, so the
// version answer is given here; the subclassing and painting are Wine's real ones.

#include "FrmQuenfix.h"

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
        RepairPlatform repair;
        repair.runCommand = [this](const std::string&) {
            ++executions;
            return std::string();
        };
        form = std::make_unique<FrmQuenfix>(repair, platform.Get());
        ASSERT_TRUE(form->Create());
        form->Show();
        button = ::GetDlgItem(form->Hwnd(), FrmQuenfix::kCommand1);
    }
    void TearDown() override {
        form.reset();
        DrainMessages();
    }

    xptheme_testing::RecordingPlatform platform;
    std::unique_ptr<FrmQuenfix> form;
    HWND button = nullptr;
    int executions = 0;
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
    ::PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    const HWND status = ::GetDlgItem(form->Hwnd(), FrmQuenfix::kLabel2);
    EXPECT_TRUE(WaitFor(
        [&] {
            char text[64] = {};
            ::GetWindowTextA(status, text, sizeof text);
            return std::string(text) == "Registering: Done";
        },
        20000));
    EXPECT_EQ(executions, 222);
    EXPECT_EQ(::SendMessageW(button, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

}  // namespace

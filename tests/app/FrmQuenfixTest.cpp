#include "FrmQuenfix.h"

#include "CommandList.h"
#include "ExpectedLayout.h"
#include "PaintTestSupport.h"
#include "TestSupport.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace testing_support;

const PVOID kSavedRedirection = reinterpret_cast<PVOID>(0x5A5A);

// Records what a run asks of the system, and lets a test act at a given execution.
struct Recorder {
    std::vector<std::string> events;
    std::vector<std::string> labelAtExecution;
    std::function<void(int execution)> onExecution;
    HWND label = nullptr;
    int executions = 0;
    bool disableSucceeds = true;

    RepairPlatform Platform() {
        RepairPlatform platform;
        platform.disableRedirection = [this](PVOID* saved) {
            events.push_back("disable");
            if (!disableSucceeds) return FALSE;
            *saved = kSavedRedirection;
            return TRUE;
        };
        platform.revertRedirection = [this](PVOID saved) {
            events.push_back(saved == kSavedRedirection ? "revert saved" : "revert other");
            return TRUE;
        };
        platform.runCommand = [this](const std::string& command) {
            events.push_back("run " + command);
            labelAtExecution.push_back(WindowText(label));
            ++executions;
            if (onExecution) onExecution(executions);
            return std::string();
        };
        return platform;
    }
};

class FrmQuenfixTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<FrmQuenfix>(recorder.Platform());
        ASSERT_TRUE(form->Create());
        recorder.label = Control(FrmQuenfix::kLabel2);
    }
    void TearDown() override {
        form.reset();
        DrainMessages();
    }

    HWND Control(int id) const { return ::GetDlgItem(form->Hwnd(), id); }
    std::string StripCaption() const { return WindowText(Control(FrmQuenfix::kPicture1)); }
    std::string Status() const { return WindowText(Control(FrmQuenfix::kLabel2)); }
    bool RunFinished() const { return Status() == "Registering: Done"; }
    void Release(UINT message) const {
        ::PostMessageW(Control(FrmQuenfix::kCommand1), message, 0, MAKELPARAM(5, 5));
    }

    Recorder recorder;
    std::unique_ptr<FrmQuenfix> form;
};

TEST_F(FrmQuenfixTest, ControlsSitWhereTheWindowDefinesThemWithTheirTexts) {
    EXPECT_EQ(WindowText(form->Hwnd()), "Quenfix - By Tarnwick");
    RECT client{};
    ::GetClientRect(form->Hwnd(), &client);
    EXPECT_EQ(client.right, expected_layout::kClientSize.cx);
    EXPECT_EQ(client.bottom, expected_layout::kClientSize.cy);

    const auto clientRect = [&](HWND control) {
        RECT r{};
        ::GetWindowRect(control, &r);
        ::MapWindowPoints(nullptr, form->Hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    for (const auto& expected : expected_layout::kControls) {
        SCOPED_TRACE(expected.id);
        const HWND control = Control(expected.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(ToString(clientRect(control)), ToString(expected.client));
        EXPECT_EQ(WindowText(control), expected.text);
        EXPECT_EQ((::GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0, expected.visible);
    }
    const HWND label1 = Control(FrmQuenfix::kLabel1);
    EXPECT_EQ(ToString(clientRect(label1)), ToString(expected_layout::kLabel1));
    EXPECT_TRUE(WindowText(label1).starts_with(expected_layout::kDescriptionStart));
    EXPECT_TRUE(WindowText(label1).ends_with(expected_layout::kDescriptionEnd));
}

TEST_F(FrmQuenfixTest, EveryControlUsesTheWindowsVerdanaBoldFont) {
    for (HWND child = ::GetWindow(form->Hwnd(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        SCOPED_TRACE(::GetDlgCtrlID(child));
        // The strip and the image show no text of their own.
        const int id = ::GetDlgCtrlID(child);
        if (id == FrmQuenfix::kPicture1 || id == FrmQuenfix::kImage2) continue;
        const auto font = reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        LOGFONTA lf{};
        ASSERT_EQ(::GetObjectA(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
        EXPECT_EQ(lf.lfHeight, -9);
        EXPECT_EQ(lf.lfWeight, 700);
        EXPECT_EQ(lf.lfCharSet, ANSI_CHARSET);
        EXPECT_STREQ(lf.lfFaceName, "Verdana");
    }
}

TEST_F(FrmQuenfixTest, CommandListIsHiddenUnsortedAndInListOrder) {
    const HWND list = Control(FrmQuenfix::kList1);
    EXPECT_EQ(::GetWindowLongW(list, GWL_STYLE) & LBS_SORT, 0);
    const auto lines = CommandList::Lines();
    ASSERT_EQ(::SendMessageA(list, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(lines.size()));
    for (size_t i = 0; i < lines.size(); ++i) {
        char text[64] = {};
        ::SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, lines[i]);
    }
}

TEST_F(FrmQuenfixTest, LinkLabelIsTransparentInTheHighlightColourAndShowsTheHand) {
    const HCURSOR hand = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_LINKHAND));
    ASSERT_NE(hand, nullptr);
    win::unique_hdc dc(::CreateCompatibleDC(nullptr));
    for (int id : {FrmQuenfix::kLabel4, FrmQuenfix::kLabel2, FrmQuenfix::kLabel1}) {
        SCOPED_TRACE(id);
        const LRESULT brush = ::SendMessageW(form->Hwnd(), WM_CTLCOLORSTATIC,
                                             reinterpret_cast<WPARAM>(dc.get()),
                                             reinterpret_cast<LPARAM>(Control(id)));
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(NULL_BRUSH));
        EXPECT_EQ(::GetBkMode(dc.get()), TRANSPARENT);
        const COLORREF text = ::GetSysColor(id == FrmQuenfix::kLabel4 ? COLOR_HIGHLIGHT : COLOR_BTNTEXT);
        EXPECT_EQ(::GetTextColor(dc.get()), text);
    }
    for (int id : {FrmQuenfix::kLabel4, FrmQuenfix::kImage2}) {
        ::SetCursor(nullptr);
        EXPECT_TRUE(::SendMessageW(form->Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Control(id)),
                                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
        EXPECT_EQ(::GetCursor(), hand);
    }
    EXPECT_FALSE(::SendMessageW(form->Hwnd(), WM_SETCURSOR,
                                reinterpret_cast<WPARAM>(Control(FrmQuenfix::kLabel1)),
                                MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
}

TEST_F(FrmQuenfixTest, ClickOnTheLinkLabelOrTheImageOpensTheMakersPage) {
    std::vector<HWND> opened;
    form->SetLinkOpener([&](HWND owner) { opened.push_back(owner); });
    for (int id : {FrmQuenfix::kLabel4, FrmQuenfix::kImage2}) {
        ::SendMessageW(form->Hwnd(), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                       reinterpret_cast<LPARAM>(Control(id)));
    }
    EXPECT_EQ(opened, (std::vector<HWND>{form->Hwnd(), form->Hwnd()}));
}

TEST_F(FrmQuenfixTest, RunExecutesEachLineTwiceAroundTheRedirectionSwitch) {
    ::SendMessageW(Control(FrmQuenfix::kCommand1), BM_SETCHECK, BST_CHECKED, 0);
    form->RunRepair();

    EXPECT_EQ(::SendMessageW(Control(FrmQuenfix::kCommand1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    const auto lines = CommandList::Lines();
    std::vector<std::string> expected;
    std::vector<std::string> labels;
    for (const char* line : lines) {
        const std::string run = std::string("run ") + line;
        expected.insert(expected.end(), {"disable", run, "revert saved", run});
        labels.insert(labels.end(), 2, std::string("Registering: ") + line);
    }
    EXPECT_EQ(recorder.events, expected);
    EXPECT_EQ(recorder.labelAtExecution, labels);
    EXPECT_TRUE(RunFinished());
}

TEST_F(FrmQuenfixTest, FailedSwitchStillRestoresWithTheValueItHeld) {
    recorder.disableSucceeds = false;
    form->RunRepair();
    ASSERT_GE(recorder.events.size(), 3u);
    EXPECT_EQ(recorder.events[2], "revert other");
    EXPECT_EQ(recorder.executions, 222);
    EXPECT_TRUE(RunFinished());
}

TEST(FrmQuenfixWithoutRedirection, RunStillExecutesEveryLineTwice) {
    Recorder recorder;
    RepairPlatform platform = recorder.Platform();
    platform.disableRedirection = nullptr;
    platform.revertRedirection = nullptr;
    FrmQuenfix form(platform);
    ASSERT_TRUE(form.Create());
    recorder.label = ::GetDlgItem(form.Hwnd(), FrmQuenfix::kLabel2);
    form.RunRepair();
    EXPECT_EQ(recorder.executions, 222);
    EXPECT_EQ(recorder.events.size(), 222u);
    EXPECT_EQ(WindowText(recorder.label), "Registering: Done");
}

TEST_F(FrmQuenfixTest, ReleaseOfAnyMouseButtonStartsARunButTheKeyboardDoesNot) {
    const HWND button = Control(FrmQuenfix::kCommand1);
    ::PostMessageW(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
    ::PostMessageW(button, WM_KEYUP, VK_SPACE, 0xC0390001);
    ::PostMessageW(button, WM_CHAR, VK_RETURN, 0x001C0001);
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(recorder.executions, 0);

    for (UINT release : {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP}) {
        SCOPED_TRACE(release);
        const int before = recorder.executions;
        ::SetWindowTextA(Control(FrmQuenfix::kLabel2), "");
        Release(release);
        EXPECT_TRUE(WaitFor([&] { return RunFinished(); }, 20000));
        EXPECT_EQ(recorder.executions - before, 222);
    }
}

TEST_F(FrmQuenfixTest, SecondReleaseDuringARunRunsTheWholeListInsideIt) {
    recorder.onExecution = [&](int execution) {
        if (execution == 10) Release(WM_LBUTTONUP);
    };
    form->RunRepair();
    EXPECT_EQ(recorder.executions, 444);
    EXPECT_TRUE(RunFinished());
    // The inner run starts at entry 0 while the outer one is at entry 4, and the
    // outer one carries on from there once the inner one is done.
    const auto lines = CommandList::Lines();
    EXPECT_EQ(recorder.labelAtExecution[10], std::string("Registering: ") + lines[0]);
    EXPECT_EQ(recorder.labelAtExecution[10 + 222], std::string("Registering: ") + lines[5]);
}

TEST_F(FrmQuenfixTest, CloseDuringARunStopsItAtOnce) {
    recorder.onExecution = [&](int execution) {
        if (execution == 5) ::PostMessageW(form->Hwnd(), WM_CLOSE, 0, 0);
    };
    form->RunRepair();
    EXPECT_EQ(recorder.executions, 5);
    EXPECT_FALSE(::IsWindow(recorder.label));
    MSG quit;
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST_F(FrmQuenfixTest, CloseInsideANestedRunStopsBothRuns) {
    recorder.onExecution = [&](int execution) {
        if (execution == 3) Release(WM_RBUTTONUP);
        if (execution == 20) ::PostMessageW(form->Hwnd(), WM_CLOSE, 0, 0);
    };
    form->RunRepair();
    EXPECT_EQ(recorder.executions, 20);
    EXPECT_FALSE(::IsWindow(recorder.label));
}

}  // namespace

namespace strip {

constexpr int kWidth = 419;
constexpr int kHeight = 12;
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The strip as it paints itself, read back from a memory DC.
paint_test::DibSurface Print(HWND picture) {
    paint_test::DibSurface surface(kWidth, kHeight);
    ::SendMessageW(picture, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()), PRF_CLIENT);
    return surface;
}

struct Census {
    int blue = 0;
    int white = 0;
    int other = 0;
};

// The colours inside the one-pixel sunken border.
Census Inside(const paint_test::DibSurface& surface) {
    Census census;
    for (int y = 1; y < kHeight - 1; ++y) {
        for (int x = 1; x < kWidth - 1; ++x) {
            const COLORREF pixel = surface.Pixel(x, y);
            (pixel == kBlue ? census.blue : pixel == kWhite ? census.white : census.other)++;
        }
    }
    return census;
}

void ExpectSunkenBorder(const paint_test::DibSurface& surface) {
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    EXPECT_EQ(surface.Pixel(0, 0), shadow);
    EXPECT_EQ(surface.Pixel(kWidth / 2, 0), shadow);
    EXPECT_EQ(surface.Pixel(0, kHeight / 2), shadow);
    EXPECT_EQ(surface.Pixel(kWidth / 2, kHeight - 1), light);
    EXPECT_EQ(surface.Pixel(kWidth - 1, kHeight / 2), light);
}

}  // namespace strip

TEST_F(FrmQuenfixTest, StripIsAnEmptyWhiteBarInASunkenBorderBeforeAnyRun) {
    const auto surface = strip::Print(Control(FrmQuenfix::kPicture1));
    strip::ExpectSunkenBorder(surface);
    const strip::Census inside = strip::Inside(surface);
    EXPECT_EQ(inside.white, (strip::kWidth - 2) * (strip::kHeight - 2));
    EXPECT_EQ(StripCaption(), "");
}

TEST_F(FrmQuenfixTest, StripCountsTheLinesDoneAndEndsFullWithAWhiteCaption) {
    std::vector<std::string> captions;
    recorder.onExecution = [&](int) { captions.push_back(form->Progress().Text()); };
    form->RunRepair();

    // Executions 1 and 2 belong to entry 0, 3 and 4 to entry 1.
    ASSERT_EQ(captions.size(), 222u);
    EXPECT_EQ(captions[1], "");
    EXPECT_EQ(captions[2], "1/111 01 %");
    EXPECT_EQ(captions[221], "110/111 99 %");
    EXPECT_EQ(form->Progress().Text(), "111/111 100 %");
    EXPECT_EQ(StripCaption(), "111/111 100 %");
    EXPECT_EQ(form->Progress().Value(), 111);
    EXPECT_EQ(form->Progress().Max(), 111);

    const auto surface = strip::Print(Control(FrmQuenfix::kPicture1));
    strip::ExpectSunkenBorder(surface);
    const strip::Census inside = strip::Inside(surface);
    EXPECT_GT(inside.white, 20) << "the caption should read white over the bar";
    EXPECT_EQ(inside.white + inside.blue + inside.other, (strip::kWidth - 2) * (strip::kHeight - 2));
    EXPECT_GT(inside.blue, inside.white * 4);
}

TEST_F(FrmQuenfixTest, NextRunEmptiesTheBarButKeepsTheLastCaptionUntilALineIsDone) {
    form->RunRepair();
    std::vector<int> values;
    std::vector<std::string> captions;
    recorder.onExecution = [&](int) {
        values.push_back(form->Progress().Value());
        captions.push_back(form->Progress().Text());
    };
    form->RunRepair();
    EXPECT_EQ(values.front(), 0);
    EXPECT_EQ(captions.front(), "111/111 100 %");
    EXPECT_EQ(captions[2], "1/111 01 %");
}

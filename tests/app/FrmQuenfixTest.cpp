#include "FrmQuenfix.h"

#include "CommandList.h"
#include "ExpectedLayout.h"
#include "FailingAllocation.h"
#include "FormUnderTest.h"
#include "TestSupport.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace testing_support;

std::string Narrow(const wchar_t* text) {
    const std::wstring wide = text;
    return std::string(wide.begin(), wide.end());
}

// The left button pressed and released at points of the control's client area, as
// the system delivers them: the press to the window the hit test names (a static
// control lets the mouse through to the window behind it unless it notifies), the
// release to the window that has taken the mouse, or else to the pressed one.
void PressAndRelease(HWND control, POINT press, POINT release) {
    const auto deliver = [](HWND target, UINT message, WPARAM keys, POINT screen) {
        ::ScreenToClient(target, &screen);
        ::SendMessageW(target, message, keys, MAKELPARAM(screen.x, screen.y));
    };
    ::ClientToScreen(control, &press);
    ::ClientToScreen(control, &release);
    const LRESULT hit = ::SendMessageW(control, WM_NCHITTEST, 0, MAKELPARAM(press.x, press.y));
    const HWND pressed = hit == HTTRANSPARENT ? ::GetParent(control) : control;
    deliver(pressed, WM_LBUTTONDOWN, MK_LBUTTON, press);
    const HWND captured = ::GetCapture();
    deliver(captured ? captured : pressed, WM_LBUTTONUP, 0, release);
}

void Click(HWND control) {
    PressAndRelease(control, POINT{2, 2}, POINT{3, 3});
}

class FrmQuenfixTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(under.Create()); }

    [[nodiscard]] HWND Window() const { return under.Form().Hwnd(); }
    [[nodiscard]] HWND Control(int id) const { return under.Control(id); }
    [[nodiscard]] std::string StripCaption() const { return WindowText(Control(FrmQuenfix::kPicture1)); }
    [[nodiscard]] int Executions() const { return static_cast<int>(under.commands.size()); }

    FormUnderTest under;
};

TEST_F(FrmQuenfixTest, ControlsSitWhereTheWindowDefinesThemWithTheirTexts) {
    expected_layout::ExpectWindowAsDefined(Window());
}

// At 144 dots per inch too, every control is its twips' size, the logo's included,
// and the logo fills its control, scaled as the rest of the window is.
TEST(FrmQuenfixAt144Dpi, ControlsAreTheirTwipsSizeAndTheLogoFillsItsControl) {
    FormUnderTest under;
    under.Form().LayOutAt(144);
    ASSERT_TRUE(under.Create());
    expected_layout::ExpectWindowAsDefined(under.Form().Hwnd(), expected_layout::kAt144Dpi);
    const paint_test::DibSurface logo(24, 24);
    ::SendMessageW(under.Control(FrmQuenfix::kImage2), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(logo.dc()),
                   PRF_CLIENT);
    constexpr COLORREF kLogoBlue = RGB(59, 89, 152);
    for (const POINT corner : {POINT{0, 0}, POINT{23, 0}, POINT{0, 23}, POINT{23, 23}}) {
        EXPECT_EQ(logo.Pixel(corner.x, corner.y), kLogoBlue) << corner.x << "," << corner.y;
    }
    EXPECT_EQ(logo.Pixel(13, 18), RGB(255, 255, 255)) << "the stem of the f";
}

TEST_F(FrmQuenfixTest, EveryControlUsesTheWindowsVerdanaBoldFont) {
    for (HWND child = ::GetWindow(Window(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
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
        const LRESULT brush = ::SendMessageW(Window(), WM_CTLCOLORSTATIC,
                                             reinterpret_cast<WPARAM>(dc.get()),
                                             reinterpret_cast<LPARAM>(Control(id)));
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(NULL_BRUSH));
        EXPECT_EQ(::GetBkMode(dc.get()), TRANSPARENT);
        const COLORREF text = ::GetSysColor(id == FrmQuenfix::kLabel4 ? COLOR_HIGHLIGHT : COLOR_BTNTEXT);
        EXPECT_EQ(::GetTextColor(dc.get()), text);
    }
    for (int id : {FrmQuenfix::kLabel4, FrmQuenfix::kImage2}) {
        ::SetCursor(nullptr);
        EXPECT_TRUE(::SendMessageW(Window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Control(id)),
                                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
        EXPECT_EQ(::GetCursor(), hand);
    }
    EXPECT_FALSE(::SendMessageW(Window(), WM_SETCURSOR,
                                reinterpret_cast<WPARAM>(Control(FrmQuenfix::kLabel1)),
                                MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
}

// The window keeps its focus as dialogs do: on "Repair Now" when it opens, which
// gives the themed button its defaulted look, and there again when it is active
// after another window was.
TEST(FrmQuenfixFocus, RepairNowHasTheFocusWhenTheWindowOpensAndWhenItIsActiveAgain) {
    FormUnderTest under;
    ASSERT_TRUE(under.Create(true));
    const HWND form = under.Form().Hwnd();
    const HWND button = under.Control(FrmQuenfix::kCommand1);
    const auto activate = [](HWND window) {
        ::SetForegroundWindow(window);
        return WaitFor([&] { return ::GetActiveWindow() == window; }, kPatienceMs);
    };
    ASSERT_TRUE(activate(form));
    EXPECT_EQ(::GetFocus(), button);
    const HWND other = ::CreateWindowExW(0, L"BUTTON", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 60, 30, nullptr,
                                         nullptr, nullptr, nullptr);
    ASSERT_TRUE(activate(other));
    EXPECT_EQ(::GetFocus(), other);
    ASSERT_TRUE(activate(form));
    EXPECT_EQ(::GetFocus(), button);
    ::DestroyWindow(other);
}

// A link platform that records each call as "desktop <its arguments>", "shell
// <its arguments>" or "message <owner> with the address <caption>".
LinkPlatform RecordingLink(HWND window, std::optional<bool> elevated, bool desktopTakesIt,
                           std::vector<std::string>& calls) {
    const auto owner = [window](HWND hwnd) { return hwnd == window ? "window " : "other "; };
    const std::wstring page(FrmQuenfix::kMakersPage, FrmQuenfix::kMakersPage + std::strlen(FrmQuenfix::kMakersPage));
    LinkPlatform platform;
    platform.processIsElevated = [elevated] { return elevated; };
    platform.desktopShellExecute = [&calls, desktopTakesIt](const wchar_t* file, const wchar_t* operation,
                                                             const wchar_t* parameters, const wchar_t* directory,
                                                             int show) {
        calls.push_back("desktop " + Quoted(Narrow(file)) + " " + Quoted(Narrow(operation)) + " " +
                        Quoted(Narrow(parameters)) + " " + Quoted(Narrow(directory)) + " " + std::to_string(show));
        return desktopTakesIt;
    };
    platform.shellExecute = [&calls, owner](HWND hwnd, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                                            LPCSTR directory, INT show) {
        calls.push_back("shell " + std::string(owner(hwnd)) + Quoted(operation) + " " + Quoted(file) + " " +
                        Quoted(parameters) + " " + Quoted(directory) + " " + std::to_string(show));
        return reinterpret_cast<HINSTANCE>(33);
    };
    platform.messageBox = [&calls, owner, page](HWND hwnd, LPCWSTR text, LPCWSTR caption, UINT) {
        const bool withAddress = std::wstring(text).find(page) != std::wstring::npos;
        calls.push_back("message " + std::string(owner(hwnd)) + (withAddress ? "with" : "without") + " the address " +
                        Quoted(Narrow(caption)));
        return IDOK;
    };
    return platform;
}

// A click on either control of the link, with the mouse: each shell is asked to
// "Open" the page, with empty parameters and directory (empty strings, not null) and
// the normal show command. Only without administrator rights does the program's own
// shell start the page's handler; elevated, or where the rights cannot be told, the
// desktop's shell does, or the user is shown the address. A press that the user
// drags off the control before the release opens nothing.
TEST_F(FrmQuenfixTest, ClickOnTheLinkLabelOrTheImageOpensTheMakersPageWithTheUsersRights) {
    const std::string page = FrmQuenfix::kMakersPage;
    const std::string shell = R"(shell window "Open" ")" + page + R"(" "" "" 1)";
    const std::string desktop = R"(desktop ")" + page + R"(" "Open" "" "" 1)";
    const std::string message = R"(message window with the address "Quenfix")";
    const struct {
        std::optional<bool> elevated;
        bool desktopTakesIt;
        std::vector<std::string> calls;
    } cases[] = {
        {false, true, {shell}},
        {true, true, {desktop}},
        {true, false, {desktop, message}},
        {std::nullopt, false, {desktop, message}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.elevated ? (*c.elevated ? "elevated" : "limited") : "rights unknown");
        std::vector<std::string> calls;
        under.Form().SetLinkPlatform(RecordingLink(Window(), c.elevated, c.desktopTakesIt, calls));
        for (int id : {FrmQuenfix::kLabel4, FrmQuenfix::kImage2}) {
            Click(Control(id));
            PressAndRelease(Control(id), POINT{2, 2}, POINT{-20, 2});
        }
        std::vector<std::string> twice = c.calls;
        twice.insert(twice.end(), c.calls.begin(), c.calls.end());
        EXPECT_EQ(calls, twice);
        EXPECT_EQ(::GetCapture(), nullptr);
    }
}

// Memory running out at any one allocation of a click, the recording's own included:
// the program shows the address or nothing, and never starts the handler itself.
TEST_F(FrmQuenfixTest, ClickOnTheLinkWhenMemoryRunsOutNeverStartsTheHandlerItself) {
    std::vector<std::string> calls;
    under.Form().SetLinkPlatform(RecordingLink(Window(), true, false, calls));
    for (long n = 1;; ++n) {
        calls.clear();
        const FailingAllocation failing(n);
        Click(Control(FrmQuenfix::kLabel4));
        if (!failing.Failed()) break;
        for (const std::string& call : calls) EXPECT_FALSE(call.starts_with("shell")) << n;
    }
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), R"(message window with the address "Quenfix")");
}

// Every call of a whole run: for each line the switch goes off, the line runs, the
// switch is reverted with the value `saved(line)` and the line runs again.
std::vector<std::string> RunCalls(const std::function<std::string(std::size_t line)>& saved) {
    std::vector<std::string> calls;
    const auto lines = CommandList::Lines();
    for (std::size_t line = 0; line < lines.size(); ++line) {
        const std::string run = std::string("run ") + lines[line];
        calls.insert(calls.end(), {"disable", run, "revert " + saved(line), run});
    }
    return calls;
}

TEST_F(FrmQuenfixTest, RunExecutesEachLineTwiceAroundTheRedirectionSwitch) {
    ::SendMessageW(Control(FrmQuenfix::kCommand1), BM_SETCHECK, BST_CHECKED, 0);
    // Any program on the desktop can change the hidden list; nothing of that runs.
    const HWND list = Control(FrmQuenfix::kList1);
    ::SendMessageA(list, LB_DELETESTRING, 0, 0);
    ::SendMessageA(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("cmd /c planted"));
    under.Form().RunRepair();

    EXPECT_EQ(::SendMessageW(Control(FrmQuenfix::kCommand1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    // Each revert gets what the switch-off just before it saved.
    EXPECT_EQ(under.calls, RunCalls([](std::size_t line) { return std::to_string(line + 1); }));
    std::vector<std::string> statuses;
    for (const char* line : CommandList::Lines()) statuses.insert(statuses.end(), 2, FrmQuenfix::kRegistering + std::string(line));
    EXPECT_EQ(under.statusAtExecution, statuses);
    EXPECT_TRUE(under.Done());
}

TEST_F(FrmQuenfixTest, FailedSwitchStillRestoresWithTheValueItHeld) {
    under.disableSucceeds = false;
    under.Form().RunRepair();
    // Nothing was ever saved: every revert gets the value the run started with.
    EXPECT_EQ(under.calls, RunCalls([](std::size_t) { return std::string("0"); }));
    EXPECT_TRUE(under.Done());
}

TEST(FrmQuenfixWithoutRedirection, RunStillExecutesEveryLineTwice) {
    FormUnderTest under(FormUnderTest::Redirection::Missing);
    ASSERT_TRUE(under.Create());
    under.Form().RunRepair();
    std::vector<std::string> calls;
    for (const char* line : CommandList::Lines()) calls.insert(calls.end(), 2, std::string("run ") + line);
    EXPECT_EQ(under.calls, calls);
    EXPECT_TRUE(under.Done());
}

TEST_F(FrmQuenfixTest, ReleaseOfAnyMouseButtonStartsARunButTheKeyboardDoesNot) {
    const HWND button = Control(FrmQuenfix::kCommand1);
    ::PostMessageW(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
    ::PostMessageW(button, WM_KEYUP, VK_SPACE, 0xC0390001);
    ::PostMessageW(button, WM_CHAR, VK_RETURN, 0x001C0001);
    ASSERT_TRUE(HandlePostedMessages());
    EXPECT_EQ(Executions(), 0);

    for (UINT release : {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP}) {
        SCOPED_TRACE(release);
        const int before = Executions();
        ::SetWindowTextA(Control(FrmQuenfix::kLabel2), "");
        under.Release(release);
        EXPECT_TRUE(WaitFor([&] { return under.Done(); }, kPatienceMs));
        EXPECT_EQ(Executions() - before, 222);
    }
}

TEST_F(FrmQuenfixTest, SecondReleaseDuringARunRunsTheWholeListInsideIt) {
    under.onExecution = [&](int execution) {
        if (execution == 10) under.Release();
    };
    under.Form().RunRepair();
    EXPECT_EQ(Executions(), 444);
    EXPECT_TRUE(under.Done());
    // The inner run starts at entry 0 while the outer one is at entry 4, and the
    // outer one carries on from there once the inner one is done.
    const auto lines = CommandList::Lines();
    EXPECT_EQ(under.statusAtExecution[10], FrmQuenfix::kRegistering + std::string(lines[0]));
    EXPECT_EQ(under.statusAtExecution[10 + 222], FrmQuenfix::kRegistering + std::string(lines[5]));
}

// A press while the switch is off for the first execution of a line waits until the
// switch is restored: the run it starts then finds redirection on, as every run
// must, and switches it off for the first execution of each line only.
TEST_F(FrmQuenfixTest, PressDuringTheFirstExecutionOfALineStartsARunOnlyOnceTheSwitchIsRestored) {
    under.onExecution = [&](int execution) {
        if (execution == 1) under.Release();
    };
    under.Form().RunRepair();
    const auto lines = CommandList::Lines();
    ASSERT_EQ(Executions(), 444);
    EXPECT_EQ(std::vector<std::string>(under.calls.begin(), under.calls.begin() + 4),
              (std::vector<std::string>{"disable", std::string("run ") + lines[0], "revert 1", "disable"}));
    // Off then on for each line: the outer run's first line, the whole inner run,
    // then the rest of the outer one.
    std::vector<bool> off{true};
    for (int line = 0; line < 111; ++line) off.insert(off.end(), {true, false});
    off.push_back(false);
    for (int line = 1; line < 111; ++line) off.insert(off.end(), {true, false});
    EXPECT_EQ(under.redirectionOffAtExecution, off);
}

// Also when a modal loop of another's, as a shell call may run, handles the close
// and takes the quit request: the run stops, and the request is there again for the
// message loop.
TEST(FrmQuenfixClose, CloseDuringARunStopsItAtOnceAlsoWhenAnotherLoopTakesTheQuitRequest) {
    for (const bool taken : {false, true}) {
        SCOPED_TRACE(taken);
        FormUnderTest under;
        ASSERT_TRUE(under.Create());
        const HWND label = under.Control(FrmQuenfix::kLabel2);
        under.onExecution = [&](int execution) {
            if (execution != 5) return;
            ::PostMessageW(under.Form().Hwnd(), WM_CLOSE, 0, 0);
            MSG msg;
            while (taken && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message != WM_QUIT) ::DispatchMessageW(&msg);
            }
        };
        under.Form().RunRepair();
        EXPECT_EQ(under.commands.size(), 5u);
        EXPECT_FALSE(::IsWindow(label));
        MSG quit;
        EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    }
}

TEST_F(FrmQuenfixTest, CloseInsideANestedRunStopsBothRuns) {
    const HWND label = Control(FrmQuenfix::kLabel2);
    under.onExecution = [&](int execution) {
        if (execution == 3) under.Release(WM_RBUTTONUP);
        if (execution == 20) ::PostMessageW(Window(), WM_CLOSE, 0, 0);
    };
    under.Form().RunRepair();
    EXPECT_EQ(Executions(), 20);
    EXPECT_FALSE(::IsWindow(label));
}

}  // namespace

namespace strip {

constexpr int kWidth = 419;
constexpr int kHeight = 12;
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

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
    const auto surface = under.PrintedStrip();
    strip::ExpectSunkenBorder(surface);
    const strip::Census inside = strip::Inside(surface);
    EXPECT_EQ(inside.white, (strip::kWidth - 2) * (strip::kHeight - 2));
    EXPECT_EQ(StripCaption(), "");
}

TEST_F(FrmQuenfixTest, StripCountsTheLinesDoneAndEndsFullWithAWhiteCaption) {
    std::vector<std::string> captions;
    under.onExecution = [&](int) { captions.push_back(under.Form().Progress().Text()); };
    under.Form().RunRepair();

    // Executions 1 and 2 belong to entry 0, 3 and 4 to entry 1.
    ASSERT_EQ(captions.size(), 222u);
    EXPECT_EQ(captions[1], "");
    EXPECT_EQ(captions[2], "1/111 01 %");
    EXPECT_EQ(captions[221], "110/111 99 %");
    EXPECT_EQ(under.Form().Progress().Text(), "111/111 100 %");
    EXPECT_EQ(StripCaption(), "111/111 100 %");
    EXPECT_EQ(under.Form().Progress().Value(), 111);
    EXPECT_EQ(under.Form().Progress().Max(), 111);

    const auto surface = under.PrintedStrip();
    strip::ExpectSunkenBorder(surface);
    const strip::Census inside = strip::Inside(surface);
    EXPECT_GT(inside.white, 20) << "the caption should read white over the bar";
    EXPECT_EQ(inside.white + inside.blue + inside.other, (strip::kWidth - 2) * (strip::kHeight - 2));
    EXPECT_GT(inside.blue, inside.white * 4);
}

TEST_F(FrmQuenfixTest, NextRunEmptiesTheBarButKeepsTheLastCaptionUntilALineIsDone) {
    under.Form().RunRepair();
    std::vector<int> values;
    std::vector<std::string> captions;
    under.onExecution = [&](int) {
        values.push_back(under.Form().Progress().Value());
        captions.push_back(under.Form().Progress().Text());
    };
    under.Form().RunRepair();
    EXPECT_EQ(values.front(), 0);
    EXPECT_EQ(captions.front(), "111/111 100 %");
    EXPECT_EQ(captions[2], "1/111 01 %");
}

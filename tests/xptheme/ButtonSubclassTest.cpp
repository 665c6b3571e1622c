#include "mdXpThemeSupport.h"

#include "TestSupport.h"
#include "ThemeTestSupport.h"
#include "UxTheme.h"

#include <gtest/gtest.h>

#include <vssym32.h>

#include <functional>
#include <memory>

namespace {

using namespace mdXpThemeSupport;
using xptheme_testing::ButtonWindow;
using xptheme_testing::ScopedControlTheming;
using xptheme_testing::RecordingPlatform;
using Seen = std::vector<std::string>;

constexpr UINT_PTR kRecorderId = 77;

std::string Name(UINT msg, WPARAM wp) {
    switch (msg) {
    case WM_SETREDRAW: return wp ? "redraw on" : "redraw off";
    case WM_ENABLE: return "enable";
    case WM_SETFOCUS: return "setfocus";
    case WM_KILLFOCUS: return "killfocus";
    case WM_PAINT: return "paint";
    case WM_ERASEBKGND: return "erase";
    case WM_MOUSEMOVE: return "mousemove";
    case WM_MOUSEHOVER: return "hover";
    case WM_MOUSELEAVE: return "leave";
    case WM_LBUTTONDOWN: return "lbuttondown";
    case WM_LBUTTONUP: return "lbuttonup";
    case WM_PRINTCLIENT: return "printclient";
    default: return {};
    }
}

// Sits below the module's subclass, so it sees what reaches the control's own
// handling, including what the module sends to the window itself.
struct Recorder {
    Seen seen;
    std::function<void(UINT msg)> onMessage;

    void Attach(HWND hWnd) { ::SetWindowSubclass(hWnd, &Record, kRecorderId, reinterpret_cast<DWORD_PTR>(this)); }

    static LRESULT CALLBACK Record(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
        auto& recorder = *reinterpret_cast<Recorder*>(self);
        if (const std::string name = Name(msg, wp); !name.empty()) recorder.seen.push_back(name);
        if (recorder.onMessage) recorder.onMessage(msg);
        if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(hWnd, &Record, kRecorderId);
        return ::DefSubclassProc(hWnd, msg, wp, lp);
    }
};

enum class Marked { Nothing, Shape, Client };

bool Hot(HWND hWnd) { return ::GetPropA(hWnd, "Hot") != nullptr; }

class SubclassedButton : public ::testing::Test {
protected:
    void SetUp() override {
        recorder.Attach(window.button);
        platform.AnswerVersion(6, 0);
        const FormControl controls[] = {FormControl::Of(ControlKind::CheckBox, window.model)};
        ASSERT_TRUE(ThemeSupport(platform.Get()).FixThemeSupport(controls));
        ASSERT_TRUE(pvIsThemed());
        ::ValidateRect(window.button, nullptr);
        recorder.seen.clear();
    }

    // Whether the button's pending repaint covers exactly the area expected.
    bool IsMarked(Marked expected) const {
        const win::unique_hrgn update(::CreateRectRgn(0, 0, 0, 0));
        const int kind = ::GetUpdateRgn(window.button, update.get(), FALSE);
        if (expected == Marked::Nothing) return kind == NULLREGION;
        RECT client{};
        ::GetClientRect(window.button, &client);
        win::unique_hrgn area(::CreateRectRgnIndirect(&client));
        if (expected == Marked::Shape) {
            const uxtheme::unique_htheme theme(uxtheme::OpenThemeData(window.button, L"BUTTON"));
            uxtheme::GetThemeBackgroundRegion(theme.get(), nullptr, BP_PUSHBUTTON, PBS_NORMAL, &client, area.put());
        }
        return ::EqualRgn(update.get(), area.get()) != FALSE;
    }

    RecordingPlatform platform;
    ButtonWindow window;
    Recorder recorder;
};

TEST_F(SubclassedButton, ThemedButtonFollowsHoverPressFocusAndEnableWithoutEverErasing) {
    const HWND b = window.button;
    const auto send = [b](UINT msg) { return [b, msg] { ::SendMessageW(b, msg, 0, MAKELPARAM(5, 5)); }; };
    struct Step {
        const char* name;
        std::function<void()> act;
        Seen seen;  // what the button's own handling gets; a themed paint never reaches it
        bool hot;
        Marked marked;
    };
    const Step steps[] = {
        {"move onto a never painted button", send(WM_MOUSEMOVE), {"mousemove"}, false, Marked::Shape},
        {"the pointer rests", send(WM_MOUSEHOVER), {"hover"}, true, Marked::Shape},
        {"move while hot and painted", send(WM_MOUSEMOVE), {"mousemove"}, true, Marked::Nothing},
        {"the pointer leaves", send(WM_MOUSELEAVE), {"leave"}, false, Marked::Shape},
        {"focus comes", [b] { ::SetFocus(b); }, {"redraw off", "setfocus", "redraw on"}, false, Marked::Shape},
        {"left press", send(WM_LBUTTONDOWN), {"lbuttondown"}, true, Marked::Shape},
        {"left release", send(WM_LBUTTONUP), {"lbuttonup"}, true, Marked::Shape},
        {"focus goes", [this] { ::SetFocus(window.parent); }, {"killfocus"}, false, Marked::Shape},
        {"disabled", [b] { ::EnableWindow(b, FALSE); }, {"redraw off", "enable", "redraw on"}, false, Marked::Client},
        {"hidden, then enabled and focused", [b] {
             ::ShowWindow(b, SW_HIDE);
             ::EnableWindow(b, TRUE);
             ::SendMessageW(b, WM_SETFOCUS, 0, 0);
         }, {"enable", "setfocus"}, false, Marked::Nothing},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        recorder.seen.clear();
        step.act();
        EXPECT_EQ(Hot(b), step.hot);
        EXPECT_TRUE(IsMarked(step.marked));
        ::UpdateWindow(b);
        EXPECT_EQ(recorder.seen, step.seen);
    }
    EXPECT_TRUE(window.model.Value()) << "the button's own handling took the click";
}

TEST_F(SubclassedButton, ClassicLookLeavesEveryMessageToTheButtonAndHotAlone) {
    const ScopedControlTheming classic(false);
    const HWND b = window.button;
    ::SendMessageW(b, WM_MOUSEHOVER, 0, 0);
    EXPECT_FALSE(Hot(b));
    ::SetPropA(b, "Hot", reinterpret_cast<HANDLE>(1));
    ::SendMessageW(b, WM_MOUSELEAVE, 0, 0);
    ::SetFocus(b);
    ::SetFocus(window.parent);
    EXPECT_TRUE(Hot(b));
    ::InvalidateRect(b, nullptr, TRUE);
    ::UpdateWindow(b);
    EXPECT_EQ(recorder.seen, (Seen{"hover", "leave", "setfocus", "killfocus", "paint", "erase"}));
    EXPECT_EQ(::GetPropA(b, "Painted"), nullptr);
}

TEST_F(SubclassedButton, DrawingComesBackOnWhenTheThemeGoesDuringAFocusChange) {
    std::unique_ptr<ScopedControlTheming> classic;
    recorder.onMessage = [&](UINT msg) {
        if (msg == WM_SETFOCUS) classic = std::make_unique<ScopedControlTheming>(false);
    };
    ::SetFocus(window.button);
    EXPECT_EQ(recorder.seen, (Seen{"redraw off", "setfocus", "redraw on"}));
    EXPECT_TRUE(::IsWindowVisible(window.button));
}

TEST_F(SubclassedButton, DestroyingTheWindowTakesSubclassAndPropertiesAway) {
    ::SendMessageW(window.button, WM_MOUSEHOVER, 0, 0);
    ::UpdateWindow(window.button);
    bool subclassed = true;
    bool propertiesLeft = true;
    recorder.onMessage = [&](UINT msg) {
        if (msg != WM_NCDESTROY) return;
        DWORD_PTR ref = 0;
        subclassed = pvFindSubclass(window.button, &pvRedirectButton, &ref);
        propertiesLeft = ::GetPropA(window.button, "Hot") || ::GetPropA(window.button, "Painted");
    };
    ::DestroyWindow(window.button);
    EXPECT_FALSE(subclassed);
    EXPECT_FALSE(propertiesLeft);
}

TEST(FixThemeSupport, WithVersion5InstallsNothing) {
    RecordingPlatform platform;
    platform.AnswerVersion(5, 82);
    ButtonWindow window;
    const FormControl controls[] = {FormControl::Of(ControlKind::CommandButton, window.model),
                                    {ControlKind::Frame, window.parent, 0, nullptr}};
    EXPECT_FALSE(ThemeSupport(platform.Get()).FixThemeSupport(controls));
    DWORD_PTR ref = 0;
    EXPECT_FALSE(pvFindSubclass(window.button, &pvRedirectButton, &ref));
    EXPECT_FALSE(pvFindSubclass(window.parent, &pvRedirectFrame, &ref));
}

TEST(FixThemeSupport, SubclassesFramesAndGraphicalButtonsOnly) {
    RecordingPlatform platform;
    platform.AnswerVersion(6, 0);
    ButtonWindow window;
    const auto child = [&](DWORD style) {
        return ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | style, 0, 60, 50, 50,
                                 window.parent, nullptr, nullptr, nullptr);
    };
    const HWND frame = child(BS_GROUPBOX);
    const HWND standard = child(BS_PUSHBUTTON);
    const HWND label = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 9, 9, window.parent, nullptr,
                                         nullptr, nullptr);
    Recorder frameRecorder;
    frameRecorder.Attach(frame);
    GraphicalButton standardModel;
    const FormControl controls[] = {
        {ControlKind::Frame, frame, 0, nullptr},
        FormControl::Of(ControlKind::OptionButton, window.model),
        {ControlKind::CommandButton, standard, GraphicalButton::kStandard, &standardModel},
        {ControlKind::Other, label, GraphicalButton::kGraphical, nullptr},
        {ControlKind::CommandButton, nullptr, GraphicalButton::kGraphical, &standardModel},
        {ControlKind::CheckBox, standard, GraphicalButton::kGraphical, nullptr},
    };
    EXPECT_TRUE(ThemeSupport(platform.Get()).FixThemeSupport(controls));

    DWORD_PTR ref = 0;
    EXPECT_TRUE(pvFindSubclass(frame, &pvRedirectFrame, &ref));
    ASSERT_TRUE(pvFindSubclass(window.button, &pvRedirectButton, &ref));
    EXPECT_EQ(ref, reinterpret_cast<DWORD_PTR>(&window.model));
    EXPECT_FALSE(pvFindSubclass(standard, &pvRedirectButton, &ref));
    EXPECT_FALSE(pvFindSubclass(label, &pvRedirectButton, &ref));
    // The entries without a window or without a model are reported and skipped.
    EXPECT_EQ(RecordingPlatform::Log(), (Seen{"version", "trace FixThemeSupport", "trace FixThemeSupport"}));

    // The frame passes these two past its own procedure, everything else down the chain.
    for (const UINT msg : {WM_MOUSELEAVE, WM_PRINTCLIENT, WM_MOUSEMOVE}) ::SendMessageW(frame, msg, 0, 0);
    EXPECT_EQ(frameRecorder.seen, (Seen{"mousemove"}));
}

TEST(GraphicalButton, ModelThatGoesFirstTakesItsSubclassAlong) {
    RecordingPlatform platform;
    platform.AnswerVersion(6, 0);
    ButtonWindow window;
    auto model = std::make_unique<GraphicalButton>();
    model->hWnd(window.button);
    model->Style(GraphicalButton::kGraphical);
    const FormControl controls[] = {FormControl::Of(ControlKind::CommandButton, *model)};
    ThemeSupport(platform.Get()).FixThemeSupport(controls);
    model.reset();
    DWORD_PTR ref = 0;
    EXPECT_FALSE(pvFindSubclass(window.button, &pvRedirectButton, &ref));
    ::InvalidateRect(window.button, nullptr, FALSE);
    ::UpdateWindow(window.button);
}

}  // namespace

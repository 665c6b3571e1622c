#pragma once
// The main window's controls as a user sees them at 96 and at 144 dots per inch:
// shared by the in-process window tests and the tests that drive the program from
// outside. The places are the twips of the window's definition in pixels, each left,
// top, width and height rounded half to even on its own (at 144 dpi, 2145 twips are
// 214 pixels, where half away from zero would give 215).

#include "FrmQuenfix.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <array>

namespace expected_layout {

struct Control {
    int id;
    const char* windowClass;
    const char* text;
    bool visible;
};

inline constexpr const char* kCaption = "Quenfix - By Tarnwick";
inline constexpr const char* kDescription =
    "The Quenfix tool will reregister all of Internet Explorer's files. "
    "In many cases when Internet Explorer wasn't working right, or the IE control that this program uses "
    "wasn't working right the only solution was to reregister all the files for IE. "
    "This has been found to fix things that not even uninstalling and reinstalling IE would fix and this "
    "tool has helped many people get IE working properly again. "
    "There is no danger to running this tool, none of your settings are changed and you can run it "
    "anytime you like. "
    "When a file is registered in Windows it is mapped in the registry on its location. "
    "Since IE uses many files together if a file isn't registered right it then breaks IE in some way as "
    "it can't find all the files it needs. "
    "By reregistering all the files it is basically remapping the file locations.";

inline constexpr std::array<Control, 6> kControls = {{
    {FrmQuenfix::kPicture1, "QuenfixPictureBox", "", true},
    {FrmQuenfix::kList1, "ListBox", "", false},
    {FrmQuenfix::kCommand1, "Button", "Repair Now", true},
    {FrmQuenfix::kImage2, "Static", "", true},
    {FrmQuenfix::kLabel4, "Static", "Follow Tarnwick on Facebook", true},
    {FrmQuenfix::kLabel2, "Static", "Registering: ", true},
}};

// Where the controls above, Label1 and the client area are, in the main window's
// client coordinates. Picture1's edges are rounded, not its width: it is laid out as
// a rectangle.
struct Layout {
    std::array<RECT, 6> controls;
    RECT label1;
    SIZE client;
};
inline constexpr Layout kAt96Dpi = {
    {{{8, 6, 427, 18}, {136, 56, 327, 94}, {288, 22, 431, 55}, {4, 216, 20, 232}, {22, 218, 178, 230}, {6, 20, 283, 67}}},
    {6, 78, 431, 219},
    {436, 236}};
inline constexpr Layout kAt144Dpi = {
    {{{12, 9, 640, 27}, {204, 84, 490, 141}, {432, 33, 646, 83}, {6, 324, 30, 348}, {33, 327, 267, 345}, {9, 30, 425, 100}}},
    {9, 117, 647, 329},
    {654, 354}};

// Checks the window, of this process or another, against the layout: its title and
// size, and each control's class, place, text and visibility.
inline void ExpectWindowAsDefined(HWND window, const Layout& layout = kAt96Dpi) {
    using testing_support::ToString;
    using testing_support::WindowText;
    EXPECT_EQ(WindowText(window), kCaption);
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_EQ(ToString(client), ToString(RECT{0, 0, layout.client.cx, layout.client.cy}));
    const auto placeOf = [&](HWND control) {
        RECT r{};
        ::GetWindowRect(control, &r);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        return ToString(r);
    };
    for (size_t i = 0; i < kControls.size(); ++i) {
        const Control& expected = kControls[i];
        SCOPED_TRACE(expected.id);
        const HWND control = ::GetDlgItem(window, expected.id);
        ASSERT_NE(control, nullptr);
        char windowClass[64] = {};
        ::GetClassNameA(control, windowClass, sizeof windowClass);
        EXPECT_EQ(testing_support::Lower(windowClass), testing_support::Lower(expected.windowClass));
        EXPECT_EQ(placeOf(control), ToString(layout.controls[i]));
        EXPECT_EQ(WindowText(control), expected.text);
        EXPECT_EQ((::GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0, expected.visible);
    }
    const HWND label1 = ::GetDlgItem(window, FrmQuenfix::kLabel1);
    EXPECT_EQ(placeOf(label1), ToString(layout.label1));
    EXPECT_EQ(WindowText(label1), kDescription);
}

}  // namespace expected_layout

#pragma once
// The main window's controls as a user sees them at 96 dots per inch: shared by the
// in-process window tests and the tests that drive the program from outside.

#include "FrmQuenfix.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <array>

namespace expected_layout {

struct Control {
    int id;
    const char* windowClass;
    RECT client;  // in the main window's client coordinates
    const char* text;
    bool visible;
};

inline constexpr const char* kDescriptionStart = "The Quenfix tool will reregister all of Internet Explorer's files.";
inline constexpr const char* kDescriptionEnd = "By reregistering all the files it is basically remapping the file locations.";

inline constexpr std::array<Control, 6> kControls = {{
    {FrmQuenfix::kPicture1, "QuenfixPictureBox", {8, 6, 427, 18}, "", true},
    {FrmQuenfix::kList1, "ListBox", {136, 56, 327, 94}, "", false},
    {FrmQuenfix::kCommand1, "Button", {288, 22, 431, 55}, "Repair Now", true},
    {FrmQuenfix::kImage2, "Static", {4, 216, 20, 232}, "", true},
    {FrmQuenfix::kLabel4, "Static", {22, 218, 178, 230}, "Follow Tarnwick on Facebook", true},
    {FrmQuenfix::kLabel2, "Static", {6, 20, 283, 67}, "Registering: ", true},
}};

inline constexpr RECT kLabel1 = {6, 78, 431, 219};
inline constexpr SIZE kClientSize = {436, 236};

// Checks the window, of this process or another, against the layout: its title and
// size, and each control's class, place, text and visibility.
inline void ExpectWindowAsDefined(HWND window) {
    using testing_support::ToString;
    using testing_support::WindowText;
    EXPECT_EQ(WindowText(window), FrmQuenfix::kCaption);
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_EQ(ToString(client), ToString(RECT{0, 0, kClientSize.cx, kClientSize.cy}));
    const auto placeOf = [&](HWND control) {
        RECT r{};
        ::GetWindowRect(control, &r);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        return ToString(r);
    };
    for (const Control& expected : kControls) {
        SCOPED_TRACE(expected.id);
        const HWND control = ::GetDlgItem(window, expected.id);
        ASSERT_NE(control, nullptr);
        char windowClass[64] = {};
        ::GetClassNameA(control, windowClass, sizeof windowClass);
        EXPECT_EQ(testing_support::Lower(windowClass), testing_support::Lower(expected.windowClass));
        EXPECT_EQ(placeOf(control), ToString(expected.client));
        EXPECT_EQ(WindowText(control), expected.text);
        EXPECT_EQ((::GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0, expected.visible);
    }
    const HWND label1 = ::GetDlgItem(window, FrmQuenfix::kLabel1);
    EXPECT_EQ(placeOf(label1), ToString(kLabel1));
    EXPECT_TRUE(WindowText(label1).starts_with(kDescriptionStart));
    EXPECT_TRUE(WindowText(label1).ends_with(kDescriptionEnd));
}

}  // namespace expected_layout

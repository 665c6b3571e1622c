#pragma once
// The main window's controls as a user sees them at 96 dots per inch: shared by the
// in-process window tests and the tests that drive the program from outside.

#include "FrmQuenfix.h"

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

}  // namespace expected_layout

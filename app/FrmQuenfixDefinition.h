#pragma once
// The main window as it is defined: its frame, the size of its client area, and each
// control's class, style, text and place in twips. The window is made from it, and
// so is the start-up benchmark's copy of the window, which has none of its code.

#include "FrmQuenfix.h"

#include <windows.h>

#include <array>

namespace FrmQuenfixDefinition {

inline constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
inline constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
inline constexpr int kClientWidthTwips = 6540;
inline constexpr int kClientHeightTwips = 3540;

inline constexpr const char* kDescription =
    "The Quenfix tool will reregister all of Internet Explorer's files. In many cases when "
    "Internet Explorer wasn't working right, or the IE control that this program uses wasn't "
    "working right the only solution was to reregister all the files for IE. This has been found "
    "to fix things that not even uninstalling and reinstalling IE would fix and this tool has "
    "helped many people get IE working properly again. There is no danger to running this tool, "
    "none of your settings are changed and you can run it anytime you like. When a file is "
    "registered in Windows it is mapped in the registry on its location. Since IE uses many files "
    "together if a file isn't registered right it then breaks IE in some way as it can't find all "
    "the files it needs. By reregistering all the files it is basically remapping the file "
    "locations.";

// A control as the definition stores it: position and size in twips.
struct ControlTemplate {
    FrmQuenfix::ControlId id;
    LPCWSTR windowClass;
    DWORD style;
    const char* text;
    int left, top, width, height;
};

inline constexpr DWORD kLabelStyle = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;

// Picture1 is a window class of the program's own and is created apart from these.
// The link's two controls notify (SS_NOTIFY) so that the mouse reaches them: a plain
// static control lets it through to the window behind.
inline constexpr std::array<ControlTemplate, 6> kControls = {{
    {FrmQuenfix::kList1, L"LISTBOX", WS_CHILD | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, "",
     2040, 840, 2865, 570},
    {FrmQuenfix::kCommand1, L"BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE,
     "Repair Now", 4320, 330, 2145, 495},
    {FrmQuenfix::kImage2, L"STATIC", WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_NOTIFY, "",
     60, 3240, 240, 240},
    {FrmQuenfix::kLabel4, L"STATIC", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY,
     "Follow Tarnwick on Facebook", 330, 3270, 2340, 180},
    {FrmQuenfix::kLabel2, L"STATIC", kLabelStyle, FrmQuenfix::kRegistering, 90, 300, 4155, 705},
    {FrmQuenfix::kLabel1, L"STATIC", kLabelStyle, kDescription, 90, 1170, 6375, 2115},
}};

inline constexpr RECT kPicture1Twips = {120, 90, 120 + 6285, 90 + 180};

// The font every control shows its text in.
inline constexpr const char* kFontName = "Verdana";
inline constexpr double kFontPoints = 6.75;

}  // namespace FrmQuenfixDefinition

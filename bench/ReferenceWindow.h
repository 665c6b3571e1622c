#pragma once
// The start-up references are one window program of the program's size and style,
// built once for each kind of window it is compared with. What the window holds
// comes from the one of these sources that its build links:
//   BareWindow.cpp       nothing: the window paints only its background
//   OneButton.cpp        one push button, where the program has "Repair Now"
//   ProgramControls.cpp  the program's controls with their texts, font and logo

#include "Units.h"

#include <windows.h>

namespace ReferenceWindow {

// A place given in twips, in pixels: each number rounded on its own, as the program
// rounds its controls' places.
struct Place {
    int left, top, width, height;
};
[[nodiscard]] inline Place PixelsOf(int left, int top, int width, int height, const win::Dpi& dpi) noexcept {
    return {win::TwipsToPixels(left, dpi.x), win::TwipsToPixels(top, dpi.y), win::TwipsToPixels(width, dpi.x),
            win::TwipsToPixels(height, dpi.y)};
}

[[nodiscard]] const wchar_t* Title() noexcept;
// The window class's icon; null for none.
[[nodiscard]] HICON Icon(HINSTANCE instance) noexcept;
// Creates the window's children for the screen's resolution; false when one could
// not be made.
[[nodiscard]] bool CreateContent(HWND window, HINSTANCE instance, const win::Dpi& dpi) noexcept;

}  // namespace ReferenceWindow

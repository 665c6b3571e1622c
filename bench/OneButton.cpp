// The floor of a themed program of this look: the window holds one push button where
// the program has "Repair Now", and its build embeds a manifest that depends on
// version 6 of the common controls (themed-window.manifest). The manifest redirects
// the class name to version 6's button, which loads the library with it: that is the
// least any themed program of this look does before its first paint.

#include "FrmQuenfixDefinition.h"
#include "ReferenceWindow.h"

namespace ReferenceWindow {

const wchar_t* Title() noexcept { return L"Minimal window"; }

HICON Icon(HINSTANCE) noexcept { return nullptr; }

bool CreateContent(HWND window, HINSTANCE instance, const win::Dpi& dpi) noexcept {
    constexpr auto& button = FrmQuenfixDefinition::kControls[1];
    static_assert(button.id == FrmQuenfix::kCommand1);
    const Place p = PixelsOf(button.left, button.top, button.width, button.height, dpi);
    return ::CreateWindowExW(0, L"BUTTON", L"Repair Now", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                             p.left, p.top, p.width, p.height, window, nullptr, instance, nullptr) != nullptr;
}

}  // namespace ReferenceWindow

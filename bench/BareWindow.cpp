// The bare reference: a window that paints only its background.

#include "ReferenceWindow.h"

namespace ReferenceWindow {

const wchar_t* Title() noexcept { return L"Minimal window"; }

HICON Icon(HINSTANCE) noexcept { return nullptr; }

bool CreateContent(HWND, HINSTANCE, const win::Dpi&) noexcept { return true; }

}  // namespace ReferenceWindow

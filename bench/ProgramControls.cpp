// The floor of this program's window: the themed reference window (OneButton.cpp)
// with the program's caption, icon and controls in their places instead of its one
// button, their texts and font, the logo and the full command list, and none of the
// program's code: no check of its folder, no activation context of its own, no
// subclassing, no strip drawn by the program.

#include "CommandList.h"
#include "FrmQuenfixDefinition.h"
#include "ReferenceWindow.h"
#include "StdFont.h"
#include "resource.h"

#include <cstring>
#include <string>

namespace ReferenceWindow {
namespace {

// The strip's place: a plain child window that paints its background.
bool CreateStrip(HWND window, HINSTANCE instance, const win::Dpi& dpi) noexcept {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = &::DefWindowProcW;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"QuenfixBenchStrip";
    if (!::RegisterClassExW(&wc)) return false;
    const RECT& twips = FrmQuenfixDefinition::kPicture1Twips;
    const Place p = PixelsOf(twips.left, twips.top, twips.right - twips.left, twips.bottom - twips.top, dpi);
    return ::CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD | WS_VISIBLE, p.left, p.top, p.width, p.height,
                             window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(FrmQuenfix::kPicture1)),
                             instance, nullptr) != nullptr;
}

void ShowLogo(HWND logo, HINSTANCE instance) noexcept {
    RECT area{};
    ::GetClientRect(logo, &area);
    const HANDLE bitmap =
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, area.right, area.bottom, LR_DEFAULTCOLOR);
    ::SendMessageW(logo, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

}  // namespace

const wchar_t* Title() noexcept {
    static const std::wstring title(FrmQuenfix::kCaption, FrmQuenfix::kCaption + std::strlen(FrmQuenfix::kCaption));
    return title.c_str();
}

HICON Icon(HINSTANCE instance) noexcept { return ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUENFIX)); }

bool CreateContent(HWND window, HINSTANCE instance, const win::Dpi& dpi) noexcept {
    if (!CreateStrip(window, instance, dpi)) return false;
    for (const auto& c : FrmQuenfixDefinition::kControls) {
        const Place p = PixelsOf(c.left, c.top, c.width, c.height, dpi);
        const HWND control =
            ::CreateWindowExW(0, c.windowClass, L"", c.style, p.left, p.top, p.width, p.height, window,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
        if (!control) return false;
        ::SetWindowTextA(control, c.text);
    }
    static const win::StdFont font(FrmQuenfixDefinition::kFontName, FrmQuenfixDefinition::kFontPoints,
                                   win::StdFont::kBold);
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.hFont()), FALSE);
    }
    ShowLogo(::GetDlgItem(window, FrmQuenfix::kImage2), instance);
    const HWND list = ::GetDlgItem(window, FrmQuenfix::kList1);
    for (const char* line : CommandList::Lines()) {
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    }
    return true;
}

}  // namespace ReferenceWindow

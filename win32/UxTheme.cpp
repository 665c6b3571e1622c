#include "UxTheme.h"

#include "SystemLibrary.h"

namespace uxtheme {
namespace {

// The library stays loaded for the life of the process once found; the table is
// filled on first use and never changes afterwards.
struct Entries {
    BOOL(WINAPI* isAppThemed)() = nullptr;
    BOOL(WINAPI* isThemeActive)() = nullptr;
    DWORD(WINAPI* getThemeAppProperties)() = nullptr;
    HTHEME(WINAPI* openThemeData)(HWND, LPCWSTR) = nullptr;
    HRESULT(WINAPI* closeThemeData)(HTHEME) = nullptr;
    HRESULT(WINAPI* getThemeInt)(HTHEME, int, int, int, int*) = nullptr;
    HRESULT(WINAPI* drawThemeBackground)(HTHEME, HDC, int, int, const RECT*, const RECT*) = nullptr;
    HRESULT(WINAPI* getThemeBackgroundContentRect)(HTHEME, HDC, int, int, const RECT*, RECT*) = nullptr;
    HRESULT(WINAPI* getThemeBackgroundRegion)(HTHEME, HDC, int, int, const RECT*, HRGN*) = nullptr;
    HRESULT(WINAPI* drawThemeText)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*) = nullptr;
    HRESULT(WINAPI* drawThemeParentBackground)(HWND, HDC, const RECT*) = nullptr;
};

template <typename F>
void Bind(const char* name, F& entry) noexcept {
    entry = win::SystemProc<F>(L"uxtheme.dll", name);
}

Entries LoadEntries() noexcept {
    Entries e;
    Bind("IsAppThemed", e.isAppThemed);
    Bind("IsThemeActive", e.isThemeActive);
    Bind("GetThemeAppProperties", e.getThemeAppProperties);
    Bind("OpenThemeData", e.openThemeData);
    Bind("CloseThemeData", e.closeThemeData);
    Bind("GetThemeInt", e.getThemeInt);
    Bind("DrawThemeBackground", e.drawThemeBackground);
    Bind("GetThemeBackgroundContentRect", e.getThemeBackgroundContentRect);
    Bind("GetThemeBackgroundRegion", e.getThemeBackgroundRegion);
    Bind("DrawThemeText", e.drawThemeText);
    Bind("DrawThemeParentBackground", e.drawThemeParentBackground);
    return e;
}

const Entries& Api() noexcept {
    static const Entries entries = LoadEntries();
    return entries;
}

}  // namespace

bool IsAppThemed() noexcept {
    return Api().isAppThemed && Api().isAppThemed();
}

bool IsThemeActive() noexcept {
    return Api().isThemeActive && Api().isThemeActive();
}

DWORD GetThemeAppProperties() noexcept {
    return Api().getThemeAppProperties ? Api().getThemeAppProperties() : 0;
}

HTHEME OpenThemeData(HWND hwnd, LPCWSTR classList) noexcept {
    return Api().openThemeData ? Api().openThemeData(hwnd, classList) : nullptr;
}

HRESULT CloseThemeData(HTHEME theme) noexcept {
    return Api().closeThemeData ? Api().closeThemeData(theme) : E_NOTIMPL;
}

HRESULT GetThemeInt(HTHEME theme, int part, int state, int prop, int* value) noexcept {
    return Api().getThemeInt ? Api().getThemeInt(theme, part, state, prop, value) : E_NOTIMPL;
}

HRESULT DrawThemeBackground(HTHEME theme, HDC hdc, int part, int state, const RECT* rect,
                            const RECT* clip) noexcept {
    return Api().drawThemeBackground
               ? Api().drawThemeBackground(theme, hdc, part, state, rect, clip)
               : E_NOTIMPL;
}

HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC hdc, int part, int state,
                                      const RECT* bounds, RECT* content) noexcept {
    return Api().getThemeBackgroundContentRect
               ? Api().getThemeBackgroundContentRect(theme, hdc, part, state, bounds, content)
               : E_NOTIMPL;
}

HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC hdc, int part, int state, const RECT* rect,
                                 HRGN* region) noexcept {
    return Api().getThemeBackgroundRegion
               ? Api().getThemeBackgroundRegion(theme, hdc, part, state, rect, region)
               : E_NOTIMPL;
}

HRESULT DrawThemeText(HTHEME theme, HDC hdc, int part, int state, LPCWSTR text, int length,
                      DWORD flags, DWORD flags2, const RECT* rect) noexcept {
    return Api().drawThemeText
               ? Api().drawThemeText(theme, hdc, part, state, text, length, flags, flags2, rect)
               : E_NOTIMPL;
}

HRESULT DrawThemeParentBackground(HWND hwnd, HDC hdc, const RECT* rect) noexcept {
    return Api().drawThemeParentBackground ? Api().drawThemeParentBackground(hwnd, hdc, rect)
                                           : E_NOTIMPL;
}

}  // namespace uxtheme

#include "UxTheme.h"

#include "SystemLibrary.h"

namespace uxtheme {
namespace {

FARPROC FindEntry(const char* name) noexcept {
    return win::SystemProcAddress(L"uxtheme.dll", name);
}

template <typename F>
struct Entry : win::BoundEntry<F> {
    explicit constexpr Entry(const char* name) noexcept : win::BoundEntry<F>(&FindEntry, name) {}
};

// Each entry is kept once found; the library then stays loaded for the life of the
// process.
struct Entries {
    Entry<BOOL(WINAPI*)()> isAppThemed{"IsAppThemed"};
    Entry<BOOL(WINAPI*)()> isThemeActive{"IsThemeActive"};
    Entry<DWORD(WINAPI*)()> getThemeAppProperties{"GetThemeAppProperties"};
    Entry<HTHEME(WINAPI*)(HWND, LPCWSTR)> openThemeData{"OpenThemeData"};
    Entry<HRESULT(WINAPI*)(HTHEME)> closeThemeData{"CloseThemeData"};
    Entry<HRESULT(WINAPI*)(HTHEME, int, int, int, int*)> getThemeInt{"GetThemeInt"};
    Entry<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*)> drawThemeBackground{
        "DrawThemeBackground"};
    Entry<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, RECT*)> getThemeBackgroundContentRect{
        "GetThemeBackgroundContentRect"};
    Entry<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, HRGN*)> getThemeBackgroundRegion{
        "GetThemeBackgroundRegion"};
    Entry<HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*)> drawThemeText{
        "DrawThemeText"};
    Entry<HRESULT(WINAPI*)(HWND, HDC, const RECT*)> drawThemeParentBackground{"DrawThemeParentBackground"};
};

Entries& Api() noexcept {
    static Entries entries;
    return entries;
}

}  // namespace

using win::CallOr;

bool IsAppThemed() noexcept {
    return CallOr(Api().isAppThemed, FALSE) != FALSE;
}

bool IsThemeActive() noexcept {
    return CallOr(Api().isThemeActive, FALSE) != FALSE;
}

DWORD GetThemeAppProperties() noexcept {
    return CallOr(Api().getThemeAppProperties, DWORD{0});
}

HTHEME OpenThemeData(HWND hwnd, LPCWSTR classList) noexcept {
    return CallOr(Api().openThemeData, HTHEME{}, hwnd, classList);
}

HRESULT CloseThemeData(HTHEME theme) noexcept {
    return CallOr(Api().closeThemeData, E_NOTIMPL, theme);
}

HRESULT GetThemeInt(HTHEME theme, int part, int state, int prop, int* value) noexcept {
    return CallOr(Api().getThemeInt, E_NOTIMPL, theme, part, state, prop, value);
}

HRESULT DrawThemeBackground(HTHEME theme, HDC hdc, int part, int state, const RECT* rect,
                            const RECT* clip) noexcept {
    return CallOr(Api().drawThemeBackground, E_NOTIMPL, theme, hdc, part, state, rect, clip);
}

HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC hdc, int part, int state,
                                      const RECT* bounds, RECT* content) noexcept {
    return CallOr(Api().getThemeBackgroundContentRect, E_NOTIMPL, theme, hdc, part, state, bounds, content);
}

HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC hdc, int part, int state, const RECT* rect,
                                 HRGN* region) noexcept {
    return CallOr(Api().getThemeBackgroundRegion, E_NOTIMPL, theme, hdc, part, state, rect, region);
}

HRESULT DrawThemeText(HTHEME theme, HDC hdc, int part, int state, LPCWSTR text, int length,
                      DWORD flags, DWORD flags2, const RECT* rect) noexcept {
    return CallOr(Api().drawThemeText, E_NOTIMPL, theme, hdc, part, state, text, length, flags, flags2, rect);
}

HRESULT DrawThemeParentBackground(HWND hwnd, HDC hdc, const RECT* rect) noexcept {
    return CallOr(Api().drawThemeParentBackground, E_NOTIMPL, hwnd, hdc, rect);
}

}  // namespace uxtheme

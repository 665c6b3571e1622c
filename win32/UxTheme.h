#pragma once
// The visual-style library, bound at run time: on a system without uxtheme.dll
// every call answers as an unthemed system would (no theme, E_NOTIMPL, 0), so the
// callers fall back to their classic drawing without a load-time failure.

#include "UniqueHandle.h"

#include <uxtheme.h>

namespace uxtheme {

bool IsAppThemed() noexcept;
bool IsThemeActive() noexcept;
DWORD GetThemeAppProperties() noexcept;

HTHEME OpenThemeData(HWND hwnd, LPCWSTR classList) noexcept;
HRESULT CloseThemeData(HTHEME theme) noexcept;
HRESULT GetThemeInt(HTHEME theme, int part, int state, int prop, int* value) noexcept;
HRESULT DrawThemeBackground(HTHEME theme, HDC hdc, int part, int state, const RECT* rect,
                            const RECT* clip) noexcept;
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC hdc, int part, int state,
                                      const RECT* bounds, RECT* content) noexcept;
HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC hdc, int part, int state, const RECT* rect,
                                 HRGN* region) noexcept;
HRESULT DrawThemeText(HTHEME theme, HDC hdc, int part, int state, LPCWSTR text, int length,
                      DWORD flags, DWORD flags2, const RECT* rect) noexcept;
HRESULT DrawThemeParentBackground(HWND hwnd, HDC hdc, const RECT* rect) noexcept;

namespace detail {
struct CloseThemeDataCloser {
    void operator()(HTHEME theme) const noexcept { uxtheme::CloseThemeData(theme); }
};
}  // namespace detail

using unique_htheme = win::unique_any<HTHEME, detail::CloseThemeDataCloser>;

}  // namespace uxtheme

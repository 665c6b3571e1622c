#pragma once
// The module's private procedures that its sources share and that the tests call.

#include "CommonControls.h"
#include "GraphicalButton.h"

#include <windows.h>

namespace mdXpThemeSupport {

// The one subclass the module installs on a window, frame or button.
inline constexpr UINT_PTR kSubclassId = 0;

using TraceFn = void (*)(const char* procedure, const char* description) noexcept;

// Whether visual styles are applied to this application's controls right now.
[[nodiscard]] bool pvIsThemed() noexcept;

// Traces a failure of the named procedure with the description of the thread's last
// error, through `trace` or else to the debugger. Nothing reaches the user.
void pvReportError(const char* procedure, TraceFn trace = nullptr) noexcept;

LRESULT CALLBACK pvRedirectFrame(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR uIdSubclass, DWORD_PTR dwRefData) noexcept;
// dwRefData is the GraphicalButton the window shows.
LRESULT CALLBACK pvRedirectButton(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR uIdSubclass, DWORD_PTR dwRefData) noexcept;

// Whether the module's subclass with this procedure is on the window, and its
// reference data.
[[nodiscard]] bool pvFindSubclass(HWND hWnd, SUBCLASSPROC procedure, DWORD_PTR* refData) noexcept;

// Takes the button subclass and its window properties off the window, if the
// subclass refers to that model.
void pvForgetButton(HWND hWnd, const GraphicalButton* button) noexcept;

// The window property "Hot": set while the pointer rests on the button.
[[nodiscard]] bool pvIsHot(HWND hWnd) noexcept;

// Paints the whole button with the theme's push-button look into the DC. Throws
// only what an allocation throws.
void pvDrawButton(HWND hWnd, HDC hDC, const GraphicalButton& button);

// A colour value as an RGB colour: system colours (bit 31 set) by their low byte.
[[nodiscard]] COLORREF pvTranslateSysColor(OLE_COLOR oColor) noexcept;

// A HIMETRIC length in pixels of the screen; 0 when it does not fit.
[[nodiscard]] int pvHiMetricToPixels(double himetric) noexcept;

}  // namespace mdXpThemeSupport

#pragma once
// The module's private procedures that its sources share and that the tests call,
// and the points where tests replace what the platform answers.

#include "CommonControls.h"
#include "GraphicalButton.h"

#include <windows.h>

namespace mdXpThemeSupport {

// Whether visual styles are applied to this application's controls right now.
[[nodiscard]] bool pvIsThemed() noexcept;

// Traces a failure of the named procedure with the description of the thread's last
// error. Nothing reaches the user.
void pvReportError(const char* procedure) noexcept;

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

// Paints the whole button with the theme's push-button look into the DC.
void pvDrawButton(HWND hWnd, HDC hDC, const GraphicalButton& button) noexcept;

// A colour value as an RGB colour: system colours (bit 31 set) by their low byte.
[[nodiscard]] COLORREF pvTranslateSysColor(OLE_COLOR oColor) noexcept;

// A HIMETRIC length in pixels of the screen; 0 when it does not fit.
[[nodiscard]] int pvHiMetricToPixels(double himetric) noexcept;

namespace seams {

using DllGetVersionProc = comctl32::DllGetVersionProc;

// What the module asks of the platform where a test must answer in its place:
// under Wine the version query says 5.81 even when version 6 is bound.
struct Platform {
    // DllGetVersion of the bound common-controls library, or nullptr (with the
    // thread's last error set) when it has none.
    DllGetVersionProc (*findDllGetVersion)() noexcept;
    // Loads a DLL of the system directory for good.
    HMODULE (*loadSystemLibrary)(const wchar_t* library) noexcept;
    BOOL (*initCommonControlsEx)(const INITCOMMONCONTROLSEX* init) noexcept;
    void (*trace)(const char* procedure, const char* description) noexcept;
};

[[nodiscard]] Platform SystemPlatform() noexcept;
// The platform in use; tests swap it and put SystemPlatform() back.
Platform& CurrentPlatform() noexcept;

// Lets InitThemeSupport act once more.
void ForgetStartup() noexcept;

}  // namespace seams
}  // namespace mdXpThemeSupport

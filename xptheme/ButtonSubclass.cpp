#include "mdXpThemeSupportInternal.h"

#include "BaseWindow.h"
#include "CommonControls.h"
#include "UxTheme.h"

#include <vssym32.h>

namespace mdXpThemeSupport {
namespace {

constexpr const char* kHot = "Hot";
constexpr const char* kPainted = "Painted";
// Hovering for this long makes the button hot: at once, in practice.
constexpr DWORD kHoverTimeMs = 1;

bool ReadFlag(HWND hWnd, const char* name) noexcept {
    return ::GetPropA(hWnd, name) != nullptr;
}

void WriteFlag(HWND hWnd, const char* name, bool bState) noexcept {
    ::SetPropA(hWnd, name, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(bState ? 1 : 0)));
}

bool pvIsPainted(HWND hWnd) noexcept { return ReadFlag(hWnd, kPainted); }
void pvSetHot(HWND hWnd, bool bState) noexcept { WriteFlag(hWnd, kHot, bState); }
void pvSetPainted(HWND hWnd, bool bState) noexcept { WriteFlag(hWnd, kPainted, bState); }
bool pvIsVisible(HWND hWnd) noexcept { return ::IsWindowVisible(hWnd) != FALSE; }

void RemoveButtonSupport(HWND hWnd) noexcept {
    comctl32::RemoveWindowSubclass(hWnd, &pvRedirectButton, kSubclassId);
    ::RemovePropA(hWnd, kHot);
    ::RemovePropA(hWnd, kPainted);
}

// Marks only the area the themed push-button shape covers, without erasing: the
// corners outside it show the parent, which a repaint of the whole rectangle would
// make flicker. Without theme data or a region the whole client area is marked.
void pvInvalidateButton(HWND hWnd) noexcept {
    RECT client{};
    ::GetClientRect(hWnd, &client);
    ::ValidateRect(hWnd, nullptr);
    win::unique_hrgn shape;
    {
        const uxtheme::unique_htheme theme(uxtheme::OpenThemeData(hWnd, L"BUTTON"));
        if (theme) {
            uxtheme::GetThemeBackgroundRegion(theme.get(), nullptr, BP_PUSHBUTTON, PBS_NORMAL,
                                              &client, shape.put());
        }
    }
    ::InvalidateRgn(hWnd, shape.get(), FALSE);
}

void RequestMouseTracking(HWND hWnd) noexcept {
    TRACKMOUSEEVENT request{};
    request.cbSize = sizeof request;
    request.dwFlags = TME_HOVER | TME_LEAVE;
    request.hwndTrack = hWnd;
    request.dwHoverTime = kHoverTimeMs;
    ::TrackMouseEvent(&request);
}

void PaintThemed(HWND hWnd, const GraphicalButton& button) {
    pvSetPainted(hWnd, true);
    const win::paint_guard paint(hWnd);
    pvDrawButton(hWnd, paint.hdc(), button);
}

// While the button's own handling of a focus gain or an enable change runs, its
// drawing is switched off: what it would draw in the classic look must not reach
// the screen. Returns whether drawing was switched off.
bool SuspendRedraw(HWND hWnd) noexcept {
    if (!pvIsThemed() || !pvIsVisible(hWnd)) return false;
    ::SendMessageA(hWnd, WM_SETREDRAW, FALSE, 0);
    return true;
}

void ChangeHot(HWND hWnd, bool bState) noexcept {
    if (!pvIsThemed()) return;
    pvSetHot(hWnd, bState);
    pvInvalidateButton(hWnd);
}

void AfterOwnHandling(HWND hWnd, UINT uMsg, bool redrawSuspended) noexcept {
    switch (uMsg) {
    case WM_LBUTTONDOWN:
    case WM_MOUSEHOVER:
        ChangeHot(hWnd, true);
        break;
    case WM_MOUSELEAVE:
    case WM_KILLFOCUS:
        ChangeHot(hWnd, false);
        break;
    case WM_MOUSEMOVE:
        if (pvIsThemed()) {
            if (!pvIsHot(hWnd)) RequestMouseTracking(hWnd);
            if (!pvIsPainted(hWnd)) pvInvalidateButton(hWnd);
        }
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (pvIsThemed()) pvInvalidateButton(hWnd);
        break;
    // Drawing switched off is always switched back on, even if the theme went away
    // meanwhile: WM_SETREDRAW FALSE also hides the window.
    case WM_SETFOCUS:
        if (redrawSuspended) {
            ::SendMessageA(hWnd, WM_SETREDRAW, TRUE, 0);
            pvInvalidateButton(hWnd);
        }
        break;
    case WM_ENABLE:
        if (redrawSuspended) {
            ::SendMessageA(hWnd, WM_SETREDRAW, TRUE, 0);
            ::InvalidateRect(hWnd, nullptr, FALSE);
        }
        break;
    default:
        break;
    }
}

LRESULT RedirectButton(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, const GraphicalButton* button) {
    bool redrawSuspended = false;
    switch (uMsg) {
    case WM_PAINT:
        if (button && pvIsThemed() && pvIsVisible(hWnd)) {
            PaintThemed(hWnd, *button);
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_ENABLE:
        redrawSuspended = SuspendRedraw(hWnd);
        break;
    case WM_NCDESTROY:
        // After this no message can reach the model, which may go before the window.
        RemoveButtonSupport(hWnd);
        break;
    default:
        break;
    }
    const LRESULT result = comctl32::DefSubclassProc(hWnd, uMsg, wParam, lParam);
    AfterOwnHandling(hWnd, uMsg, redrawSuspended);
    return result;
}

}  // namespace

LRESULT CALLBACK pvRedirectFrame(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR uIdSubclass, DWORD_PTR) noexcept {
    // Nothing here can throw: no guard needed.
    switch (uMsg) {
    case WM_MOUSELEAVE:
    case WM_PRINTCLIENT:
        return ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
    case WM_NCDESTROY:
        comctl32::RemoveWindowSubclass(hWnd, &pvRedirectFrame, uIdSubclass);
        break;
    default:
        break;
    }
    return comctl32::DefSubclassProc(hWnd, uMsg, wParam, lParam);
}

LRESULT CALLBACK pvRedirectButton(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR, DWORD_PTR dwRefData) noexcept {
    const auto* button = reinterpret_cast<const GraphicalButton*>(dwRefData);
    return win::HandleOrDefault(
        [&] { return RedirectButton(hWnd, uMsg, wParam, lParam, button); },
        [&] {
            pvReportError("pvRedirectButton");
            return comctl32::DefSubclassProc(hWnd, uMsg, wParam, lParam);
        });
}

bool pvFindSubclass(HWND hWnd, SUBCLASSPROC procedure, DWORD_PTR* refData) noexcept {
    return comctl32::GetWindowSubclass(hWnd, procedure, kSubclassId, refData) != FALSE;
}

void pvForgetButton(HWND hWnd, const GraphicalButton* button) noexcept {
    DWORD_PTR installedFor = 0;
    if (!pvFindSubclass(hWnd, &pvRedirectButton, &installedFor) ||
        installedFor != reinterpret_cast<DWORD_PTR>(button)) {
        return;
    }
    RemoveButtonSupport(hWnd);
}

bool pvIsHot(HWND hWnd) noexcept { return ReadFlag(hWnd, kHot); }

}  // namespace mdXpThemeSupport

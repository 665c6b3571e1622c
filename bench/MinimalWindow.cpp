// The references for the start-up figure: a window of the program's size and style
// that paints nothing but its background, and a message loop. Built a second time
// with BENCH_THEMED_BUTTON and an application manifest that depends on version 6 of
// the common controls (themed-window.manifest): that window also holds one push
// button where the program has "Repair Now", so the button comes from version 6 and
// gets the visual style. That is the least any themed program of this look does
// before its first paint.

#include "Units.h"

#include <windows.h>

namespace {

// The program's client area, 6540 x 3540 twips, at the screen's resolution.
constexpr int kClientWidthTwips = 6540;
constexpr int kClientHeightTwips = 3540;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
#ifdef BENCH_THEMED_BUTTON
// The program's "Repair Now" button, in twips.
constexpr RECT kButtonTwips = {4320, 330, 4320 + 2145, 330 + 495};
#endif

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"QuenfixBenchMinimalWindow";
    if (!::RegisterClassExW(&wc)) return 1;

    const win::Dpi dpi = win::ScreenDpi();
    RECT frame{0, 0, win::TwipsToPixels(kClientWidthTwips, dpi.x),
               win::TwipsToPixels(kClientHeightTwips, dpi.y)};
    ::AdjustWindowRectEx(&frame, kStyle, FALSE, WS_EX_CONTROLPARENT);
    const HWND window = ::CreateWindowExW(WS_EX_CONTROLPARENT, wc.lpszClassName, L"Minimal window",
                                          kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                          frame.right - frame.left, frame.bottom - frame.top,
                                          nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
#ifdef BENCH_THEMED_BUTTON
    // The manifest redirects the class name to version 6's button, which loads the
    // library with it.
    const auto px = [](int twips, int dpi) { return win::TwipsToPixels(twips, dpi); };
    if (!::CreateWindowExW(0, L"BUTTON", L"Repair Now", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                           px(kButtonTwips.left, dpi.x), px(kButtonTwips.top, dpi.y),
                           px(kButtonTwips.right - kButtonTwips.left, dpi.x),
                           px(kButtonTwips.bottom - kButtonTwips.top, dpi.y), window, nullptr, instance,
                           nullptr)) {
        return 1;
    }
#endif
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

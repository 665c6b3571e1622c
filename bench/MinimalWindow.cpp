// The reference for the start-up figure: a window of the program's size and style
// that paints nothing but its background, and a message loop. Built a second time
// with BENCH_LOAD_COMCTL32, importing and initialising the common controls as the
// program does, to show what that library alone costs.

#include "Units.h"

#include <windows.h>

#ifdef BENCH_LOAD_COMCTL32
#include <commctrl.h>
#endif

namespace {

// The program's client area, 6540 x 3540 twips, at the screen's resolution.
constexpr int kClientWidthTwips = 6540;
constexpr int kClientHeightTwips = 3540;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifdef BENCH_LOAD_COMCTL32
    ::InitCommonControls();
#endif
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
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

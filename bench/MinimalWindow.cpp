// The references for the start-up figure: a window of the program's size and style,
// its content (ReferenceWindow.h) and a message loop. Built without the stack
// protector: they are floors, not products.

#include "FrmQuenfixDefinition.h"
#include "ReferenceWindow.h"

namespace {

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace FrmQuenfixDefinition;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = instance;
    wc.hIcon = ReferenceWindow::Icon(instance);
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"QuenfixBenchMinimalWindow";
    if (!::RegisterClassExW(&wc)) return 1;

    const win::Dpi dpi = win::ScreenDpi();
    RECT frame{0, 0, win::TwipsToPixels(kClientWidthTwips, dpi.x), win::TwipsToPixels(kClientHeightTwips, dpi.y)};
    ::AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    const HWND window = ::CreateWindowExW(kExStyle, wc.lpszClassName, ReferenceWindow::Title(), kStyle,
                                          CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                          frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (!window || !ReferenceWindow::CreateContent(window, instance, dpi)) return 1;
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

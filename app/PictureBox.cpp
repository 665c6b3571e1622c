#include "PictureBox.h"

#include "UniqueHandle.h"

bool PictureBox::Create(HWND parent, int id, const RECT& bounds) noexcept {
    return CreateHwnd(0, L"", WS_CHILD | WS_VISIBLE, bounds.left, bounds.top,
                      bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

HDC PictureBox::hDC() const noexcept {
    // With CS_OWNDC this is the window's one DC; it needs no release.
    return Hwnd() ? ::GetDC(Hwnd()) : nullptr;
}

LRESULT PictureBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        // The owner's painting covers the whole client area; erasing first would flicker.
        return m_onPaint ? 1 : ::DefWindowProcW(Hwnd(), msg, wp, lp);
    case WM_PAINT: {
        const win::paint_guard paint(Hwnd());
        if (m_onPaint) m_onPaint(paint.hdc());
        return 0;
    }
    case WM_PRINTCLIENT:
        if (!m_onPaint) break;
        m_onPaint(reinterpret_cast<HDC>(wp));
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(Hwnd(), msg, wp, lp);
}

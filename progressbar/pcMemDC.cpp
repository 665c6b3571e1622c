#include "pcMemDC.h"

namespace {

// A DC for the whole screen, whose format the surface takes. The screen's own DC
// rather than a new display DC (CreateDC "DISPLAY"), which costs Wine about a
// millisecond more, paid in the strip's first paint.
win::unique_window_dc ScreenDC() noexcept {
    return win::GetDC(nullptr);
}

}  // namespace

pcMemDC::~pcMemDC() {
    pvDestroy();
}

void pcMemDC::Width(int lValue) noexcept {
    if (lValue == m_width) return;
    m_width = lValue;
    (void)hDC(m_width, m_height);
}

void pcMemDC::Height(int lValue) noexcept {
    if (lValue == m_height) return;
    m_height = lValue;
    (void)hDC(m_width, m_height);
}

HDC pcMemDC::hDC(int lWidth, int lHeight) noexcept {
    if (!m_dc) {
        if (lWidth > 0 && lHeight > 0) pvCreate(lWidth, lHeight);
    } else if (lWidth > m_width || lHeight > m_height) {
        pvCreate(lWidth, lHeight);
    }
    return m_dc.get();
}

void pcMemDC::Draw(HDC hDC, int xSrc, int ySrc, int WidthSrc, int HeightSrc, int xDst,
                   int yDst) const noexcept {
    const int width = WidthSrc > 0 ? WidthSrc : m_width;
    const int height = HeightSrc > 0 ? HeightSrc : m_height;
    ::BitBlt(hDC, xDst, yDst, width, height, m_dc.get(), xSrc, ySrc, SRCCOPY);
}

HRESULT pcMemDC::CreateFromPicture(const win::StdPicture& sPic) noexcept {
    const auto bitmap = static_cast<HBITMAP>(sPic.Handle());
    BITMAP header{};
    if (sPic.PictureType() != win::StdPicture::Type::Bitmap ||
        ::GetObjectA(bitmap, sizeof header, &header) != sizeof header) {
        return E_INVALIDARG;
    }
    Width(header.bmWidth);
    Height(header.bmHeight);
    if (!m_dc) return E_FAIL;

    const win::unique_window_dc display = ScreenDC();
    const win::unique_hdc source(::CreateCompatibleDC(display.get()));
    const auto selected = win::SelectObject(source.get(), bitmap);
    if (!selected) return E_FAIL;
    return ::BitBlt(m_dc.get(), 0, 0, header.bmWidth, header.bmHeight, source.get(), 0, 0, SRCCOPY)
               ? S_OK
               : E_FAIL;
}

bool pcMemDC::pvCreate(int lWidth, int lHeight) noexcept {
    pvDestroy();
    const win::unique_window_dc display = ScreenDC();
    if (!display) return false;
    win::unique_hdc memory(::CreateCompatibleDC(display.get()));
    if (!memory) return false;
    // Compatible with the display, not with the memory DC, whose default bitmap is
    // monochrome.
    win::unique_hbitmap bitmap(::CreateCompatibleBitmap(display.get(), lWidth, lHeight));
    if (!bitmap) return false;
    auto selection = win::SelectObject(memory.get(), bitmap.get());
    if (!selection) return false;
    m_dc = std::move(memory);
    m_bitmap = std::move(bitmap);
    m_selection = std::move(selection);
    m_width = lWidth;
    m_height = lHeight;
    return true;
}

void pcMemDC::pvDestroy() noexcept {
    m_selection.reset();
    m_bitmap.reset();
    m_dc.reset();
    m_width = 0;
    m_height = 0;
}

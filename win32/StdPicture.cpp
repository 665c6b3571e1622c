#include "StdPicture.h"

#include <cstdlib>

namespace win {
namespace {

constexpr LONG kHimetricPerInch = 2540;
constexpr LONG kPixelsPerInch = 96;

}  // namespace

StdPicture::StdPicture(unique_hbitmap bitmap) noexcept : m_bitmap(std::move(bitmap)) {
    BITMAP header{};
    if (m_bitmap && ::GetObjectA(m_bitmap.get(), sizeof header, &header) == sizeof header) {
        m_type = Type::Bitmap;
        SetPixelSize(header.bmWidth, header.bmHeight);
    }
}

void StdPicture::SetPixelSize(LONG width, LONG height) noexcept {
    m_pixelWidth = width;
    m_pixelHeight = height;
    m_himetricWidth = ::MulDiv(width, kHimetricPerInch, kPixelsPerInch);
    m_himetricHeight = ::MulDiv(height, kHimetricPerInch, kPixelsPerInch);
}

HANDLE StdPicture::Handle() const noexcept {
    return m_type == Type::Bitmap ? m_bitmap.get() : nullptr;
}

HRESULT StdPicture::Render(HDC hdc, LONG x, LONG y, LONG cx, LONG cy, LONG xSrc, LONG ySrc,
                           LONG cxSrc, LONG cySrc) const noexcept {
    if (!hdc) return E_INVALIDARG;
    if (m_type != Type::Bitmap) return E_UNEXPECTED;
    return RenderBitmap(hdc, x, y, cx, cy, xSrc, ySrc, cxSrc, cySrc);
}

HRESULT StdPicture::RenderBitmap(HDC hdc, LONG x, LONG y, LONG cx, LONG cy, LONG xSrc, LONG ySrc,
                                 LONG cxSrc, LONG cySrc) const noexcept {
    if (m_himetricWidth == 0 || m_himetricHeight == 0) return E_UNEXPECTED;
    // HIMETRIC runs upward from the bottom edge; bitmap rows run downward from the top.
    const auto column = [&](LONG himetric) { return ::MulDiv(himetric, m_pixelWidth, m_himetricWidth); };
    const auto row = [&](LONG himetric) {
        return m_pixelHeight - ::MulDiv(himetric, m_pixelHeight, m_himetricHeight);
    };
    LONG srcLeft = column(xSrc);
    LONG srcWidth = column(xSrc + cxSrc) - srcLeft;
    LONG srcTop = row(ySrc);
    LONG srcHeight = row(ySrc + cySrc) - srcTop;
    // Bring both rectangles to positive extents; only a difference in direction
    // between them is a real mirror image, which StretchBlt makes from one negative extent.
    const bool mirrorX = (cx < 0) != (srcWidth < 0);
    const bool mirrorY = (cy < 0) != (srcHeight < 0);
    if (cx < 0) { x += cx; cx = -cx; }
    if (cy < 0) { y += cy; cy = -cy; }
    if (srcWidth < 0) { srcLeft += srcWidth; srcWidth = -srcWidth; }
    if (srcHeight < 0) { srcTop += srcHeight; srcHeight = -srcHeight; }
    if (mirrorX) { x += cx - 1; cx = -cx; }
    if (mirrorY) { y += cy - 1; cy = -cy; }

    unique_hdc source(::CreateCompatibleDC(hdc));
    if (!source) return E_FAIL;
    auto selected = win::SelectObject(source.get(), m_bitmap.get());
    if (!selected) return E_FAIL;
    const int oldMode = ::SetStretchBltMode(hdc, COLORONCOLOR);
    const BOOL ok = ::StretchBlt(hdc, x, y, cx, cy, source.get(), srcLeft, srcTop, srcWidth,
                                 srcHeight, SRCCOPY);
    ::SetStretchBltMode(hdc, oldMode);
    return ok ? S_OK : E_FAIL;
}

}  // namespace win

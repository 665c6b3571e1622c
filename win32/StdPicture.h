#pragma once
// A picture object in the shape of the platform's standard OLE picture: it owns a
// bitmap or an icon, reports its type and its size in HIMETRIC units (hundredths of
// a millimetre, 2540 to the inch), and renders a part of itself into a DC.

#include "UniqueHandle.h"

namespace win {

class StdPicture {
public:
    enum class Type : short { None = 0, Bitmap = 1, Metafile = 2, Icon = 3, EnhMetafile = 4 };

    StdPicture() noexcept = default;
    explicit StdPicture(unique_hbitmap bitmap) noexcept;
    explicit StdPicture(unique_hicon icon) noexcept;

    // The bitmap or icon handle; 0 for an empty picture.
    [[nodiscard]] HANDLE Handle() const noexcept;
    [[nodiscard]] Type PictureType() const noexcept { return m_type; }
    // Size in HIMETRIC, from the image's pixel size at 96 pixels per inch.
    [[nodiscard]] LONG Width() const noexcept { return m_himetricWidth; }
    [[nodiscard]] LONG Height() const noexcept { return m_himetricHeight; }

    // Draws the source rectangle (HIMETRIC, y counted upward from the bottom edge of
    // the picture) into the destination rectangle (pixels). A negative destination
    // height turns the y axis over, so Render(dc, x, y + h, w, -h, 0, 0, Width(),
    // Height()) draws the whole picture upright at (x, y, w, h). Fails with
    // E_INVALIDARG, drawing nothing, when a rectangle's end leaves the 32-bit range.
    // An icon is drawn whole into the destination, whatever the source rectangle.
    HRESULT Render(HDC hdc, LONG x, LONG y, LONG cx, LONG cy, LONG xSrc, LONG ySrc, LONG cxSrc,
                   LONG cySrc) const noexcept;

private:
    HRESULT RenderBitmap(HDC hdc, LONG x, LONG y, LONG cx, LONG cy, LONG xSrc, LONG ySrc, LONG cxSrc,
                         LONG cySrc) const noexcept;
    HRESULT RenderIcon(HDC hdc, LONG x, LONG y, LONG cx, LONG cy) const noexcept;
    void SetPixelSize(LONG width, LONG height) noexcept;

    Type m_type = Type::None;
    unique_hbitmap m_bitmap;
    unique_hicon m_icon;
    LONG m_pixelWidth = 0;
    LONG m_pixelHeight = 0;
    LONG m_himetricWidth = 0;
    LONG m_himetricHeight = 0;
};

}  // namespace win

#pragma once
// An off-screen drawing surface: a memory DC compatible with the display with a
// bitmap of a given size selected into it. It grows when a larger surface is asked
// for and never shrinks, so a caller that paints at a constant size allocates once.
// The object owns its DC and bitmap for its whole life and deselects the bitmap
// before either is deleted.

#include "StdPicture.h"
#include "UniqueHandle.h"

class pcMemDC {
public:
    pcMemDC() noexcept = default;
    pcMemDC(const pcMemDC&) = delete;
    pcMemDC& operator=(const pcMemDC&) = delete;
    ~pcMemDC();

    // The stored size. Setting a new value creates the surface once both sizes are
    // positive and none exists; an existing surface keeps its bitmap and only the
    // stored size changes.
    [[nodiscard]] int Width() const noexcept { return m_width; }
    void Width(int lValue) noexcept;
    [[nodiscard]] int Height() const noexcept { return m_height; }
    void Height(int lValue) noexcept;

    // The memory DC, made first when there is none and both sizes are positive, or
    // made again at exactly the asked size when a dimension exceeds the stored one
    // (the old contents are lost). Null when there is no surface.
    [[nodiscard]] HDC hDC(int lWidth, int lHeight) noexcept;

    // Copies a block of the surface to (xDst, yDst) of another DC. A width or height
    // of 0 or less stands for the stored one. Nothing happens without a surface.
    void Draw(HDC hDC, int xSrc, int ySrc, int WidthSrc, int HeightSrc, int xDst,
              int yDst) const noexcept;

    // Makes the surface a copy of the picture's bitmap, at the bitmap's size. Fails
    // with E_INVALIDARG when the picture holds no bitmap, and with E_FAIL when the
    // surface could not be made or filled.
    HRESULT CreateFromPicture(const win::StdPicture& sPic) noexcept;

private:
    bool pvCreate(int lWidth, int lHeight) noexcept;
    void pvDestroy() noexcept;

    // Declared so that destruction deselects the bitmap, then deletes it, then the DC.
    win::unique_hdc m_dc;
    win::unique_hbitmap m_bitmap;
    win::unique_select m_selection;
    int m_width = 0;
    int m_height = 0;
};

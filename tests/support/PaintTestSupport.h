#pragma once
// What the drawing tests paint into and read back.

#include "DrawHost.h"
#include "StdPicture.h"
#include "UniqueHandle.h"

#include <cstddef>
#include <functional>
#include <string>

namespace paint_test {

// A 32bpp DIB section selected into a memory DC, filled with one colour.
class DibSurface {
public:
    DibSurface(int width, int height, COLORREF fill = RGB(0x12, 0x34, 0x56));
    [[nodiscard]] HDC dc() const noexcept { return m_dc.get(); }
    [[nodiscard]] COLORREF Pixel(int x, int y) const noexcept { return ::GetPixel(m_dc.get(), x, y); }
    [[nodiscard]] bool SameAs(const DibSurface& other) const;

private:
    int m_width;
    int m_height;
    win::unique_hdc m_dc;
    win::unique_hbitmap m_bitmap;
    win::unique_select m_selection;
};

// The window's client area as it shows on the screen: copied from its own DC.
[[nodiscard]] DibSurface Shown(HWND window);

// A borderless popup window over a surface of its size: its client rectangle and
// theme are the bar's, and it counts the paints (one DC request each).
class SurfaceHost final : public DrawHost {
public:
    SurfaceHost(int width, int height);
    SurfaceHost(const SurfaceHost&) = delete;
    SurfaceHost& operator=(const SurfaceHost&) = delete;
    ~SurfaceHost() { ::DestroyWindow(m_hwnd); }
    [[nodiscard]] HWND hWnd() const noexcept override { return m_hwnd; }
    [[nodiscard]] HDC hDC() const noexcept override {
        ++m_paints;
        return m_surface.dc();
    }
    [[nodiscard]] const DibSurface& Surface() const noexcept { return m_surface; }
    [[nodiscard]] int Paints() const noexcept { return m_paints; }

private:
    DibSurface m_surface;
    HWND m_hwnd;
    mutable int m_paints = 0;
};

// Gives a DC a clip region, a background mode and a text colour of a caller's own,
// and tells which of them a painter left changed.
class CallersDcState {
public:
    CallersDcState(HDC dc, const RECT& clip);
    // The names of what differs now ("clip", "background mode", "text colour"),
    // empty when the DC is as it was.
    [[nodiscard]] std::string Changes() const;

private:
    HDC m_dc;
    RECT m_clip;
};

// A 2 x 1 bitmap picture.
win::StdPicture TwoColumnPicture(COLORREF left, COLORREF right);

// GetGuiResources where the system implements it. Wine 8 answers 0 with
// ERROR_CALL_NOT_IMPLEMENTED; there every slot of the GDI handle table is probed
// with GetObjectType, since Wine takes a handle whose high word (the slot's reuse
// count) is 0 for whatever object holds the slot.
std::size_t LiveGdiObjects();

// The GDI objects the action leaves behind, counted around its second run, so that
// what its first run made to keep (a font, a theme's cached parts) is not counted.
// Negative when the second run freed more than it made.
long long GdiObjectsLeftBehind(const std::function<void()>& action);

}  // namespace paint_test

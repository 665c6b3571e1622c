#include "PaintTestSupport.h"

namespace paint_test {
namespace {

constexpr int kCallersBkMode = OPAQUE;
constexpr COLORREF kCallersTextColour = RGB(1, 2, 3);

}  // namespace

DibSurface::DibSurface(int width, int height, COLORREF fill)
    : m_width(width), m_height(height), m_dc(::CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    m_bitmap.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_selection = win::SelectObject(m_dc.get(), m_bitmap.get());
    const win::unique_hbrush brush(::CreateSolidBrush(fill));
    const RECT all{0, 0, width, height};
    ::FillRect(m_dc.get(), &all, brush.get());
}

bool DibSurface::SameAs(const DibSurface& other) const {
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            if (Pixel(x, y) != other.Pixel(x, y)) return false;
        }
    }
    return true;
}

DibSurface Shown(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    DibSurface surface(client.right, client.bottom);
    const auto shown = win::GetDC(window);
    ::BitBlt(surface.dc(), 0, 0, client.right, client.bottom, shown.get(), 0, 0, SRCCOPY);
    return surface;
}

SurfaceHost::SurfaceHost(int width, int height)
    : m_surface(width, height),
      m_hwnd(::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, width, height,
                               nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr)) {}

CallersDcState::CallersDcState(HDC dc, const RECT& clip) : m_dc(dc), m_clip(clip) {
    const win::unique_hrgn region(::CreateRectRgnIndirect(&clip));
    ::SelectClipRgn(dc, region.get());
    ::SetBkMode(dc, kCallersBkMode);
    ::SetTextColor(dc, kCallersTextColour);
}

std::string CallersDcState::Changes() const {
    std::string changes;
    const win::unique_hrgn expected(::CreateRectRgnIndirect(&m_clip));
    const win::unique_hrgn clip(::CreateRectRgn(0, 0, 0, 0));
    if (::GetClipRgn(m_dc, clip.get()) != 1 || !::EqualRgn(clip.get(), expected.get())) {
        changes += "clip ";
    }
    if (::GetBkMode(m_dc) != kCallersBkMode) changes += "background mode ";
    if (::GetTextColor(m_dc) != kCallersTextColour) changes += "text colour ";
    return changes;
}

win::StdPicture TwoColumnPicture(COLORREF left, COLORREF right) {
    const DibSurface format(1, 1);
    win::unique_hbitmap bitmap(::CreateCompatibleBitmap(format.dc(), 2, 1));
    const win::unique_hdc dc(::CreateCompatibleDC(nullptr));
    {
        const auto selected = win::SelectObject(dc.get(), bitmap.get());
        ::SetPixel(dc.get(), 0, 0, left);
        ::SetPixel(dc.get(), 1, 0, right);
    }
    return win::StdPicture(std::move(bitmap));
}

std::size_t LiveGdiObjects() {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0 || ::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return reported;
    std::size_t live = 0;
    for (ULONG_PTR slot = 1; slot <= 0xFFFF; ++slot) {
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++live;
    }
    return live;
}

long long GdiObjectsLeftBehind(const std::function<void()>& action) {
    action();
    const std::size_t before = LiveGdiObjects();
    action();
    return static_cast<long long>(LiveGdiObjects()) - static_cast<long long>(before);
}

}  // namespace paint_test

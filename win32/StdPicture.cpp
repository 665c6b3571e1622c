#include "StdPicture.h"

#include "Int32Math.h"
#include "Units.h"

#include <cstdint>
#include <optional>
#include <utility>

namespace win {
namespace {

// One axis of a block transfer: where it starts and how far it runs, backwards when
// the length is negative.
struct Run {
    LONG start = 0;
    LONG length = 0;
};

// The same pixels, run forwards; nothing when an end leaves the 32-bit range.
std::optional<Run> Forwards(const Run& run) noexcept {
    if (run.length >= 0) return run;
    const auto start = TrySum(run.start, run.length);
    const auto length = TryInt32(-int64_t{run.length});
    if (!start || !length) return std::nullopt;
    return Run{*start, *length};
}

// The destination and the source run of one axis, forwards. Only a difference in
// direction between them is a real mirror image, which StretchBlt makes from a
// negative destination extent counted from the last pixel.
std::optional<std::pair<Run, Run>> Aligned(const Run& dst, const Run& src) noexcept {
    auto forwardDst = Forwards(dst);
    const auto forwardSrc = Forwards(src);
    if (!forwardDst || !forwardSrc) return std::nullopt;
    if ((dst.length < 0) != (src.length < 0)) {
        const auto last = TrySum(forwardDst->start, int64_t{forwardDst->length} - 1);
        if (!last) return std::nullopt;
        forwardDst = Run{*last, -forwardDst->length};
    }
    return std::pair{*forwardDst, *forwardSrc};
}

}  // namespace

StdPicture::StdPicture(unique_hbitmap bitmap) noexcept : m_bitmap(std::move(bitmap)) {
    BITMAP header{};
    if (m_bitmap && ::GetObjectA(m_bitmap.get(), sizeof header, &header) == sizeof header) {
        m_type = Type::Bitmap;
        SetPixelSize(header.bmWidth, header.bmHeight);
    }
}

StdPicture::StdPicture(unique_hicon icon) noexcept : m_icon(std::move(icon)) {
    ICONINFO info{};
    if (m_icon && ::GetIconInfo(m_icon.get(), &info)) {
        // GetIconInfo hands out copies of the icon's bitmaps; they are ours to delete.
        const unique_hbitmap mask(info.hbmMask);
        const unique_hbitmap color(info.hbmColor);
        BITMAP header{};
        ::GetObjectA(mask.get(), sizeof header, &header);
        // A monochrome icon stacks its AND and XOR masks in one bitmap of twice the height.
        const LONG height = color ? header.bmHeight : header.bmHeight / 2;
        m_type = Type::Icon;
        SetPixelSize(header.bmWidth, height);
    }
}

void StdPicture::SetPixelSize(LONG width, LONG height) noexcept {
    m_pixelWidth = width;
    m_pixelHeight = height;
    m_himetricWidth = ::MulDiv(width, kHimetricPerInch, kStandardDpi);
    m_himetricHeight = ::MulDiv(height, kHimetricPerInch, kStandardDpi);
}

HANDLE StdPicture::Handle() const noexcept {
    switch (m_type) {
    case Type::Bitmap: return m_bitmap.get();
    case Type::Icon: return m_icon.get();
    default: return nullptr;
    }
}

HRESULT StdPicture::Render(HDC hdc, LONG x, LONG y, LONG cx, LONG cy, LONG xSrc, LONG ySrc,
                           LONG cxSrc, LONG cySrc) const noexcept {
    if (!hdc) return E_INVALIDARG;
    if (m_himetricWidth == 0 || m_himetricHeight == 0) return E_UNEXPECTED;
    switch (m_type) {
    case Type::Bitmap: return RenderBitmap(hdc, x, y, cx, cy, xSrc, ySrc, cxSrc, cySrc);
    case Type::Icon: return RenderIcon(hdc, x, y, cx, cy);
    default: return E_UNEXPECTED;
    }
}

HRESULT StdPicture::RenderIcon(HDC hdc, LONG x, LONG y, LONG cx, LONG cy) const noexcept {
    const auto across = Forwards({x, cx});
    const auto down = Forwards({y, cy});
    if (!across || !down) return E_INVALIDARG;
    return ::DrawIconEx(hdc, across->start, down->start, m_icon.get(), across->length, down->length, 0, nullptr,
                        DI_NORMAL)
               ? S_OK
               : E_FAIL;
}

HRESULT StdPicture::RenderBitmap(HDC hdc, LONG x, LONG y, LONG cx, LONG cy, LONG xSrc, LONG ySrc,
                                 LONG cxSrc, LONG cySrc) const noexcept {
    const auto srcRight = TrySum(xSrc, cxSrc);
    const auto srcBottom = TrySum(ySrc, cySrc);
    if (!srcRight || !srcBottom) return E_INVALIDARG;
    // HIMETRIC runs upward from the bottom edge; bitmap rows run downward from the top.
    // A picture has fewer pixels than HIMETRIC units: these conversions, and the
    // differences of two of them, stay well inside 32 bits.
    const auto column = [&](LONG himetric) { return ::MulDiv(himetric, m_pixelWidth, m_himetricWidth); };
    const auto row = [&](LONG himetric) {
        return m_pixelHeight - ::MulDiv(himetric, m_pixelHeight, m_himetricHeight);
    };
    const auto across = Aligned({x, cx}, {column(xSrc), column(*srcRight) - column(xSrc)});
    const auto down = Aligned({y, cy}, {row(ySrc), row(*srcBottom) - row(ySrc)});
    if (!across || !down) return E_INVALIDARG;
    const auto& [dstX, srcX] = *across;
    const auto& [dstY, srcY] = *down;

    unique_hdc source(::CreateCompatibleDC(hdc));
    if (!source) return E_FAIL;
    auto selected = win::SelectObject(source.get(), m_bitmap.get());
    if (!selected) return E_FAIL;
    const int oldMode = ::SetStretchBltMode(hdc, COLORONCOLOR);
    const BOOL ok = ::StretchBlt(hdc, dstX.start, dstY.start, dstX.length, dstY.length,
                                 source.get(), srcX.start, srcY.start, srcX.length, srcY.length,
                                 SRCCOPY);
    ::SetStretchBltMode(hdc, oldMode);
    return ok ? S_OK : E_FAIL;
}

}  // namespace win

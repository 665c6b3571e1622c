#include "ProgressGeometry.h"

#include "Int32Math.h"
#include "ProgressBarStyles.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace progress_geometry {
namespace {

constexpr int64_t kLongMin = std::numeric_limits<LONG>::min();
constexpr int64_t kLongMax = std::numeric_limits<LONG>::max();

constexpr bool FitsLong(int64_t value) noexcept {
    return value >= kLongMin && value <= kLongMax;
}

// For drawing coordinates only: a point beyond the 32-bit range is off every
// device anyway, so it is held at the edge of the range.
constexpr LONG ClampToLong(int64_t value) noexcept {
    return static_cast<LONG>(std::clamp(value, kLongMin, kLongMax));
}

constexpr double Wide(LONG value) noexcept {
    return static_cast<double>(value);
}

constexpr POINT Point(int64_t x, int64_t y) noexcept {
    return POINT{ClampToLong(x), ClampToLong(y)};
}

// Division rounding towards minus and plus infinity, for a positive divisor.
constexpr int64_t FloorDiv(int64_t n, int64_t d) noexcept {
    return n / d - (n % d != 0 && n < 0 ? 1 : 0);
}
constexpr int64_t CeilDiv(int64_t n, int64_t d) noexcept {
    return -FloorDiv(-n, d);
}

// A result that fits 32 bits, or the overflow that kept it from fitting.
ArithmeticResult<int> OrOverflow(std::optional<int32_t> value) noexcept {
    if (value) return *value;
    return ArithmeticError::Overflow;
}

}  // namespace

ArithmeticResult<Extent> ExtentOf(const RECT& target) noexcept {
    const int64_t width = std::llabs(int64_t{target.right} - target.left);
    const int64_t height = std::llabs(int64_t{target.bottom} - target.top);
    if (!FitsLong(width) || !FitsLong(height)) return ArithmeticError::Overflow;
    return Extent{static_cast<LONG>(width), static_cast<LONG>(height)};
}

RECT MovedToOrigin(const RECT& target) noexcept {
    return RECT{0, 0, ClampToLong(int64_t{target.right} - target.left),
                ClampToLong(int64_t{target.bottom} - target.top)};
}

LONG ContentInset(int borderStyle, int appearance, bool themed) noexcept {
    if (borderStyle <= progress_bar::kNoBorder) return 0;
    if (themed) return 1;
    return appearance == progress_bar::kSoft3D ? 2 : 1;
}

ArithmeticResult<RECT> Deflated(const RECT& rect, LONG by) noexcept {
    const int64_t left = int64_t{rect.left} + by;
    const int64_t top = int64_t{rect.top} + by;
    const int64_t right = int64_t{rect.right} - by;
    const int64_t bottom = int64_t{rect.bottom} - by;
    if (!FitsLong(left) || !FitsLong(top) || !FitsLong(right) || !FitsLong(bottom)) {
        return ArithmeticError::Overflow;
    }
    return RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
                static_cast<LONG>(bottom)};
}

ArithmeticResult<double> FilledFraction(int lMin, int lMax, int lValue) noexcept {
    const int64_t done = int64_t{lValue} - lMin;
    const int64_t range = int64_t{lMax} - lMin;
    if (!FitsLong(done) || !FitsLong(range)) return ArithmeticError::Overflow;
    if (range == 0) {
        return done == 0 ? ArithmeticError::InvalidOperation : ArithmeticError::DivisionByZero;
    }
    return std::clamp(static_cast<double>(done) / static_cast<double>(range), 0.0, 1.0);
}

ArithmeticResult<RECT> BarRect(const RECT& content, double fraction, bool horizontal) noexcept {
    RECT bar = content;
    const auto end =
        horizontal
            ? win::TryRoundHalfEven(fraction * (Wide(content.right) - content.left) + content.left)
            : win::TryRoundHalfEven((1 - fraction) * (Wide(content.bottom) - content.top) +
                                    content.top);
    if (!end) return ArithmeticError::Overflow;
    (horizontal ? bar.right : bar.top) = *end;
    return bar;
}

ArithmeticResult<RECT> SnappedToPeriods(const RECT& bar, const RECT& content, int period,
                                        bool horizontal) noexcept {
    if (period == 0) return ArithmeticError::DivisionByZero;
    RECT snapped = bar;
    // The remainder takes the sign of the distance, so the end always moves back
    // towards the start; the start itself is as far as it goes.
    if (horizontal) {
        const int64_t end = int64_t{bar.right} - (int64_t{bar.right} - content.left) % period;
        snapped.right = static_cast<LONG>(std::max<int64_t>(end, content.left));
    } else {
        const int64_t end = int64_t{bar.top} - (int64_t{bar.top} - content.bottom) % period;
        snapped.top = static_cast<LONG>(std::min<int64_t>(end, content.bottom));
    }
    return snapped;
}

ArithmeticResult<Segmentation> ThemeSegmentation(int chunk, int space) noexcept {
    const auto segment = OrOverflow(win::TrySum(chunk, space));
    if (!segment) return segment.error();
    return Segmentation{*segment, space};
}

ArithmeticResult<int> PeriodOf(const Segmentation& s) noexcept {
    return OrOverflow(win::TrySum(s.segment, s.gap));
}

int64_t GapCount(const RECT& bar, const Segmentation& s, bool horizontal) noexcept {
    const int64_t period = int64_t{s.segment} + s.gap;
    if (period <= 0) return 0;
    const int64_t room = horizontal ? int64_t{bar.right} - bar.left - s.segment
                                    : int64_t{bar.bottom} - bar.top - s.segment;
    return room < 0 ? 0 : room / period + 1;
}

RECT GapRect(const RECT& bar, const RECT& content, const Segmentation& s, bool horizontal,
             int64_t index) noexcept {
    const int64_t period = int64_t{s.segment} + s.gap;
    if (horizontal) {
        const int64_t x = int64_t{bar.left} + s.segment + index * period;
        return RECT{ClampToLong(x), content.top, ClampToLong(x + s.gap), content.bottom};
    }
    const int64_t y = int64_t{bar.bottom} - index * period;
    return RECT{content.left, ClampToLong(y), content.right, ClampToLong(y + s.gap)};
}

IndexRange GapsWithin(const RECT& bar, const Segmentation& s, bool horizontal,
                      const RECT& visible) noexcept {
    const int64_t period = int64_t{s.segment} + s.gap;
    const int64_t count = GapCount(bar, s, horizontal);
    if (s.gap <= 0 || count == 0) return {};
    // Gap i lies i periods from the first: to its right, or above it in a vertical bar.
    IndexRange range;
    if (horizontal) {
        const int64_t origin = int64_t{bar.left} + s.segment;
        range = {FloorDiv(int64_t{visible.left} - s.gap - origin, period) + 1,
                 CeilDiv(visible.right - origin, period)};
    } else {
        const int64_t origin = bar.bottom;
        range = {FloorDiv(origin - visible.bottom, period) + 1,
                 CeilDiv(origin + s.gap - visible.top, period)};
    }
    range.first = std::clamp<int64_t>(range.first, 0, count);
    range.last = std::clamp<int64_t>(range.last, range.first, count);
    return range;
}

ArithmeticResult<RECT> BarFor(int lMin, int lMax, int lValue, const RECT& content,
                              bool horizontal, const std::optional<Segmentation>& blocks) noexcept {
    const auto fraction = FilledFraction(lMin, lMax, lValue);
    if (!fraction) return fraction.error();
    const auto bar = BarRect(content, *fraction, horizontal);
    if (!bar || !blocks) return bar;
    const auto period = PeriodOf(*blocks);
    if (!period) return period.error();
    return SnappedToPeriods(*bar, content, *period, horizontal);
}

UINT TextFormat(int alignX, int alignY) noexcept {
    // The alignments are DrawText's own flags, the vertical ones two bits up. Any
    // other bit would reach DrawText as a flag of its own: DT_CALCRECT draws nothing,
    // DT_MODIFYSTRING writes into the caption.
    static_assert(progress_bar::kCenter == DT_CENTER && progress_bar::kRight == DT_RIGHT);
    static_assert(progress_bar::kMiddle << 2 == DT_VCENTER && progress_bar::kBottom << 2 == DT_BOTTOM);
    constexpr UINT kAlignment = DT_CENTER | DT_RIGHT;
    const UINT horizontal = static_cast<UINT>(alignX) & kAlignment;
    const UINT vertical = (static_cast<UINT>(alignY) & kAlignment) << 2;
    return horizontal | vertical | UINT{DT_SINGLELINE};
}

ArithmeticResult<TileSpans> TileSpans::Of(LONG start, LONG length, LONG imageLength,
                                          LONG phase) noexcept {
    if (imageLength == 0) return ArithmeticError::DivisionByZero;
    TileSpans spans;
    spans.m_start = start;
    spans.m_end = int64_t{start} + length;
    spans.m_image = imageLength;
    spans.m_firstSource = (int64_t{start} + phase) % imageLength;
    return spans;
}

int64_t TileSpans::Count() const noexcept {
    const int64_t length = m_end - m_start;
    if (length <= 0 || m_image <= 0) return 0;
    const int64_t first = m_image - m_firstSource;
    if (first >= length) return 1;
    return 1 + (length - first + m_image - 1) / m_image;
}

TileSpan TileSpans::operator[](int64_t index) const noexcept {
    const int64_t first = m_image - m_firstSource;
    if (index == 0) {
        return TileSpan{ClampToLong(m_start), ClampToLong(m_firstSource),
                        ClampToLong(std::min(first, m_end - m_start))};
    }
    const int64_t dst = m_start + first + (index - 1) * m_image;
    return TileSpan{ClampToLong(dst), 0, ClampToLong(std::min(m_image, m_end - dst))};
}

int64_t TileSpans::IndexAt(int64_t position) const noexcept {
    const int64_t secondStart = m_start + m_image - m_firstSource;
    return position < secondStart ? 0 : 1 + (position - secondStart) / m_image;
}

IndexRange TileSpans::Within(int64_t lo, int64_t hi) const noexcept {
    const int64_t from = std::max(lo, m_start);
    const int64_t to = std::min(hi, m_end);
    if (from >= to || Count() == 0) return {};
    return {IndexAt(from), IndexAt(to - 1) + 1};
}

BorderStrokes LineBorder(int eType, const RECT& rect, bool raised) noexcept {
    const int64_t l = rect.left;
    const int64_t t = rect.top;
    const int64_t r = rect.right;
    const int64_t b = rect.bottom;
    BorderStrokes lines;
    if (eType == progress_bar::kFlat) {
        lines.strokes[0] = {BorderPen::Black,
                            {Point(l, t), Point(r - 1, t), Point(r - 1, b - 1), Point(l, b - 1),
                             Point(l, t)},
                            5};
        lines.count = 1;
    } else if (eType == progress_bar::kThin3D && raised) {
        lines.strokes[0] = {BorderPen::Light, {Point(l, b - 2), Point(l, t), Point(r - 1, t)}, 3};
        lines.strokes[1] = {BorderPen::Shadow,
                            {Point(r - 1, t), Point(r - 1, b - 1), Point(l - 1, b - 1)},
                            3};
        lines.count = 2;
    } else if (eType == progress_bar::kThin3D) {
        lines.strokes[0] = {BorderPen::Shadow, {Point(l, b - 1), Point(l, t), Point(r, t)}, 3};
        lines.strokes[1] = {BorderPen::Light,
                            {Point(r - 1, t + 1), Point(r - 1, b - 1), Point(l, b - 1)},
                            3};
        lines.count = 2;
    }
    return lines;
}

std::optional<BorderPlacement> BorderFor(int borderStyle, int appearance) noexcept {
    if (appearance < progress_bar::kFlat || appearance > progress_bar::kSoft3D) return std::nullopt;
    switch (borderStyle) {
    case progress_bar::kSunken: return BorderPlacement{appearance, false, false};
    // The raised thin line sits one pixel inside, on the content's edge.
    case progress_bar::kRaised: return BorderPlacement{appearance, appearance == progress_bar::kThin3D, true};
    default: return std::nullopt;
    }
}

}  // namespace progress_geometry

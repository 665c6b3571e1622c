#pragma once
// The arithmetic of a progress bar's paint: the target's size, the content inside
// the border, the bar's end and its snapping to whole segments, the gaps between
// segments, the text format, the pieces of a tiled picture and the lines of a
// border. Pure functions of numbers, computed wide so that no 32-bit overflow can
// happen unnoticed; the painting only hands their results to GDI.

#include "ArithmeticResult.h"

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace progress_geometry {

// Width and height of a target rectangle, whichever way round its corners are given.
struct Extent {
    LONG width = 0;
    LONG height = 0;
};
[[nodiscard]] ArithmeticResult<Extent> ExtentOf(const RECT& target) noexcept;

// A bar wider than tall runs left to right; any other, a square included, bottom to top.
[[nodiscard]] constexpr bool IsHorizontal(const Extent& extent) noexcept {
    return extent.width > extent.height;
}

// The target moved so that its top-left corner is (0, 0).
[[nodiscard]] RECT MovedToOrigin(const RECT& target) noexcept;

// How far the content sits inside the border rectangle, on every side.
[[nodiscard]] LONG ContentInset(int borderStyle, int appearance, bool themed) noexcept;
[[nodiscard]] ArithmeticResult<RECT> Deflated(const RECT& rect, LONG by) noexcept;

// The share of the range lMin..lMax that lValue has reached, clamped to 0..1. An
// empty range is a division error: invalid when lValue is at lMin, by zero otherwise.
[[nodiscard]] ArithmeticResult<double> FilledFraction(int lMin, int lMax, int lValue) noexcept;

// The bar within the content: filled from the left edge, or upward from the bottom.
[[nodiscard]] ArithmeticResult<RECT> BarRect(const RECT& content, double fraction,
                                             bool horizontal) noexcept;

// The bar with its moving end pulled back to a whole number of periods, counted from
// the content's left edge (horizontal) or bottom edge (vertical).
[[nodiscard]] ArithmeticResult<RECT> SnappedToPeriods(const RECT& bar, const RECT& content,
                                                      int period, bool horizontal) noexcept;

// Blocks of `segment` pixels separated by `gap` pixels.
struct Segmentation {
    int segment = 0;
    int gap = 0;
};
// The visual style's blocks: the chunk and one space make the segment, so the bar's
// end snaps to the chunk plus twice the space.
[[nodiscard]] ArithmeticResult<Segmentation> ThemeSegmentation(int chunk, int space) noexcept;
[[nodiscard]] ArithmeticResult<int> PeriodOf(const Segmentation& s) noexcept;

// The gaps are painted over the bar in the background colour: the first one
// `segment` pixels from the bar's start, the last one no further than its end.
[[nodiscard]] int64_t GapCount(const RECT& bar, const Segmentation& s, bool horizontal) noexcept;
[[nodiscard]] RECT GapRect(const RECT& bar, const RECT& content, const Segmentation& s,
                           bool horizontal, int64_t index) noexcept;

// Indices from `first` up to, not including, `last`.
struct IndexRange {
    int64_t first = 0;
    int64_t last = 0;
};
// The gaps that reach into `visible`, the part of the target a paint can change.
// The others change no pixel, and a bar across a huge target has hundreds of
// millions of them.
[[nodiscard]] IndexRange GapsWithin(const RECT& bar, const Segmentation& s, bool horizontal,
                                    const RECT& visible) noexcept;

// The bar for lValue in the range lMin..lMax, its end snapped to whole blocks when
// the bar is drawn in blocks.
[[nodiscard]] ArithmeticResult<RECT> BarFor(int lMin, int lMax, int lValue, const RECT& content,
                                            bool horizontal,
                                            const std::optional<Segmentation>& blocks) noexcept;

// DrawText flags for the caption: one line, aligned by the two alignment values
// (progress_bar::TextAlignX and TextAlignY), of which only the two low bits count.
[[nodiscard]] UINT TextFormat(int alignX, int alignY) noexcept;

// One run of copies along an axis: `length` pixels from `dst` in the target, taken
// from `src` in the image.
struct TileSpan {
    LONG dst = 0;
    LONG src = 0;
    LONG length = 0;
};

// The spans that cover [start, start + length) with copies of an image `imageLength`
// pixels long, the pattern shifted by `phase`. Computed one at a time, so that a
// huge area does not ask for a huge list.
class TileSpans {
public:
    TileSpans() noexcept = default;
    // A zero image length is a division error; a negative one gives no spans.
    [[nodiscard]] static ArithmeticResult<TileSpans> Of(LONG start, LONG length,
                                                        LONG imageLength, LONG phase) noexcept;
    [[nodiscard]] int64_t Count() const noexcept;
    [[nodiscard]] TileSpan operator[](int64_t index) const noexcept;
    // The spans that reach into [lo, hi), for the same reason as GapsWithin.
    [[nodiscard]] IndexRange Within(int64_t lo, int64_t hi) const noexcept;

private:
    [[nodiscard]] int64_t IndexAt(int64_t position) const noexcept;

    int64_t m_start = 0;
    int64_t m_end = 0;
    int64_t m_image = 0;
    int64_t m_firstSource = 0;
};

// The lines of the flat and thin 3D border looks (progress_bar::Appearance), each a
// polyline whose first point is where the pen moves to. GDI leaves out the last pixel
// of each line.
enum class BorderPen { Black, Shadow, Light };
struct BorderStroke {
    BorderPen pen = BorderPen::Black;
    std::array<POINT, 5> points{};
    std::size_t count = 0;
};
struct BorderStrokes {
    std::array<BorderStroke, 2> strokes{};
    std::size_t count = 0;
};
[[nodiscard]] BorderStrokes LineBorder(int eType, const RECT& rect, bool raised) noexcept;

// Which border a BorderStyle and Appearance draw, and around which rectangle.
struct BorderPlacement {
    int type = 0;
    bool onContent = false;  // around the content rectangle instead of the target's
    bool raised = false;
};
[[nodiscard]] std::optional<BorderPlacement> BorderFor(int borderStyle, int appearance) noexcept;

}  // namespace progress_geometry

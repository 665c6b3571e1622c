// Every function of the progress bar's geometry with coordinates, ranges and sizes
// from the ends of the 32-bit range, under the address and undefined-behaviour
// sanitizers, which stop the program at the first fault. The ranges of gaps and
// tiles it hands back must also lie within what there is.

#include "ProgressGeometry.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

namespace geo = progress_geometry;

constexpr int kEdges[] = {INT_MIN, INT_MIN + 1, -10, -1, 0, 1, 2, 10, 419, INT_MAX - 1, INT_MAX};
constexpr RECT kSurfaces[] = {{0, 0, 60, 20}, {-5, -5, 5, 5}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}};
constexpr geo::Segmentation kSegmentations[] = {{8, 2}, {INT_MAX, INT_MAX}, {-5, 2}, {0, 0}, {1, INT_MIN}};

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "violated: %s\n", what);
    std::abort();
}

void RequireWithin(const geo::IndexRange& range, int64_t count, const char* what) {
    Require(range.first >= range.last || (range.first >= 0 && range.last <= count), what);
}

void SweepRect(const RECT& r, int a, int b, int c) {
    (void)geo::ExtentOf(r);
    (void)geo::MovedToOrigin(r);
    for (const LONG by : {-1, 0, 1, 2}) (void)geo::Deflated(r, by);
    for (const bool horizontal : {false, true}) {
        for (const double fraction : {0.0, 0.5, 1.0}) (void)geo::BarRect(r, fraction, horizontal);
        for (const int period : {INT_MIN, -10, 0, 1, 10, INT_MAX}) {
            (void)geo::SnappedToPeriods(r, r, period, horizontal);
        }
        for (const geo::Segmentation& s : kSegmentations) {
            const int64_t count = geo::GapCount(r, s, horizontal);
            (void)geo::GapRect(r, r, s, horizontal, count);
            for (const RECT& surface : kSurfaces) {
                RequireWithin(geo::GapsWithin(r, s, horizontal, surface), count, "gaps within the bar");
            }
        }
        (void)geo::BarFor(a, b, c, r, horizontal, kSegmentations[0]);
    }
    for (const int type : {0, 1, 2}) (void)geo::LineBorder(type, r, type == 1);
}

void SweepSpans(int start, int length, int image, int phase) {
    const auto spans = geo::TileSpans::Of(start, length, image, phase);
    if (!spans) return;
    for (const RECT& surface : kSurfaces) {
        const geo::IndexRange visible = spans->Within(surface.left, surface.right);
        RequireWithin(visible, spans->Count(), "tiles within the area");
        if (visible.first < visible.last) (void)(*spans)[visible.first];
    }
}

}  // namespace

int main() {
    for (const int a : kEdges) {
        for (const int b : kEdges) {
            (void)geo::TextFormat(a, b);
            (void)geo::BorderFor(a, b);
            if (const auto s = geo::ThemeSegmentation(a, b)) (void)geo::PeriodOf(*s);
            for (const int c : kEdges) {
                (void)geo::FilledFraction(a, b, c);
                for (const int d : kEdges) {
                    SweepRect(RECT{a, b, c, d}, a, b, c);
                    SweepSpans(a, b, c, d);
                }
            }
        }
    }
    std::puts("the geometry ran clean under the sanitizers");
    return 0;
}

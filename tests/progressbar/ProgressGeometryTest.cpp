#include "ProgressGeometry.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace geo = progress_geometry;
using testing_support::ToString;

LONG SnappedEnd(const RECT& content, double fraction, int period, bool horizontal) {
    const auto bar = geo::BarRect(content, fraction, horizontal);
    const auto snapped = geo::SnappedToPeriods(*bar, content, period, horizontal);
    return horizontal ? snapped->right : snapped->top;
}

TEST(ProgressGeometry, BarEndSnapsBackToWholePeriodsFromTheBarsStart) {
    const RECT wide{1, 1, 101, 19};
    EXPECT_EQ(geo::BarRect(wide, 0.55, true)->right, 56);
    EXPECT_EQ(SnappedEnd(wide, 0.55, 10, true), 51);
    EXPECT_EQ(SnappedEnd(wide, 0.05, 10, true), 1);
    const RECT tall{0, 0, 20, 100};
    EXPECT_EQ(geo::BarRect(tall, 0.55, false)->top, 45);
    EXPECT_EQ(SnappedEnd(tall, 0.55, 10, false), 50);
    EXPECT_EQ(SnappedEnd(tall, 0.05, 10, false), 100);
    // An end that lands on a half goes to the even pixel.
    EXPECT_EQ(geo::BarRect(RECT{0, 0, 5, 4}, 0.5, true)->right, 2);
    EXPECT_EQ(geo::BarRect(RECT{0, 0, 7, 4}, 0.5, true)->right, 4);
    EXPECT_EQ(geo::BarRect(RECT{0, 0, 4, 5}, 0.5, false)->top, 2);
    EXPECT_EQ(geo::SnappedToPeriods(wide, wide, 0, true).error(), ArithmeticError::DivisionByZero);
    // The visual style's chunk of 6 and space of 2 make a period of 10, not 8.
    EXPECT_EQ(*geo::PeriodOf(*geo::ThemeSegmentation(6, 2)), 10);
}

TEST(ProgressGeometry, VerticalGapsStartOnTheBarsBottomEdge) {
    const RECT column{0, 50, 20, 100};
    const geo::Segmentation classic{8, 2};
    EXPECT_EQ(geo::GapCount(column, classic, false), 5);
    EXPECT_EQ(ToString(geo::GapRect(column, column, classic, false, 0)),
              ToString(RECT{0, 100, 20, 102}));
    EXPECT_EQ(geo::GapRect(column, column, classic, false, 4).top, 60);
    EXPECT_EQ(geo::GapCount(RECT{0, 93, 20, 100}, classic, false), 0);
}

TEST(ProgressGeometry, ArithmeticBeyond32BitsIsReportedAsOverflow) {
    const auto reversed = geo::ExtentOf(RECT{100, 40, 0, 10});
    EXPECT_EQ(reversed->width, 100);
    EXPECT_EQ(reversed->height, 30);
    EXPECT_EQ(geo::ExtentOf(RECT{INT_MIN, 0, 1, 0}).error(), ArithmeticError::Overflow);
    EXPECT_EQ(geo::Deflated(RECT{INT_MAX, 0, 0, 0}, -1).error(), ArithmeticError::Overflow);
    EXPECT_EQ(geo::ThemeSegmentation(INT_MAX, 1).error(), ArithmeticError::Overflow);
    EXPECT_EQ(geo::PeriodOf({INT_MAX - 1, 2}).error(), ArithmeticError::Overflow);
}

TEST(ProgressGeometry, TileSpansCoverTheAreaWithWholeCopiesAndACutLastOne) {
    const auto spans = [](LONG length, LONG image) {
        std::vector<std::vector<LONG>> out;
        const auto tiles = geo::TileSpans::Of(0, length, image, 0);
        for (int64_t i = 0; i < tiles->Count(); ++i) {
            out.push_back({(*tiles)[i].dst, (*tiles)[i].src, (*tiles)[i].length});
        }
        return out;
    };
    using Spans = std::vector<std::vector<LONG>>;
    EXPECT_EQ(spans(25, 10), (Spans{{0, 0, 10}, {10, 0, 10}, {20, 0, 5}}));
    EXPECT_EQ(spans(4, 10), (Spans{{0, 0, 4}}));
    EXPECT_TRUE(spans(0, 10).empty());
    EXPECT_EQ(geo::TileSpans::Of(0, 5, 0, 0).error(), ArithmeticError::DivisionByZero);
}

// Every gap or span that meets the visible interval, found by walking all of them.
geo::IndexRange Walked(int64_t count, const std::function<std::pair<LONG, LONG>(int64_t)>& extent,
                       LONG lo, LONG hi) {
    geo::IndexRange found{count, count};
    for (int64_t i = 0; i < count; ++i) {
        const auto [from, to] = extent(i);
        if (from >= hi || to <= lo) continue;
        if (found.first == count) found.first = i;
        found.last = i + 1;
    }
    return found;
}

std::string ToString(const geo::IndexRange& r) {
    if (r.first >= r.last) return "none";
    return std::to_string(r.first) + ".." + std::to_string(r.last);
}

TEST(ProgressGeometry, OnlyTheGapsAndTilesThatMeetTheVisibleAreaArePainted) {
    const geo::Segmentation classic{8, 2};
    const RECT wide{3, 0, 97, 10};
    const RECT tall{0, 7, 10, 93};
    const auto tiles = *geo::TileSpans::Of(3, 94, 7, 2);
    for (const auto& [lo, hi] : {std::pair{-50, 200}, std::pair{0, 20}, std::pair{14, 15},
                                std::pair{30, 61}, std::pair{90, 200}, std::pair{-20, 2},
                                std::pair{40, 40}, std::pair{200, 300}}) {
        SCOPED_TRACE(std::to_string(lo) + ".." + std::to_string(hi));
        const auto horizontal = [&](int64_t i) {
            const RECT gap = geo::GapRect(wide, wide, classic, true, i);
            return std::pair{gap.left, gap.right};
        };
        EXPECT_EQ(ToString(geo::GapsWithin(wide, classic, true, RECT{lo, 0, hi, 10})),
                  ToString(Walked(geo::GapCount(wide, classic, true), horizontal, lo, hi)));
        const auto vertical = [&](int64_t i) {
            const RECT gap = geo::GapRect(tall, tall, classic, false, i);
            return std::pair{gap.top, gap.bottom};
        };
        EXPECT_EQ(ToString(geo::GapsWithin(tall, classic, false, RECT{0, lo, 10, hi})),
                  ToString(Walked(geo::GapCount(tall, classic, false), vertical, lo, hi)));
        const auto tile = [&](int64_t i) {
            return std::pair{tiles[i].dst, tiles[i].dst + tiles[i].length};
        };
        EXPECT_EQ(ToString(tiles.Within(lo, hi)), ToString(Walked(tiles.Count(), tile, lo, hi)));
    }
    // Across the widest bar only the few gaps on a small surface are left.
    const RECT huge{INT_MIN, 0, INT_MAX, 10};
    const geo::IndexRange onSurface = geo::GapsWithin(huge, classic, true, RECT{0, 0, 60, 10});
    EXPECT_LE(onSurface.last - onSurface.first, 7);
}

}  // namespace

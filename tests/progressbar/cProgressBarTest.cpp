#include "cProgressBar.h"

#include "PaintTestSupport.h"
#include "UxTheme.h"

#include <gtest/gtest.h>
#include <vssym32.h>

#include <climits>
#include <functional>
#include <utility>
#include <vector>

namespace {

using paint_test::DibSurface;
using paint_test::SurfaceHost;

constexpr COLORREF kBack = RGB(255, 255, 255);
constexpr COLORREF kBar = RGB(0, 0, 255);
constexpr COLORREF kInk = RGB(255, 0, 0);
constexpr COLORREF kBarInk = RGB(0, 255, 0);

class ProgressBarPaint : public ::testing::Test {
protected:
    void SetUp() override {
        bar.BackColor(kBack);
        bar.BarColor(kBar);
        bar.BorderStyle(0);
    }
    DibSurface Painted(int width, int height, HWND hwnd = nullptr) {
        DibSurface target(width, height);
        EXPECT_TRUE(bar.DrawToDC(hwnd, target.dc(), 0, 0, width, height));
        return target;
    }

    cProgressBar bar;
};

TEST_F(ProgressBarPaint, SegmentsAreWholeBlocksUpToTheSnappedEnd) {
    bar.BorderStyle(1);
    bar.Segments(true);
    for (const int value : {55, 50}) {
        bar.Value(value);
        const DibSurface target = Painted(102, 20);
        for (int x = 1; x <= 100; ++x) {
            const bool inBlock = x <= 50 && (x - 1) % 10 < 8;
            EXPECT_EQ(target.Pixel(x, 10), inBlock ? kBar : kBack) << value << ": column " << x;
        }
    }
}

TEST_F(ProgressBarPaint, CaptionReadsInBarForeColorOverTheBarAndForeColorBesideIt) {
    bar.Font(std::make_shared<win::StdFont>("Tahoma", 14, win::StdFont::kBold));
    bar.ForeColor(kInk);
    bar.BarForeColor(kBarInk);
    bar.ShowText(true);
    bar.Text("8888888888888888");
    bar.Value(50);
    const DibSurface target = Painted(200, 30);
    int count[2][2] = {};  // [over the bar][bar ink]
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 200; ++x) {
            const COLORREF pixel = target.Pixel(x, y);
            if (pixel == kInk || pixel == kBarInk) ++count[x < 100][pixel == kBarInk];
        }
    }
    EXPECT_GT(count[1][1], 0);
    EXPECT_GT(count[0][0], 0);
    EXPECT_EQ(count[1][0], 0) << "ForeColor over the bar";
    EXPECT_EQ(count[0][1], 0) << "BarForeColor beside the bar";

    // Without a font object the DC's own font writes it; a colour that cannot be
    // translated writes nothing.
    bar.Font(nullptr);
    bar.Value(0);
    EXPECT_FALSE(Painted(200, 30).SameAs(DibSurface(200, 30, kBack)));
    bar.ForeColor(0xFFFFFFFF);
    EXPECT_TRUE(Painted(200, 30).SameAs(DibSurface(200, 30, kBack)));
}

TEST_F(ProgressBarPaint, BorderStyleAndAppearanceSetTheRingAroundTheBar) {
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    struct Case { int style; int appearance; COLORREF column0, column1, column2; };
    bar.Value(100);
    for (const Case c : {Case{0, 1, kBar, kBar, kBar}, Case{1, 0, RGB(0, 0, 0), kBar, kBar},
                         Case{1, 1, shadow, kBar, kBar}, Case{2, 1, kBack, light, kBar},
                         Case{3, 0, kBack, kBar, kBar}, Case{3, 2, kBack, kBack, kBar}}) {
        bar.BorderStyle(c.style);
        bar.Appearance(c.appearance);
        const DibSurface target = Painted(60, 20);
        const auto where = ::testing::Message() << c.style << "/" << c.appearance;
        EXPECT_EQ(target.Pixel(0, 10), c.column0) << where;
        EXPECT_EQ(target.Pixel(1, 10), c.column1) << where;
        EXPECT_EQ(target.Pixel(2, 10), c.column2) << where;
    }
}

TEST_F(ProgressBarPaint, BarFillsFromItsStartAndClampsValuesOutsideTheRange) {
    // Bars no wider than tall grow upward from the bottom.
    struct Case { int width; int height; int value; int firstBarRow; };
    for (const Case c : {Case{20, 101, 55, 45}, Case{20, 20, 50, 10}, Case{20, 20, -10, 20},
                         Case{40, 20, 150, 0}}) {
        bar.Value(c.value);
        EXPECT_EQ(bar.Value(), c.value);
        const DibSurface target = Painted(c.width, c.height);
        for (int y = 0; y < c.height; ++y) {
            const COLORREF expected = y >= c.firstBarRow ? kBar : kBack;
            EXPECT_EQ(target.Pixel(c.width / 2, y), expected) << c.value << ": row " << y;
        }
    }
}

TEST_F(ProgressBarPaint, PicturesAreCopiedAtOnceAndTiledStretchedOrClippedToTheBar) {
    const win::StdPicture picture = paint_test::TwoColumnPicture(kInk, kBarInk);
    ASSERT_EQ(bar.Picture(&picture), S_OK);
    {
        const win::unique_hdc dc(::CreateCompatibleDC(nullptr));
        const auto selected = win::SelectObject(dc.get(), static_cast<HBITMAP>(picture.Handle()));
        ::SetPixel(dc.get(), 0, 0, kBack);
    }
    const DibSurface tiled = Painted(10, 4);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(tiled.Pixel(x, 3), x % 2 ? kBarInk : kInk) << x;
    bar.BackPictureMode(0);
    const DibSurface stretched = Painted(10, 4);
    EXPECT_EQ(stretched.Pixel(4, 2), kInk);
    EXPECT_EQ(stretched.Pixel(5, 2), kBarInk);

    ASSERT_EQ(bar.Picture(nullptr), S_OK);
    const win::StdPicture barPattern = paint_test::TwoColumnPicture(kInk, kBarInk);
    ASSERT_EQ(bar.BarPicture(&barPattern), S_OK);
    bar.Value(50);
    const DibSurface clipped = Painted(10, 4);
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(clipped.Pixel(x, 1), x >= 5 ? kBack : x % 2 ? kBarInk : kInk) << x;
    }
    // A picture that holds no bitmap is refused, and the bar goes on painting.
    const win::StdPicture none;
    EXPECT_EQ(bar.BarPicture(&none), E_INVALIDARG);
    EXPECT_EQ(Painted(10, 4).Pixel(2, 1), kBar);
}

TEST_F(ProgressBarPaint, AreaFillsTakeTheSystemBrushOfTheLowFiveBits) {
    // 0x80000021 is colour 1, the desktop's; -1 names brush 31, which the system does
    // not have, so that fill paints nothing and what was there shows.
    struct Case { OLE_COLOR colour; COLORREF painted; };
    for (const Case c : {Case{0x8000000F, ::GetSysColor(COLOR_BTNFACE)},
                         Case{0x80000021, ::GetSysColor(COLOR_BACKGROUND)}, Case{0xFFFFFFFF, kBack}}) {
        bar.Value(100);
        bar.BarColor(c.colour);
        EXPECT_EQ(Painted(20, 10).Pixel(10, 5), c.painted) << "bar " << std::hex << c.colour;
        if (c.colour == 0xFFFFFFFF) continue;
        bar.Value(0);
        bar.BackColor(c.colour);
        EXPECT_EQ(Painted(20, 10).Pixel(10, 5), c.painted) << "background " << std::hex << c.colour;
        bar.BackColor(kBack);
    }
}

TEST_F(ProgressBarPaint, AlignmentsReachDrawTextWithoutFlagsOfTheirOwn) {
    bar.ForeColor(kInk);
    bar.ShowText(true);
    bar.Text("a caption far too long for the bar");
    const DibSurface centred = Painted(60, 20);
    // DT_CALCRECT only measures; DT_END_ELLIPSIS | DT_MODIFYSTRING shortens the text
    // and writes the short text back into the caller's string.
    for (const auto& [x, y] : {std::pair{1 | DT_CALCRECT, 1}, std::pair{1, 1 | DT_CALCRECT / 4},
                               std::pair{1 | DT_END_ELLIPSIS | DT_MODIFYSTRING, 1}}) {
        bar.TextAlignX(x);
        bar.TextAlignY(y);
        EXPECT_TRUE(Painted(60, 20).SameAs(centred)) << std::hex << x << " " << y;
    }
}

TEST_F(ProgressBarPaint, UnbufferedPaintGivesTheCallersDcBackAsItWas) {
    bar.ShowText(true);
    bar.Text("50 %");
    bar.Value(100);
    // No off-screen bitmap can be that large, so the bar paints straight into the DC.
    const DibSurface target(60, 20, kInk);
    const paint_test::CallersDcState state(target.dc(), RECT{0, 0, 30, 20});
    ASSERT_TRUE(bar.DrawToDC(nullptr, target.dc(), 0, 0, 100000, 100000));
    EXPECT_EQ(state.Changes(), "");
    EXPECT_EQ(target.Pixel(10, 10), kBar);
    EXPECT_EQ(target.Pixel(40, 10), kInk) << "painted outside the caller's clip";
}

TEST_F(ProgressBarPaint, EmptyTargetCopiesNothing) {
    (void)Painted(60, 20);
    const DibSurface target(60, 20, kInk);
    ASSERT_TRUE(bar.DrawToDC(nullptr, target.dc(), 5, 5, 5, 5));
    EXPECT_TRUE(target.SameAs(DibSurface(60, 20, kInk)));
}

TEST(cProgressBar, PercentFollowsTheRangeAndReportsArithmeticErrors) {
    struct Case { int min; int max; int value; double percent; };
    for (const Case c : {Case{0, 100, 37, 37.0}, Case{0, 3, 1, 100.0 / 3},
                         Case{0, 100, 150, 100.0}, Case{0, 100, -1, 0.0}, Case{100, 0, 25, 75.0}}) {
        cProgressBar bar;
        bar.Min(c.min);
        bar.Max(c.max);
        bar.Value(c.value);
        EXPECT_DOUBLE_EQ(*bar.Percent(), c.percent) << c.min << ".." << c.max << " " << c.value;
    }
    struct Failure { int min; int max; int value; ArithmeticError error; };
    for (const Failure f : {Failure{INT_MIN, 0, 1, ArithmeticError::Overflow},
                            Failure{-1, INT_MAX, 0, ArithmeticError::Overflow},
                            Failure{5, 5, 6, ArithmeticError::DivisionByZero},
                            Failure{5, 5, 5, ArithmeticError::InvalidOperation}}) {
        cProgressBar bar;
        bar.Min(f.min);
        bar.Max(f.max);
        bar.Value(f.value);
        const auto percent = bar.Percent();
        ASSERT_FALSE(percent) << f.min << ".." << f.max << " " << f.value;
        EXPECT_EQ(percent.error(), f.error);
    }
}

TEST(cProgressBar, EverySetButTagRepaintsAtOnce) {
    SurfaceHost host(40, 10);
    cProgressBar bar;
    bar.DrawObject(&host);
    bar.Tag("note");
    ASSERT_EQ(host.Paints(), 1);
    const std::vector<std::function<void()>> sets = {
        [&] { bar.Segments(bar.Segments()); }, [&] { bar.XpStyle(bar.XpStyle()); },
        [&] { bar.Text(bar.Text()); }, [&] { bar.TextAlignX(bar.TextAlignX()); },
        [&] { bar.TextAlignY(bar.TextAlignY()); }, [&] { bar.ShowText(bar.ShowText()); },
        [&] { bar.Min(bar.Min()); }, [&] { bar.Max(bar.Max()); },
        [&] { bar.Value(bar.Value()); }, [&] { bar.BorderStyle(bar.BorderStyle()); },
        [&] { bar.Appearance(bar.Appearance()); }, [&] { bar.DrawObject(bar.DrawObject()); },
        [&] { bar.BackColor(bar.BackColor()); }, [&] { bar.ForeColor(bar.ForeColor()); },
        [&] { bar.Font(bar.Font()); }, [&] { bar.BarColor(bar.BarColor()); },
        [&] { bar.BarForeColor(bar.BarForeColor()); }, [&] { (void)bar.BarPicture(nullptr); },
        [&] { bar.BarPictureMode(bar.BarPictureMode()); },
        [&] { bar.BackPictureMode(bar.BackPictureMode()); }, [&] { (void)bar.Picture(nullptr); },
    };
    for (std::size_t i = 0; i < sets.size(); ++i) {
        sets[i]();
        EXPECT_EQ(host.Paints(), static_cast<int>(i) + 2) << "set number " << i;
    }
}

TEST(cProgressBar, EqualMinAndMaxLeavesTheScreenAsItWas) {
    SurfaceHost host(60, 20);
    ASSERT_NE(host.hWnd(), nullptr);
    cProgressBar bar;
    bar.BackColor(kBack);
    bar.BarColor(kBar);
    bar.Value(50);
    bar.DrawObject(&host);
    ASSERT_EQ(host.Surface().Pixel(10, 10), kBar);
    bar.Max(0);
    bar.Value(0);
    EXPECT_EQ(host.Surface().Pixel(10, 10), kBar);
    EXPECT_EQ(host.Surface().Pixel(50, 10), kBack);
    EXPECT_EQ(bar.DrawToDC(host.hWnd(), host.Surface().dc(), 0, 0, 60, 20).error(),
              ArithmeticError::InvalidOperation);
}

TEST(cProgressBar, RepeatedPaintsCreateNoGdiObjects) {
    SurfaceHost host(200, 20);
    for (const bool xpStyle : {false, true}) {
        cProgressBar bar;
        bar.XpStyle(xpStyle);
        bar.Segments(true);
        bar.ShowText(true);
        bar.Text("42/100 42 %");
        bar.BackColor(kBack);
        bar.DrawObject(&host);
        const auto paintEveryValue = [&] {
            for (int i = 0; i < 5000; ++i) bar.Value(i % 101);
        };
        EXPECT_EQ(paint_test::GdiObjectsLeftBehind(paintEveryValue), 0) << (xpStyle ? "themed" : "classic");
    }
}

TEST(cProgressBarTheme, VisualStyleBarEndsOnTheThemesPeriod) {
    SurfaceHost host(120, 20);
    const uxtheme::unique_htheme theme(uxtheme::OpenThemeData(host.hWnd(), L"Progress"));
    ASSERT_TRUE(theme) << "the test prefix has visual styles on";
    int chunk = 0, space = 0;
    ASSERT_EQ(uxtheme::GetThemeInt(theme.get(), 0, 0, TMT_PROGRESSCHUNKSIZE, &chunk), S_OK);
    ASSERT_EQ(uxtheme::GetThemeInt(theme.get(), 0, 0, TMT_PROGRESSSPACESIZE, &space), S_OK);
    // Wine's theme has chunks of one pixel and no space, a period of 1: 37 % of the 118
    // content columns from column 1 ends the bar before column 45.
    ASSERT_EQ(chunk, 1);
    ASSERT_EQ(space, 0);
    const RECT content{1, 1, 119, 19};
    constexpr LONG end = 45;

    cProgressBar bar;
    bar.BackColor(kBack);
    const auto paintAt = [&](int value) {
        bar.Value(value);
        DibSurface target(120, 20);
        EXPECT_TRUE(bar.DrawToDC(host.hWnd(), target.dc(), 0, 0, 120, 20));
        return target;
    };
    const DibSurface classic = paintAt(0);
    bar.XpStyle(true);
    const DibSurface empty = paintAt(0), full = paintAt(100), partial = paintAt(37);
    EXPECT_FALSE(empty.SameAs(classic));
    for (LONG x = content.left; x < content.right; ++x) {
        EXPECT_EQ(partial.Pixel(x, 10), (x < end ? full : empty).Pixel(x, 10)) << "column " << x;
    }
}

TEST(cProgressBarTheme, WithoutAVisualStyleTheBarPaintsTheClassicLook) {
    SurfaceHost unthemed(120, 20);
    ASSERT_EQ(::SetWindowTheme(unthemed.hWnd(), L" ", L" "), S_OK);
    SurfaceHost themed(120, 20);
    const win::StdPicture picture = paint_test::TwoColumnPicture(kInk, kBarInk);
    for (const bool withPicture : {false, true}) {
        cProgressBar bar;
        bar.Segments(true);
        bar.ShowText(true);
        bar.Text("55 %");
        bar.Value(55);
        bar.BarColor(kBar);
        bar.BackColor(kBack);
        ASSERT_EQ(bar.Picture(withPicture ? &picture : nullptr), S_OK);
        const HWND window = withPicture ? themed.hWnd() : unthemed.hWnd();
        const DibSurface classic(120, 20), xpStyle(120, 20);
        ASSERT_TRUE(bar.DrawToDC(window, classic.dc(), 0, 0, 120, 20));
        bar.XpStyle(true);
        ASSERT_TRUE(bar.DrawToDC(window, xpStyle.dc(), 0, 0, 120, 20));
        EXPECT_TRUE(xpStyle.SameAs(classic)) << (withPicture ? "background picture" : "no theme");
    }
}

}  // namespace

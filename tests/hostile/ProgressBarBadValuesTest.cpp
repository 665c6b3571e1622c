// Values at the edges of what cProgressBar takes: ranges and positions at the ends
// of the 32-bit range, empty ranges, targets that are empty, inside out, far off
// the surface or wider than 32 bits, pictures, and hosts and fonts that are missing
// or dead. None may crash the bar, and none may leave a GDI object behind.

#include "cProgressBar.h"

#include "PaintTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <functional>

namespace {

using paint_test::DibSurface;

constexpr int kWidth = 60;
constexpr int kHeight = 20;
constexpr COLORREF kBack = RGB(255, 255, 255);
constexpr COLORREF kBar = RGB(0, 0, 255);
constexpr COLORREF kInk = RGB(255, 0, 0);
constexpr COLORREF kBarInk = RGB(0, 255, 0);
constexpr std::array<int, 5> kEdges = {INT_MIN, -1, 0, 1, INT_MAX};

struct Target {
    const char* name;
    RECT rect;
};

// The surface is kWidth x kHeight; only the first target lies wholly on it.
constexpr std::array<Target, 8> kTargets = {{
    {"on the surface", {0, 0, kWidth, kHeight}},
    {"empty", {5, 5, 5, 5}},
    {"inside out", {kWidth, kHeight, 0, 0}},
    {"negative", {-100, -50, -40, -30}},
    {"huge", {0, 0, INT_MAX, INT_MAX}},
    {"huge and inside out", {INT_MAX, 10, -1, 0}},
    {"wider than 32 bits", {INT_MIN, 0, INT_MAX, kHeight}},
    {"taller than 32 bits", {0, INT_MAX, kWidth, INT_MIN}},
}};

// The looks that take different paths through the painting.
struct Look {
    const char* name;
    bool segments;
    bool caption;
    bool font;
    bool pictures;
    bool xpStyle;
    int borderStyle;
    int appearance;
};

constexpr std::array<Look, 5> kLooks = {{
    {"plain", false, false, true, false, false, 0, 1},
    {"segments and caption", true, true, true, false, false, 1, 1},
    {"caption without a font", false, true, false, false, false, 2, 2},
    {"tiled pictures", true, true, true, true, false, 2, 0},
    {"visual style", true, true, true, false, true, 1, 1},
}};

// A host whose window and DC are whatever the test says, dead ones included.
class FixedHost final : public DrawHost {
public:
    FixedHost(HWND hwnd, HDC hdc) noexcept : m_hwnd(hwnd), m_hdc(hdc) {}
    [[nodiscard]] HWND hWnd() const noexcept override { return m_hwnd; }
    [[nodiscard]] HDC hDC() const noexcept override { return m_hdc; }

private:
    HWND m_hwnd;
    HDC m_hdc;
};

HWND CreatePopup() {
    return ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, kWidth, kHeight,
                             nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

class ProgressBarBadValues : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(window, nullptr);
        ASSERT_NE(deadWindow, nullptr);
        ::DestroyWindow(deadWindow);
        bar.Text("42/100 42 %");
        bar.BackColor(kBack);
        bar.BarColor(kBar);
    }
    void TearDown() override { ::DestroyWindow(window); }

    void Apply(const Look& look) {
        bar.Segments(look.segments);
        bar.ShowText(look.caption);
        bar.Font(look.font ? font : nullptr);
        (void)bar.Picture(look.pictures ? &picture : nullptr);
        (void)bar.BarPicture(look.pictures ? &picture : nullptr);
        bar.XpStyle(look.xpStyle);
        bar.BorderStyle(look.borderStyle);
        bar.Appearance(look.appearance);
    }

    // Every range and position from the edges, in every look, drawn through every
    // kind of host (each set repaints) and into every target.
    void PaintEveryCombination() {
        const DibSurface hostSurface(kWidth, kHeight);
        std::array<FixedHost, 5> hosts = {{{window, hostSurface.dc()},
                                           {window, nullptr},
                                           {deadWindow, hostSurface.dc()},
                                           {deadWindow, nullptr},
                                           {nullptr, hostSurface.dc()}}};
        for (const Look& look : kLooks) {
            Apply(look);
            for (const int min : kEdges) {
                for (const int max : kEdges) {
                    for (const int value : kEdges) {
                        for (FixedHost& host : hosts) {
                            bar.DrawObject(&host);
                            bar.Min(min);
                            bar.Max(max);
                            bar.Value(value);
                        }
                        bar.DrawObject(nullptr);
                        PaintEveryTarget(look);
                    }
                }
            }
        }
    }

    // A paint into the surface either succeeds or is stopped by the error the range
    // gives, and a stopped paint leaves the surface as it was.
    void PaintEveryTarget(const Look& look) {
        const auto percent = bar.Percent();
        for (const Target& t : kTargets) {
            const DibSurface surface(kWidth, kHeight);
            const ArithmeticStatus status =
                bar.DrawToDC(window, surface.dc(), t.rect.left, t.rect.top, t.rect.right, t.rect.bottom);
            if (&t != &kTargets.front()) continue;
            const auto where = ::testing::Message()
                               << look.name << ", " << bar.Min() << ".." << bar.Max() << " at " << bar.Value();
            ASSERT_EQ(status.has_value(), percent.has_value()) << where;
            if (!status) {
                EXPECT_EQ(status.error(), percent.error()) << where;
                EXPECT_TRUE(surface.SameAs(DibSurface(kWidth, kHeight))) << where;
            }
        }
    }

    HWND window = CreatePopup();
    HWND deadWindow = CreatePopup();
    const std::shared_ptr<win::StdFont> font = std::make_shared<win::StdFont>("Tahoma", 8);
    const win::StdPicture picture = paint_test::TwoColumnPicture(kInk, kBarInk);
    cProgressBar bar;
};

TEST_F(ProgressBarBadValues, ExtremeRangesTargetsHostsAndFontsNeitherCrashNorLeak) {
    EXPECT_EQ(paint_test::GdiObjectsLeftBehind([this] { PaintEveryCombination(); }), 0);
}

// Heights beyond 32 bits fall back to the font mapper's default (0); the one at the
// negative end must not overflow on its way.
TEST(StdFontBadSizes, HeightsOutsideTheRangeGiveTheDefaultAndNoneOverflows) {
    const auto heightAt96Dpi = [](double points) { return win::StdFont("Tahoma", points).LogFont(96).lfHeight; };
    EXPECT_EQ(heightAt96Dpi(6.75), -9);
    EXPECT_EQ(heightAt96Dpi(1610612736.0), INT_MIN);  // 2^31 pixels
    EXPECT_EQ(heightAt96Dpi(-1610612736.0), 0);
    EXPECT_EQ(heightAt96Dpi(1e300), 0);
    EXPECT_EQ(heightAt96Dpi(std::nan("")), 0);
}

// The records of a paint into a metafile whose clip is a surface of kWidth x kHeight:
// one for each drawing call, a few more for the clip and the metafile itself.
DWORD RecordsOfPaint(const std::function<void(HDC)>& paint) {
    const HDC recorder = ::CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    const win::unique_hrgn surface(::CreateRectRgn(0, 0, kWidth, kHeight));
    ::SelectClipRgn(recorder, surface.get());
    paint(recorder);
    const HENHMETAFILE recording = ::CloseEnhMetaFile(recorder);
    ENHMETAHEADER header{};
    ::GetEnhMetaFileHeader(recording, sizeof header, &header);
    ::DeleteEnhMetaFile(recording);
    return header.nRecords;
}

// A target far larger than any surface gets no buffer and is painted straight into
// the DC: only the blocks and tiles on the surface may be drawn, and they must
// still lie where they would on a bar of that size.
TEST_F(ProgressBarBadValues, HugeTargetPaintsOnlyWhatTheSurfaceShowsInPlace) {
    bar.BorderStyle(0);
    bar.Segments(true);
    bar.Min(0);
    bar.Max(1);
    const auto paintHuge = [&](int value) {
        bar.Value(value);
        // The whole bar takes hundreds of millions of calls; what the surface shows
        // needs no more than one a pixel.
        const DWORD records =
            RecordsOfPaint([&](HDC dc) { EXPECT_TRUE(bar.DrawToDC(window, dc, 0, 0, INT_MAX, kHeight)); });
        EXPECT_LT(records, static_cast<DWORD>(kWidth * kHeight));
        DibSurface surface(kWidth, kHeight);
        EXPECT_TRUE(bar.DrawToDC(window, surface.dc(), 0, 0, INT_MAX, kHeight));
        return surface;
    };

    const DibSurface blocks = paintHuge(1);
    for (int x = 0; x < kWidth; ++x) {
        EXPECT_EQ(blocks.Pixel(x, kHeight / 2), x % 10 < 8 ? kBar : kBack) << "column " << x;
    }
    ASSERT_EQ(bar.Picture(&picture), S_OK);
    const DibSurface tiles = paintHuge(0);
    for (int x = 0; x < kWidth; ++x) {
        EXPECT_EQ(tiles.Pixel(x, kHeight / 2), x % 2 ? kBarInk : kInk) << "column " << x;
    }
}

}  // namespace

#include "pcMemDC.h"

#include "PaintTestSupport.h"

#include <gtest/gtest.h>

namespace {

using paint_test::DibSurface;
using paint_test::LiveGdiObjects;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

SIZE BitmapSize(HDC dc) {
    BITMAP header{};
    ::GetObjectA(::GetCurrentObject(dc, OBJ_BITMAP), sizeof header, &header);
    return SIZE{header.bmWidth, header.bmHeight};
}

TEST(pcMemDC, SurfaceIsMadeAgainAtTheAskedSizeOnlyWhenADimensionGrows) {
    pcMemDC memory;
    EXPECT_EQ(memory.hDC(0, 10), nullptr);
    const HDC dc = memory.hDC(100, 20);
    ASSERT_NE(dc, nullptr);
    const HGDIOBJ bitmap = ::GetCurrentObject(dc, OBJ_BITMAP);
    EXPECT_EQ(memory.hDC(50, 20), dc);
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_BITMAP), bitmap);
    EXPECT_EQ(memory.Width(), 100);
    // Wider but lower: exactly the asked size, not the larger of both.
    const SIZE wider = BitmapSize(memory.hDC(120, 10));
    EXPECT_EQ(wider.cx, 120);
    EXPECT_EQ(wider.cy, 10);
    EXPECT_EQ(memory.Height(), 10);
}

TEST(pcMemDC, SizeSetsCreateAFreshSurfaceButOnlyRelabelAnExistingOne) {
    pcMemDC fresh;
    fresh.Width(30);
    EXPECT_EQ(fresh.hDC(0, 0), nullptr);
    fresh.Height(40);
    ASSERT_NE(fresh.hDC(0, 0), nullptr);
    EXPECT_EQ(BitmapSize(fresh.hDC(0, 0)).cy, 40);

    pcMemDC existing;
    const HDC dc = existing.hDC(100, 20);
    existing.Width(200);
    EXPECT_EQ(existing.Width(), 200);
    EXPECT_EQ(BitmapSize(dc).cx, 100);
}

TEST(pcMemDC, DrawTakesTheStoredSizeForAWidthOrHeightOfZeroOrLess) {
    const win::StdPicture picture = paint_test::TwoColumnPicture(kRed, kGreen);
    pcMemDC memory;
    ASSERT_EQ(memory.CreateFromPicture(picture), S_OK);
    const DibSurface target(10, 3, kWhite);
    memory.Draw(target.dc(), 0, 0, -5, 0, 4, 1);
    EXPECT_EQ(target.Pixel(3, 1), kWhite);
    EXPECT_EQ(target.Pixel(4, 1), kRed);
    EXPECT_EQ(target.Pixel(5, 1), kGreen);
    EXPECT_EQ(target.Pixel(6, 1), kWhite);
    EXPECT_EQ(target.Pixel(4, 2), kWhite);

    pcMemDC empty;
    empty.Draw(target.dc(), 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(target.Pixel(0, 0), kWhite);
}

TEST(pcMemDC, PictureWithoutABitmapMakesNoSurface) {
    const win::StdPicture none;
    pcMemDC memory;
    EXPECT_EQ(memory.CreateFromPicture(none), E_INVALIDARG);
    EXPECT_EQ(memory.hDC(0, 0), nullptr);
    EXPECT_EQ(memory.Width(), 0);
}

TEST(pcMemDC, DestructionReleasesTheDcAndTheBitmap) {
    const auto grownAndDestroyed = [] {
        pcMemDC memory;
        const std::size_t before = LiveGdiObjects();
        (void)memory.hDC(100, 20);
        (void)memory.hDC(200, 20);
        EXPECT_GT(LiveGdiObjects(), before);
    };
    EXPECT_EQ(paint_test::GdiObjectsLeftBehind(grownAndDestroyed), 0);
    EXPECT_EQ(paint_test::GdiObjectsLeftBehind([] { pcMemDC empty; }), 0);
}

}  // namespace

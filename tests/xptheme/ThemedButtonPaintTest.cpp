#include "PaintTestSupport.h"
#include "TestSupport.h"
#include "ThemeTestSupport.h"
#include "UxTheme.h"

#include <gtest/gtest.h>

#include <vssym32.h>

#include <climits>
#include <memory>

namespace {

using namespace mdXpThemeSupport;
using xptheme_testing::ButtonWindow;

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGrey = RGB(0x80, 0x80, 0x80);

using Canvas = paint_test::DibSurface;

int Count(const Canvas& canvas, const RECT& area, COLORREF colour) {
    int count = 0;
    for (LONG y = area.top; y < area.bottom; ++y) {
        for (LONG x = area.left; x < area.right; ++x) count += canvas.Pixel(x, y) == colour;
    }
    return count;
}

// 16 x 16 pixels of magenta with a blue 8 x 8 block in the top-left corner.
GraphicalButton::PicturePtr BlockPicture() {
    const Canvas format(1, 1);
    win::unique_hbitmap bitmap(::CreateCompatibleBitmap(format.dc(), 16, 16));
    const win::unique_hdc dc(::CreateCompatibleDC(nullptr));
    {
        const auto selected = win::SelectObject(dc.get(), bitmap.get());
        const win::unique_hbrush magenta(::CreateSolidBrush(kMagenta));
        const win::unique_hbrush blue(::CreateSolidBrush(kBlue));
        const RECT all{0, 0, 16, 16};
        const RECT block{0, 0, 8, 8};
        ::FillRect(dc.get(), &all, magenta.get());
        ::FillRect(dc.get(), &block, blue.get());
    }
    return std::make_shared<win::StdPicture>(std::move(bitmap));
}

// The same 16 x 16 picture as an icon: the blue block opaque, the rest transparent.
GraphicalButton::PicturePtr BlockIcon() {
    const Canvas format(1, 1);
    const win::unique_hbitmap color(::CreateCompatibleBitmap(format.dc(), 16, 16));
    const win::unique_hbitmap mask(::CreateBitmap(16, 16, 1, 1, nullptr));
    const win::unique_hdc dc(::CreateCompatibleDC(nullptr));
    const RECT all{0, 0, 16, 16};
    const RECT block{0, 0, 8, 8};
    {
        const auto selected = win::SelectObject(dc.get(), color.get());
        const win::unique_hbrush blue(::CreateSolidBrush(kBlue));
        ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::FillRect(dc.get(), &block, blue.get());
    }
    {
        const auto selected = win::SelectObject(dc.get(), mask.get());
        ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::FillRect(dc.get(), &block, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
    ICONINFO info{TRUE, 0, 0, mask.get(), color.get()};
    return std::make_shared<win::StdPicture>(win::unique_hicon(::CreateIconIndirect(&info)));
}

class ThemedButtonPaint : public ::testing::Test {
protected:
    void SetUp() override { ::GetClientRect(window.button, &client); }

    [[nodiscard]] std::unique_ptr<Canvas> Paint() const {
        auto canvas = std::make_unique<Canvas>(client.right, client.bottom, kGrey);
        pvDrawButton(window.button, canvas->dc(), window.model);
        return canvas;
    }

    ButtonWindow window;
    RECT client{};
};

TEST_F(ThemedButtonPaint, EachStateShowsTheThemesOwnFaceAndFocusAddsTheFocusRectangle) {
    const uxtheme::unique_htheme theme(uxtheme::OpenThemeData(window.button, L"BUTTON"));
    ASSERT_TRUE(theme);
    const HWND b = window.button;
    struct Case {
        const char* name;
        std::function<void()> enter;
        int state;
        bool focused;
    };
    const Case cases[] = {
        {"normal", [] {}, PBS_NORMAL, false},
        {"hot", [b] { ::SetPropA(b, "Hot", reinterpret_cast<HANDLE>(1)); }, PBS_HOT, false},
        {"pressed", [this] { window.model.Value(true); }, PBS_PRESSED, false},
        {"focused", [b] { ::SetFocus(b); }, PBS_DEFAULTED, true},
    };
    // Points of the face away from the caption, and of the content rectangle's edges.
    const POINT samples[] = {{1, 1}, {1, 16}, {141, 16}, {70, 1}, {70, 31}, {10, 10}};
    std::vector<std::vector<COLORREF>> faces;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::SetPropA(b, "Hot", nullptr);
        window.model.Value(false);
        ::SetFocus(window.parent);
        c.enter();
        const auto painted = Paint();

        Canvas expected(client.right, client.bottom, kGrey);
        uxtheme::DrawThemeBackground(theme.get(), expected.dc(), BP_PUSHBUTTON, c.state, &client, &client);
        RECT content{};
        uxtheme::GetThemeBackgroundContentRect(theme.get(), expected.dc(), BP_PUSHBUTTON, c.state, &client, &content);
        std::vector<COLORREF> face;
        for (const POINT& p : samples) {
            EXPECT_EQ(painted->Pixel(p.x, p.y), expected.Pixel(p.x, p.y)) << p.x << "," << p.y;
            face.push_back(painted->Pixel(p.x, p.y));
        }
        // The content rectangle's top edge: the focus rectangle's dots, or the face.
        const auto topEdge = [&](const Canvas& canvas) {
            std::vector<COLORREF> row;
            for (LONG x = content.left; x < content.right; ++x) row.push_back(canvas.Pixel(x, content.top));
            return row;
        };
        EXPECT_EQ(topEdge(*painted) != topEdge(expected), c.focused);
        if (c.focused) {
            ::DrawFocusRect(expected.dc(), &content);
            EXPECT_EQ(topEdge(*painted), topEdge(expected));
        }
        faces.push_back(face);
    }
    EXPECT_NE(faces[0], faces[1]);
    EXPECT_NE(faces[1], faces[2]);
    EXPECT_NE(faces[0], faces[3]);
}

TEST_F(ThemedButtonPaint, MaskColourOfAPictureNeverShows) {
    window.model.Picture(BlockPicture());
    window.model.MaskColor(kMagenta);
    window.model.Caption("");
    // Centred in the content rectangle (3, 3)-(140, 30): x 63.5 and y 8.5 round to even.
    const POINT origin{64, 8};

    window.model.UseMaskColor(true);
    auto painted = Paint();
    EXPECT_EQ(Count(*painted, client, kMagenta), 0);
    EXPECT_EQ(Count(*painted, client, kBlue), 64);
    EXPECT_EQ(painted->Pixel(origin.x, origin.y), kBlue);
    // An icon is laid on the mask colour first, so that what it leaves transparent
    // stays out as well.
    window.model.Picture(BlockIcon());
    ASSERT_EQ(window.model.Picture()->PictureType(), win::StdPicture::Type::Icon);
    painted = Paint();
    EXPECT_EQ(Count(*painted, client, kMagenta), 0);
    EXPECT_EQ(Count(*painted, client, kBlue), 64);
    EXPECT_EQ(painted->Pixel(origin.x, origin.y), kBlue);
    EXPECT_EQ(Count(*painted, RECT{origin.x, origin.y, origin.x + 16, origin.y + 16}, RGB(0, 0, 0)), 0)
        << "the icon's transparent part shows";
    window.model.Picture(BlockPicture());

    window.model.Enabled(false);
    painted = Paint();
    EXPECT_EQ(Count(*painted, client, kMagenta), 0) << "embossed, the mask left out";
    EXPECT_EQ(Count(*painted, client, kBlue), 0);

    // Without the mask the picture is drawn opaque, upright and at its own size.
    window.model.Enabled(true);
    window.model.UseMaskColor(false);
    painted = Paint();
    EXPECT_EQ(Count(*painted, client, kMagenta), 16 * 16 - 64);
    EXPECT_EQ(painted->Pixel(origin.x, origin.y), kBlue);
    EXPECT_EQ(painted->Pixel(origin.x + 15, origin.y + 15), kMagenta);
}

TEST_F(ThemedButtonPaint, EveryPaintGivesBackWhatItMadeAndLeavesTheDcAsItWas) {
    window.model.Picture(BlockPicture());
    const Canvas canvas(client.right, client.bottom, kGrey);
    const paint_test::CallersDcState state(canvas.dc(), RECT{2, 2, 100, 30});
    const HGDIOBJ font = ::GetCurrentObject(canvas.dc(), OBJ_FONT);
    const auto paintEveryLook = [&] {
        for (const bool enabled : {true, false}) {
            for (const bool mask : {true, false}) {
                window.model.Enabled(enabled);
                window.model.UseMaskColor(mask);
                pvDrawButton(window.button, canvas.dc(), window.model);
            }
        }
    };
    EXPECT_EQ(paint_test::GdiObjectsLeftBehind(paintEveryLook), 0);
    EXPECT_EQ(::GetCurrentObject(canvas.dc(), OBJ_FONT), font);
    EXPECT_EQ(state.Changes(), "");
}

TEST(StdPictureRender, RectanglesWithEndsBeyond32BitsAreRefusedAndDrawNothing) {
    const auto picture = BlockPicture();
    const LONG w = picture->Width();
    const LONG h = picture->Height();
    const Canvas canvas(16, 16, kGrey);
    struct Case { LONG x, y, cx, cy, xSrc, ySrc, cxSrc, cySrc; };
    for (const Case c : {Case{LONG_MIN + 4, 16, -16, -16, 0, 0, w, h},
                         Case{0, 16, LONG_MIN, -16, 0, 0, w, h},
                         Case{0, 16, 16, -16, LONG_MAX, 0, 1, h},
                         Case{0, 16, 16, -16, 0, LONG_MIN, w, -1}}) {
        const HRESULT result =
            picture->Render(canvas.dc(), c.x, c.y, c.cx, c.cy, c.xSrc, c.ySrc, c.cxSrc, c.cySrc);
        EXPECT_EQ(result, E_INVALIDARG) << c.x << " " << c.cx << " " << c.xSrc << " " << c.ySrc;
    }
    EXPECT_EQ(Count(canvas, RECT{0, 0, 16, 16}, kGrey), 16 * 16);
}

TEST(pvTranslateSysColor, SystemColoursResolveByTheirLowByte) {
    EXPECT_EQ(pvTranslateSysColor(0x8000000F), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pvTranslateSysColor(0x80000105), ::GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(pvTranslateSysColor(0x00123456), 0x00123456u);
}

}  // namespace

#include "TestSupport.h"
#include "ThemeTestSupport.h"
#include "UxTheme.h"

#include <gtest/gtest.h>

#include <vssym32.h>

#include <memory>

namespace {

using namespace mdXpThemeSupport;
using xptheme_testing::ButtonWindow;

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGrey = RGB(0x80, 0x80, 0x80);

// A 32 bits per pixel DIB section selected into a memory DC, filled with one colour.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill)
        : m_width(width), m_height(height), m_dc(::CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_bitmap.reset(::CreateDIBSection(m_dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_selection = win::SelectObject(m_dc.get(), m_bitmap.get());
        Fill({0, 0, width, height}, fill);
    }
    [[nodiscard]] HDC dc() const { return m_dc.get(); }
    [[nodiscard]] COLORREF At(int x, int y) const { return ::GetPixel(m_dc.get(), x, y); }
    void Fill(const RECT& area, COLORREF colour) const {
        const win::unique_hbrush brush(::CreateSolidBrush(colour));
        ::FillRect(m_dc.get(), &area, brush.get());
    }
    [[nodiscard]] int Count(COLORREF colour) const {
        int count = 0;
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) count += At(x, y) == colour;
        }
        return count;
    }
    // Hands the bitmap over as a picture (it must be deselected first).
    [[nodiscard]] GraphicalButton::PicturePtr TakePicture() {
        m_selection.reset();
        return std::make_shared<win::StdPicture>(std::move(m_bitmap));
    }

private:
    int m_width;
    int m_height;
    win::unique_hdc m_dc;
    win::unique_hbitmap m_bitmap;
    win::unique_select m_selection;
};

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
            EXPECT_EQ(painted->At(p.x, p.y), expected.At(p.x, p.y)) << p.x << "," << p.y;
            face.push_back(painted->At(p.x, p.y));
        }
        // The content rectangle's top edge: the focus rectangle's dots, or the face.
        const auto topEdge = [&](const Canvas& canvas) {
            std::vector<COLORREF> row;
            for (LONG x = content.left; x < content.right; ++x) row.push_back(canvas.At(x, content.top));
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
    Canvas picture(16, 16, kMagenta);
    picture.Fill({0, 0, 8, 8}, kBlue);
    window.model.Picture(picture.TakePicture());
    window.model.MaskColor(kMagenta);
    window.model.Caption("");
    // Centred in the content rectangle (3, 3)-(140, 30): x 63.5 and y 8.5 round to even.
    const POINT origin{64, 8};

    window.model.UseMaskColor(true);
    auto painted = Paint();
    EXPECT_EQ(painted->Count(kMagenta), 0);
    EXPECT_EQ(painted->Count(kBlue), 64);
    EXPECT_EQ(painted->At(origin.x, origin.y), kBlue);

    window.model.Enabled(false);
    painted = Paint();
    EXPECT_EQ(painted->Count(kMagenta), 0) << "embossed, the mask left out";
    EXPECT_EQ(painted->Count(kBlue), 0);

    // Without the mask the picture is drawn opaque, upright and at its own size.
    window.model.Enabled(true);
    window.model.UseMaskColor(false);
    painted = Paint();
    EXPECT_EQ(painted->Count(kMagenta), 16 * 16 - 64);
    EXPECT_EQ(painted->At(origin.x, origin.y), kBlue);
    EXPECT_EQ(painted->At(origin.x + 15, origin.y + 15), kMagenta);
}

TEST(pvTranslateSysColor, SystemColoursResolveByTheirLowByte) {
    EXPECT_EQ(pvTranslateSysColor(0x8000000F), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pvTranslateSysColor(0x80000105), ::GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(pvTranslateSysColor(0x00123456), 0x00123456u);
}

}  // namespace

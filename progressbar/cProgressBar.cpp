#include "cProgressBar.h"

#include "AnsiText.h"
#include "OleColor.h"
#include "ProgressGeometry.h"
#include "SystemLibrary.h"
#include "UxTheme.h"

#include <olectl.h>
#include <vssym32.h>

#include <algorithm>
#include <climits>
#include <utility>

namespace geo = progress_geometry;

namespace {

constexpr wchar_t kThemeClass[] = L"Progress";
constexpr geo::Segmentation kClassicSegments{8, 2};

// The brush an area is filled with: the system's own brush for a system colour
// (never deleted), a brush made for the fill otherwise.
class AreaBrush {
public:
    explicit AreaBrush(OLE_COLOR oColor) noexcept {
        if (const auto index = win::SystemBrushIndex(oColor)) {
            m_brush = ::GetSysColorBrush(*index);
        } else {
            m_owned.reset(::CreateSolidBrush(oColor));
            m_brush = m_owned.get();
        }
    }
    [[nodiscard]] HBRUSH get() const noexcept { return m_brush; }

private:
    win::unique_hbrush m_owned;
    HBRUSH m_brush = nullptr;
};

void pvFillArea(HDC hDC, const RECT& rect, OLE_COLOR oColor) noexcept {
    const AreaBrush brush(oColor);
    // A system colour index the system has no brush for (the default -1 names index
    // 31) gives no brush, and the fill then leaves the area as it was.
    ::FillRect(hDC, &rect, brush.get());
}

// The part of the DC that drawing can change, in logical units: a paint that is
// asked for a huge rectangle then costs no more than the DC's own size. A DC that
// cannot tell (a metafile's) is taken as unbounded. The box is put in order, as a
// mapping mode may turn an axis over; an empty clip area leaves it undefined.
RECT pvVisibleArea(HDC hDC) noexcept {
    RECT box{};
    switch (::GetClipBox(hDC, &box)) {
    case ERROR: return RECT{LONG_MIN, LONG_MIN, LONG_MAX, LONG_MAX};
    case NULLREGION: return RECT{};
    default:
        return RECT{std::min(box.left, box.right), std::min(box.top, box.bottom),
                    std::max(box.left, box.right), std::max(box.top, box.bottom)};
    }
}

void pvFillGaps(HDC hDC, const RECT& bar, const RECT& content, bool horizontal,
                OLE_COLOR oColor) noexcept {
    const AreaBrush brush(oColor);
    const geo::IndexRange gaps =
        geo::GapsWithin(bar, kClassicSegments, horizontal, pvVisibleArea(hDC));
    for (int64_t index = gaps.first; index < gaps.last; ++index) {
        const RECT gap = geo::GapRect(bar, content, kClassicSegments, horizontal, index);
        ::FillRect(hDC, &gap, brush.get());
    }
}

// Bound on first use: only a caption needs it, and importing it would load the
// OLE libraries before the window's first paint.
using TranslateColorFn = HRESULT(WINAPI*)(OLE_COLOR, HPALETTE, COLORREF*);

COLORREF pvTranslateColor(OLE_COLOR oColor) noexcept {
    static win::BoundEntry<TranslateColorFn> translate(
        [](const char* name) noexcept { return win::SystemProcAddress(L"oleaut32.dll", name); }, "OleTranslateColor");
    COLORREF rgb = 0;
    const TranslateColorFn entry = translate.get();
    return entry && SUCCEEDED(entry(oColor, nullptr, &rgb)) ? rgb : CLR_INVALID;
}

COLORREF PenColor(geo::BorderPen pen) noexcept {
    switch (pen) {
    case geo::BorderPen::Shadow: return ::GetSysColor(COLOR_BTNSHADOW);
    case geo::BorderPen::Light: return ::GetSysColor(COLOR_BTNHIGHLIGHT);
    default: return RGB(0, 0, 0);
    }
}

void pvDrawBorder(HDC hDC, int eType, const RECT& rect, bool bRaised) noexcept {
    if (eType == progress_bar::kSoft3D) {
        RECT edge = rect;
        ::DrawEdge(hDC, &edge, bRaised ? EDGE_RAISED : EDGE_SUNKEN, BF_RECT | BF_SOFT);
        return;
    }
    const geo::BorderStrokes lines = geo::LineBorder(eType, rect, bRaised);
    for (std::size_t i = 0; i < lines.count; ++i) {
        const geo::BorderStroke& stroke = lines.strokes[i];
        const win::unique_hpen pen(::CreatePen(PS_SOLID, 1, PenColor(stroke.pen)));
        const auto selected = win::SelectObject(hDC, pen.get());
        if (!selected) continue;
        ::MoveToEx(hDC, stroke.points[0].x, stroke.points[0].y, nullptr);
        for (std::size_t p = 1; p < stroke.count; ++p) {
            ::LineTo(hDC, stroke.points[p].x, stroke.points[p].y);
        }
    }
}

ArithmeticStatus pvTilePicture(HDC hDC, int x, int y, int w, int h, HDC srcDC, int srcW, int srcH,
                               int xPhase, int yPhase) noexcept {
    const auto columns = geo::TileSpans::Of(x, w, srcW, xPhase);
    if (!columns) return columns.error();
    const auto rows = geo::TileSpans::Of(y, h, srcH, yPhase);
    if (!rows) return rows.error();
    const RECT visible = pvVisibleArea(hDC);
    const geo::IndexRange rowRange = rows->Within(visible.top, visible.bottom);
    const geo::IndexRange columnRange = columns->Within(visible.left, visible.right);
    for (int64_t r = rowRange.first; r < rowRange.last; ++r) {
        const geo::TileSpan row = (*rows)[r];
        for (int64_t c = columnRange.first; c < columnRange.last; ++c) {
            const geo::TileSpan column = (*columns)[c];
            ::BitBlt(hDC, column.dst, row.dst, column.length, row.length, srcDC, column.src,
                     row.src, SRCCOPY);
        }
    }
    return Succeeded();
}

// Covers (0, 0, width, height) of the DC with the picture, tiled or stretched.
ArithmeticStatus pvDrawPicture(HDC hDC, pcMemDC& picture, int eMode,
                               const geo::Extent& area) noexcept {
    const HDC source = picture.hDC(picture.Width(), picture.Height());
    if (eMode == progress_bar::kTiled) {
        return pvTilePicture(hDC, 0, 0, area.width, area.height, source, picture.Width(),
                             picture.Height(), 0, 0);
    }
    ::StretchBlt(hDC, 0, 0, area.width, area.height, source, 0, 0, picture.Width(),
                 picture.Height(), SRCCOPY);
    return Succeeded();
}

// Opens the visual style for the window and draws the bar's trough into the target.
// Answers whether the visual style is in use; `metrics` gets the theme's blocks. An
// opened theme stays in `theme` for the rest of the paint, whatever the answer.
ArithmeticResult<bool> pvDrawThemedTrough(HWND hWnd, HDC hDC, const RECT& target, bool horizontal,
                                          uxtheme::unique_htheme& theme,
                                          geo::Segmentation& metrics) noexcept {
    theme.reset(uxtheme::OpenThemeData(hWnd, kThemeClass));
    if (!theme) return false;
    int chunk = 0;
    int space = 0;
    if (FAILED(uxtheme::GetThemeInt(theme.get(), 0, 0, TMT_PROGRESSCHUNKSIZE, &chunk)) ||
        FAILED(uxtheme::GetThemeInt(theme.get(), 0, 0, TMT_PROGRESSSPACESIZE, &space))) {
        return false;
    }
    const auto segmentation = geo::ThemeSegmentation(chunk, space);
    if (!segmentation) return segmentation.error();
    metrics = *segmentation;
    return SUCCEEDED(uxtheme::DrawThemeBackground(theme.get(), hDC, horizontal ? PP_BAR : PP_BARVERT,
                                                  0, &target, &target));
}

[[nodiscard]] win::unique_select pvSelectFont(HDC hDC,
                                              const std::shared_ptr<win::StdFont>& font) noexcept {
    // Without a font object the caption is written in the DC's current font.
    return win::SelectObject(hDC, font ? font->hFont() : nullptr);
}

// One pass of the classic caption, padded by a space on each side. A colour that
// cannot be translated draws nothing rather than text in an undefined colour.
void pvDrawClassicCaption(HDC hDC, const RECT& content, const std::string& sText, UINT format,
                          OLE_COLOR oColor) noexcept {
    const COLORREF colour = pvTranslateColor(oColor);
    if (colour == CLR_INVALID) return;
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, colour);
    const std::string padded = " " + sText + " ";
    RECT area = content;
    ::DrawTextA(hDC, padded.c_str(), -1, &area, format);
}

void pvDrawThemedCaption(HTHEME theme, HDC hDC, const RECT& content, const std::string& sText,
                         UINT format) noexcept {
    RECT area = content;
    if (FAILED(uxtheme::GetThemeBackgroundContentRect(theme, hDC, 0, 0, &content, &area))) {
        area = content;
    }
    const std::wstring wide = win::WideFromAnsi(sText);
    uxtheme::DrawThemeText(theme, hDC, 0, 0, wide.c_str(), -1, format, 0, &area);
}

}  // namespace

cProgressBar::cProgressBar() {
    Font(std::make_shared<win::StdFont>("Tahoma", 8));
}

void cProgressBar::Tag(std::string sTag) noexcept {
    m_tag = std::move(sTag);
}

void cProgressBar::Segments(bool bState) noexcept { pvSetAndDraw(m_segments, bState); }
void cProgressBar::XpStyle(bool bState) noexcept { pvSetAndDraw(m_xpStyle, bState); }
void cProgressBar::Text(std::string sText) noexcept { pvSetAndDraw(m_text, std::move(sText)); }
void cProgressBar::TextAlignX(int eAlign) noexcept { pvSetAndDraw(m_textAlignX, eAlign); }
void cProgressBar::TextAlignY(int eAlign) noexcept { pvSetAndDraw(m_textAlignY, eAlign); }
void cProgressBar::ShowText(bool bState) noexcept { pvSetAndDraw(m_showText, bState); }
void cProgressBar::Min(int lMin) noexcept { pvSetAndDraw(m_min, lMin); }
void cProgressBar::Max(int lMax) noexcept { pvSetAndDraw(m_max, lMax); }
void cProgressBar::Value(int lValue) noexcept { pvSetAndDraw(m_value, lValue); }
void cProgressBar::BorderStyle(int eStyle) noexcept { pvSetAndDraw(m_borderStyle, eStyle); }
void cProgressBar::Appearance(int eAppearance) noexcept { pvSetAndDraw(m_appearance, eAppearance); }
void cProgressBar::DrawObject(DrawHost* host) noexcept { pvSetAndDraw(m_host, host); }
void cProgressBar::BackColor(OLE_COLOR oColor) noexcept { pvSetAndDraw(m_backColor, oColor); }
void cProgressBar::ForeColor(OLE_COLOR oColor) noexcept { pvSetAndDraw(m_foreColor, oColor); }
void cProgressBar::BarColor(OLE_COLOR oColor) noexcept { pvSetAndDraw(m_barColor, oColor); }
void cProgressBar::BarForeColor(OLE_COLOR oColor) noexcept { pvSetAndDraw(m_barForeColor, oColor); }
void cProgressBar::BarPictureMode(int eMode) noexcept { pvSetAndDraw(m_barPictureMode, eMode); }
void cProgressBar::BackPictureMode(int eMode) noexcept { pvSetAndDraw(m_backPictureMode, eMode); }

void cProgressBar::Font(std::shared_ptr<win::StdFont> font) noexcept {
    pvSetAndDraw(m_font, std::move(font));
}

HRESULT cProgressBar::BarPicture(const win::StdPicture* sPic) noexcept {
    return pvSetPicture(sPic, m_barPicture);
}

HRESULT cProgressBar::Picture(const win::StdPicture* sPic) noexcept {
    return pvSetPicture(sPic, m_backPicture);
}

ArithmeticResult<double> cProgressBar::Percent() const noexcept {
    const auto fraction = geo::FilledFraction(m_min, m_max, m_value);
    if (!fraction) return fraction.error();
    return *fraction * 100;
}

void cProgressBar::Draw() noexcept {
    if (!m_host) return;
    const HWND hWnd = m_host->hWnd();
    const HDC hDC = m_host->hDC();
    RECT client{};
    ::GetClientRect(hWnd, &client);
    (void)DrawToDC(hWnd, hDC, client.left, client.top, client.right, client.bottom);
}

ArithmeticStatus cProgressBar::DrawToDC(HWND hWnd, HDC hDC, int lLeft, int lTop, int lRight,
                                        int lBottom) noexcept {
    RECT target{lLeft, lTop, lRight, lBottom};
    const auto extent = geo::ExtentOf(target);
    if (!extent) return extent.error();
    const bool horizontal = geo::IsHorizontal(*extent);

    // Composed off screen when the buffer can give a surface, straight into the
    // target otherwise.
    HDC D = m_buffer.hDC(extent->width, extent->height);
    const bool buffered = D != nullptr;
    if (buffered) {
        target = geo::MovedToOrigin(target);
    } else {
        D = hDC;
    }
    // Whatever the paint sets in the DC, the caller's above all, is given back.
    const auto callersState = win::SaveDC(D);

    uxtheme::unique_htheme theme;
    bool themed = false;
    geo::Segmentation segments{};
    if (m_backPicture) {
        const auto drawn = pvDrawPicture(D, *m_backPicture, m_backPictureMode, *extent);
        if (!drawn) return drawn;
    } else {
        if (m_xpStyle) {
            const auto trough = pvDrawThemedTrough(hWnd, D, target, horizontal, theme, segments);
            if (!trough) return trough.error();
            themed = *trough;
        }
        if (!themed) pvFillArea(D, target, m_backColor);
    }
    if (m_segments && !themed) segments = kClassicSegments;

    const auto content =
        geo::Deflated(target, geo::ContentInset(m_borderStyle, m_appearance, themed));
    if (!content) return content.error();
    const bool showText = m_showText && !m_text.empty();
    const UINT format = geo::TextFormat(m_textAlignX, m_textAlignY);

    // The caption in ForeColor across the whole content; the bar covers part of it
    // below, and a second pass clipped to the bar writes that part in BarForeColor.
    if (showText && !themed) {
        const auto font = pvSelectFont(D, m_font);
        pvDrawClassicCaption(D, *content, m_text, format, m_foreColor);
    }

    const bool inBlocks = m_segments || themed;
    const auto bar = geo::BarFor(m_min, m_max, m_value, *content, horizontal,
                                 inBlocks ? std::optional(segments) : std::nullopt);
    if (!bar) return bar.error();

    // The bar's fill and the caption's second pass stay on the bar, within whatever
    // clip the DC already has, until the border is drawn.
    win::unique_dc_state unclipped;
    if (!themed) {
        unclipped = win::SaveDC(D);
        ::IntersectClipRect(D, bar->left, bar->top, bar->right, bar->bottom);
    }

    if (m_barPicture) {
        const auto drawn = pvDrawPicture(D, *m_barPicture, m_barPictureMode, *extent);
        if (!drawn) return drawn;
    } else if (themed) {
        uxtheme::DrawThemeBackground(theme.get(), D, horizontal ? PP_CHUNK : PP_CHUNKVERT, 0,
                                     &*bar, &*bar);
    } else {
        pvFillArea(D, *bar, m_barColor);
    }
    if (m_segments && !themed) pvFillGaps(D, *bar, *content, horizontal, m_backColor);

    if (showText) {
        const auto font = pvSelectFont(D, m_font);
        if (themed) {
            pvDrawThemedCaption(theme.get(), D, *content, m_text, format);
        } else {
            pvDrawClassicCaption(D, *content, m_text, format, m_barForeColor);
        }
    }

    if (!themed) {
        unclipped.reset();
        if (const auto border = geo::BorderFor(m_borderStyle, m_appearance)) {
            pvDrawBorder(D, border->type, border->onContent ? *content : target, border->raised);
        }
    }

    // An empty target takes nothing: the buffer would read its size as "all of it".
    if (buffered && extent->width > 0 && extent->height > 0) {
        m_buffer.Draw(hDC, 0, 0, extent->width, extent->height, lLeft, lTop);
    }
    return Succeeded();
}

HRESULT cProgressBar::pvSetPicture(const win::StdPicture* sPic,
                                   std::optional<pcMemDC>& field) noexcept {
    field.reset();
    HRESULT result = S_OK;
    if (sPic) {
        field.emplace();
        result = field->CreateFromPicture(*sPic);
        // A failed copy would leave an empty picture that stops every tiled paint.
        if (FAILED(result)) field.reset();
    }
    Draw();
    return result;
}

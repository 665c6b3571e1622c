// The themed painting of a graphical button: the parent's background outside the
// button's shape, the theme's push-button face for the button's state, the focus
// rectangle, the caption in the theme's text style and the picture, transparent by
// its mask colour or embossed while the button is disabled.

#include "AnsiText.h"
#include "ButtonLayout.h"
#include "Int32Math.h"
#include "mdXpThemeSupportInternal.h"
#include "OleColor.h"
#include "Units.h"
#include "UxTheme.h"

#include <vssym32.h>

#include <string>

namespace mdXpThemeSupport {
namespace {

using PicturePtr = GraphicalButton::PicturePtr;

constexpr COLORREF kWhite = RGB(255, 255, 255);

bool HoldsImage(const PicturePtr& picture) noexcept {
    return picture && picture->Handle();
}

PicturePtr pvPictureOrDefault(const PicturePtr& first, const PicturePtr& fallback) {
    return HoldsImage(first) ? first : fallback;
}

PicturePtr PictureFor(const GraphicalButton& button, PictureChoice choice) {
    switch (choice) {
    case PictureChoice::Down: return pvPictureOrDefault(button.DownPicture(), button.Picture());
    case PictureChoice::Disabled: return pvPictureOrDefault(button.DisabledPicture(), button.Picture());
    case PictureChoice::Normal: break;
    }
    return button.Picture();
}

float ScreenTwipsPerPixel() noexcept {
    return static_cast<float>(win::kTwipsPerInch) / static_cast<float>(win::ScreenDpi().x);
}

void pvDrawRect(HDC hDC, int x, int y, int width, int height, COLORREF color) noexcept {
    const auto right = win::TrySum(x, width);
    const auto bottom = win::TrySum(y, height);
    if (!right || !bottom) {
        ::SetLastError(ERROR_ARITHMETIC_OVERFLOW);
        pvReportError("pvDrawRect");
        return;
    }
    const win::unique_hbrush brush(::CreateSolidBrush(color));
    if (!brush) {
        pvReportError("pvDrawRect");
        return;
    }
    const RECT area{x, y, *right, *bottom};
    ::FillRect(hDC, &area, brush.get());
}

// An off-screen bitmap compatible with the screen, selected into a DC of its own.
struct WorkSurface {
    win::unique_window_dc screen;
    win::unique_hdc dc;
    win::unique_hbitmap bitmap;
    win::unique_select selection;

    WorkSurface(int width, int height) noexcept
        : screen(win::GetDC(nullptr)),
          dc(::CreateCompatibleDC(screen.get())),
          bitmap(::CreateCompatibleBitmap(screen.get(), width, height)),
          selection(win::SelectObject(dc.get(), bitmap.get())) {}

    explicit operator bool() const noexcept { return static_cast<bool>(selection); }
};

void pvDrawTransparentPicture(const win::StdPicture* picture, HDC hDC, int x, int y, int width,
                              int height, COLORREF mask, int xSrc, int ySrc, int widthSrc,
                              int heightSrc) noexcept {
    if (!picture || !picture->Handle()) return;
    if (widthSrc == 0) widthSrc = width;
    if (heightSrc == 0) heightSrc = height;
    const WorkSurface work(widthSrc, heightSrc);
    if (!work) {
        pvReportError("pvDrawTransparentPicture");
        return;
    }
    const auto image = reinterpret_cast<LPARAM>(picture->Handle());
    switch (picture->PictureType()) {
    case win::StdPicture::Type::Icon:
        // What the icon leaves transparent keeps the mask colour and so stays out.
        pvDrawRect(work.dc.get(), 0, 0, widthSrc, heightSrc, mask);
        ::DrawStateA(work.dc.get(), nullptr, nullptr, image, 0, 0, 0, widthSrc, heightSrc, DST_ICON);
        break;
    case win::StdPicture::Type::Bitmap:
        ::DrawStateA(work.dc.get(), nullptr, nullptr, image, 0, 0, 0, widthSrc, heightSrc, DST_BITMAP);
        break;
    default:
        break;
    }
    if (!::GdiTransparentBlt(hDC, x, y, width, height, work.dc.get(), xSrc, ySrc, widthSrc, heightSrc, mask)) {
        pvReportError("pvDrawTransparentPicture");
    }
}

void pvDrawDisabledPicture(const win::StdPicture* picture, HDC hDC, int x, int y, int width,
                           int height, COLORREF mask) noexcept {
    if (!picture || !picture->Handle()) return;
    WorkSurface work(width, height);
    if (!work) {
        pvReportError("pvDrawDisabledPicture");
        return;
    }
    // The picture over white, its mask colour left white: the system's embossing
    // leaves white out.
    pvDrawRect(work.dc.get(), 0, 0, width, height, kWhite);
    pvDrawTransparentPicture(picture, work.dc.get(), 0, 0, width, height, mask, 0, 0, 0, 0);
    work.selection.reset();
    ::DrawStateA(hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(work.bitmap.get()), 0, x, y,
                 width, height, DST_BITMAP | DSS_DISABLED);
}

struct ButtonState {
    bool held;
    bool focused;
    bool chosen;
    bool hot;
};

ButtonState ReadButtonState(HWND hWnd, const GraphicalButton& button) noexcept {
    const LRESULT state = ::SendMessageA(hWnd, BM_GETSTATE, 0, 0);
    return {(state & BST_PUSHED) != 0, (state & BST_FOCUS) != 0, button.Value(), pvIsHot(hWnd)};
}

bool ReadDefaultLook(HWND hWnd, const GraphicalButton& button) {
    return HasDefaultLook(button.Default(), ::GetFocus() == hWnd,
                          button.ParentActiveControl() != nullptr);
}

// Where the button's shape leaves the client rectangle uncovered, the parent shows
// through; the button's BackColor stands in when the parent cannot be drawn.
void PaintParentBackground(HWND hWnd, HDC hDC, HTHEME theme, int state, const RECT& client,
                           OLE_COLOR backColor) noexcept {
    win::unique_hrgn shape;
    uxtheme::GetThemeBackgroundRegion(theme, hDC, BP_PUSHBUTTON, state, &client, shape.put());
    // The parent paints outside the shape, within the caller's clip; that clip, and
    // whatever the parent's painting sets, are the caller's again for the face.
    const auto callersClip = win::SaveDC(hDC);
    if (shape) ::ExtSelectClipRgn(hDC, shape.get(), RGN_DIFF);
    if (uxtheme::DrawThemeParentBackground(hWnd, hDC, &client) != S_OK) {
        pvDrawRect(hDC, 0, 0, client.right, client.bottom, pvTranslateSysColor(backColor));
    }
}

// Paints the face and returns the content rectangle, the client rectangle when the
// theme reports none.
RECT PaintFace(HDC hDC, HTHEME theme, int state, const RECT& client) noexcept {
    uxtheme::DrawThemeBackground(theme, hDC, BP_PUSHBUTTON, state, &client, &client);
    RECT content = client;
    if (FAILED(uxtheme::GetThemeBackgroundContentRect(theme, hDC, BP_PUSHBUTTON, state, &client, &content))) {
        content = client;
    }
    return content;
}

// Draws the caption, if there is one, and returns the area left for the picture.
RECT PaintCaption(HDC hDC, HTHEME theme, int state, const GraphicalButton& button,
                  const RECT& content, bool withPicture) {
    const std::string caption = button.Caption();
    if (caption.empty()) return content;
    win::unique_select font;
    if (button.Font()) {
        font = win::SelectObject(hDC, button.Font()->hFont());
    } else {
        ::SetLastError(ERROR_INVALID_HANDLE);
        pvReportError("pvDrawButton");
    }
    RECT measured = content;
    ::DrawTextA(hDC, caption.c_str(), -1, &measured, DT_CALCRECT | DT_WORDBREAK);
    const std::optional<RECT> text = CaptionRect(content, measured.bottom, withPicture);
    if (!text) {
        ::SetLastError(ERROR_ARITHMETIC_OVERFLOW);
        pvReportError("pvDrawButton");
        return content;
    }
    const std::wstring wide = win::WideFromAnsi(caption);
    uxtheme::DrawThemeText(theme, hDC, BP_PUSHBUTTON, state, wide.c_str(), -1, DT_CENTER | DT_WORDBREAK,
                           0, &*text);
    RECT pictureArea = content;
    pictureArea.bottom = text->top;
    return pictureArea;
}

void PaintPicture(HDC hDC, const win::StdPicture& picture, const RECT& area,
                  const GraphicalButton& button, bool enabled) noexcept {
    const int width = pvHiMetricToPixels(picture.Width());
    const int height = pvHiMetricToPixels(picture.Height());
    const std::optional<POINT> origin = PictureOrigin(area, width, height);
    if (!origin) {
        ::SetLastError(ERROR_ARITHMETIC_OVERFLOW);
        pvReportError("pvDrawButton");
        return;
    }
    const COLORREF mask = pvTranslateSysColor(button.MaskColor());
    if (!enabled) {
        pvDrawDisabledPicture(&picture, hDC, origin->x, origin->y, width, height, mask);
    } else if (button.UseMaskColor()) {
        pvDrawTransparentPicture(&picture, hDC, origin->x, origin->y, width, height, mask, 0, 0, 0, 0);
    } else {
        // Bottom-up destination over the whole picture: upright, at its pixel size.
        picture.Render(hDC, origin->x, origin->y + height, width, -height, 0, 0, picture.Width(),
                       picture.Height());
    }
}

}  // namespace

void pvDrawButton(HWND hWnd, HDC hDC, const GraphicalButton& button) {
    // Everything the paint sets in the caller's DC is given back when it ends.
    const auto callersState = win::SaveDC(hDC);
    const ButtonState state = ReadButtonState(hWnd, button);
    const bool enabled = button.Enabled();
    const ButtonLook look = ChooseButtonLook(
        {enabled, state.hot, state.held, state.chosen, state.focused, ReadDefaultLook(hWnd, button)});
    PicturePtr picture = PictureFor(button, look.picture);
    if (!HoldsImage(picture)) picture.reset();

    RECT client{};
    ::GetClientRect(hWnd, &client);
    RECT pictureArea{};
    {
        const uxtheme::unique_htheme theme(uxtheme::OpenThemeData(hWnd, L"BUTTON"));
        PaintParentBackground(hWnd, hDC, theme.get(), look.state, client, button.BackColor());
        const RECT content = PaintFace(hDC, theme.get(), look.state, client);
        if (state.focused) ::DrawFocusRect(hDC, &content);
        pictureArea = PaintCaption(hDC, theme.get(), look.state, button, content, picture != nullptr);
    }
    if (picture) PaintPicture(hDC, *picture, pictureArea, button, enabled);
}

COLORREF pvTranslateSysColor(OLE_COLOR oColor) noexcept {
    if (const auto index = win::SystemColorIndexOfLowByte(oColor)) return ::GetSysColor(*index);
    return oColor;
}

int pvHiMetricToPixels(double himetric) noexcept {
    const std::optional<int> pixels = HiMetricToPixels(himetric, ScreenTwipsPerPixel());
    if (pixels) return *pixels;
    ::SetLastError(ERROR_ARITHMETIC_OVERFLOW);
    pvReportError("pvDrawButton");
    return 0;
}

}  // namespace mdXpThemeSupport

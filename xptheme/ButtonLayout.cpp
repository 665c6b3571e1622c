#include "ButtonLayout.h"

#include "Int32Math.h"
#include "Units.h"

#include <cstdint>

namespace mdXpThemeSupport {
namespace {

// The middle position of a length inside [low, high), halves to the even side.
std::optional<int> Centred(LONG low, LONG high, int length) noexcept {
    return win::TryRoundHalfEven((static_cast<double>(high) - low - length) / 2 + low);
}

}  // namespace

ButtonLook ChooseButtonLook(const ButtonCondition& c) noexcept {
    if (!c.enabled) return {kDisabled, PictureChoice::Disabled};
    if (c.hot && !c.held) return {kHot, c.chosen ? PictureChoice::Down : PictureChoice::Normal};
    if (c.chosen || c.held) return {kPressed, PictureChoice::Down};
    if (c.focused || c.defaultLook) return {kDefaulted, PictureChoice::Normal};
    return {kNormal, PictureChoice::Normal};
}

bool HasDefaultLook(bool isDefault, bool hasFocus, bool activeControlHasDefault) noexcept {
    if (hasFocus || !activeControlHasDefault) return isDefault;
    // The look stays only while that Default, as the form hands it over, is greater
    // than 0; the form hands true over as -1. So any readable Default takes the look
    // away, the button's own included while its form is not the active window.
    return false;
}

std::optional<RECT> CaptionRect(const RECT& content, int measuredBottom, bool withPicture) noexcept {
    // measuredBottom counts from the client's top edge (it includes content.top), and
    // these formulas use it as it is.
    std::optional<int> top;
    std::optional<int> bottom;
    if (withPicture) {
        top = win::TrySum(static_cast<int64_t>(content.bottom) - measuredBottom, 1);
        bottom = content.bottom;
    } else {
        top = win::TryRoundHalfEven((static_cast<double>(content.bottom) - measuredBottom) / 2 + 2);
        if (top) bottom = win::TrySum(*top, measuredBottom);
    }
    if (!top || !bottom) return std::nullopt;
    return RECT{content.left, *top, content.right, *bottom};
}

std::optional<POINT> PictureOrigin(const RECT& area, int width, int height) noexcept {
    const auto x = Centred(area.left, area.right, width);
    const auto y = Centred(area.top, area.bottom, height);
    if (!x || !y) return std::nullopt;
    return POINT{*x, *y};
}

std::optional<int> HiMetricToPixels(double himetric, float twipsPerPixel) noexcept {
    const double pixelsPerInch = static_cast<double>(win::kTwipsPerInch) / twipsPerPixel;
    return win::TryRoundHalfEven(pixelsPerInch * (himetric / win::kHimetricPerInch));
}

}  // namespace mdXpThemeSupport

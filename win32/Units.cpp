#include "Units.h"

#include "Int32Math.h"
#include "UniqueHandle.h"

namespace win {

Dpi ScreenDpi() noexcept {
    const auto screen = GetDC(nullptr);
    if (!screen) return {};
    const int x = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
    const int y = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    return {x > 0 ? x : kStandardDpi, y > 0 ? y : kStandardDpi};
}

int TwipsToPixels(int twips, int dpi) noexcept {
    return RoundHalfEven(static_cast<double>(twips) * dpi / kTwipsPerInch);
}

}  // namespace win

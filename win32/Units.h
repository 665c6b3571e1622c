#pragma once
// The units that lengths come in, and the screen resolution that turns them into
// pixels.

namespace win {

// Twips, the unit of the window's layout: 1440 to the inch.
inline constexpr int kTwipsPerInch = 1440;
// HIMETRIC, the unit of picture sizes: hundredths of a millimetre, 2540 to the inch.
inline constexpr int kHimetricPerInch = 2540;
// A standard screen's pixels per inch: what a picture's HIMETRIC size is counted
// at, and what stands in for a screen that does not tell its own.
inline constexpr int kStandardDpi = 96;

struct Dpi {
    int x = kStandardDpi;
    int y = kStandardDpi;
};
// The screen's pixels per logical inch, across and down.
[[nodiscard]] Dpi ScreenDpi() noexcept;

// A length in twips as pixels at `dpi`, rounded to the nearest pixel with an exact
// half going to the even neighbour (at 144 dpi, 2145 twips are 214 pixels).
[[nodiscard]] int TwipsToPixels(int twips, int dpi) noexcept;

}  // namespace win

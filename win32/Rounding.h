#pragma once
// Conversion of a floating-point value to a 32-bit integer by rounding to the
// nearest integer, an exact half going to the even neighbour (4.5 -> 4, 5.5 -> 6).

#include <cmath>
#include <cstdint>
#include <optional>

namespace win {

// The value rounded, or nothing when it does not fit a 32-bit signed integer
// (or is not a number).
[[nodiscard]] inline std::optional<int32_t> TryRoundHalfEven(double value) noexcept {
    // std::nearbyint rounds in the current rounding mode, which is round-to-nearest,
    // ties-to-even unless a caller changed it; the program never does.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return std::nullopt;
    return static_cast<int32_t>(rounded);
}

// For values known to be in range; out-of-range values give 0.
[[nodiscard]] inline int32_t RoundHalfEven(double value) noexcept {
    return TryRoundHalfEven(value).value_or(0);
}

}  // namespace win

#pragma once
// Results that have to fit a 32-bit signed integer: a floating-point value rounded
// to the nearest integer, an exact half going to the even neighbour (4.5 -> 4,
// 5.5 -> 6), and a sum. Each is nothing when it does not fit.

#include <cmath>
#include <cstdint>
#include <optional>

namespace win {

[[nodiscard]] constexpr std::optional<int32_t> TryInt32(int64_t value) noexcept {
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

// Taken 64 bits wide, so that sums and differences of 32-bit values can be passed.
[[nodiscard]] constexpr std::optional<int32_t> TrySum(int64_t a, int64_t b) noexcept {
    return TryInt32(a + b);
}

// The value rounded, or nothing when it does not fit (or is not a number).
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

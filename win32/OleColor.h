#pragma once
// OLE colours: 0x00BBGGRR, or with bit 31 set a system colour whose index is in the
// low bits. Two decodings of that index are in use, each where it belongs.

#include <windows.h>
#include <ocidl.h>

#include <optional>

namespace win {

inline constexpr OLE_COLOR kSystemColorFlag = 0x80000000;

// The system brush an area fill takes: the index is the low five bits, so 0x80000021
// names colour 1. Nothing for an RGB colour. The index may be one the system has no
// brush for (the colour -1 names 31), and then the fill paints nothing.
[[nodiscard]] constexpr std::optional<int> SystemBrushIndex(OLE_COLOR color) noexcept {
    if ((color & kSystemColorFlag) == 0) return std::nullopt;
    return static_cast<int>(color & 0x1F);
}

// The system colour that the visual-style module resolves with GetSysColor: the index
// is the low byte. Nothing for an RGB colour; the index may be one the system does
// not know (the colour -1 names 255).
[[nodiscard]] constexpr std::optional<int> SystemColorIndexOfLowByte(OLE_COLOR color) noexcept {
    if ((color & kSystemColorFlag) == 0) return std::nullopt;
    return static_cast<int>(color & 0xFF);
}

}  // namespace win

#pragma once
// OLE colours: 0x00BBGGRR, or with bit 31 set a system colour whose index is the
// low byte.

#include <windows.h>
#include <ocidl.h>

#include <optional>

namespace win {

// The system colour index the colour names; nothing for an RGB colour. The index
// may be one the system does not know (the colour -1 names 255).
[[nodiscard]] constexpr std::optional<int> SystemColorIndex(OLE_COLOR color) noexcept {
    constexpr OLE_COLOR kSystemColorFlag = 0x80000000;
    if ((color & kSystemColorFlag) == 0) return std::nullopt;
    return static_cast<int>(color & 0xFF);
}

}  // namespace win

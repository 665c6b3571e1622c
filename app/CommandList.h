#pragma once
// The built-in list of command lines that a repair run executes: regsvr32 with one
// component of Internet Explorer and the silent switch each.

#include <array>
#include <cstddef>
#include <span>

namespace CommandList {

inline constexpr std::size_t kCount = 111;

[[nodiscard]] std::span<const char* const> Lines() noexcept;

}  // namespace CommandList

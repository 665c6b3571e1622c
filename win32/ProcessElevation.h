#pragma once
// Whether this process runs with administrator rights, as its token says.

#include <optional>

namespace win {

// The token's elevation (TokenElevation): false for a limited token, such as the one
// an administrator's programs get when not started "as administrator". Nothing when
// the query fails.
[[nodiscard]] std::optional<bool> ProcessIsElevated() noexcept;

}  // namespace win

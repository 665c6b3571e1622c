#pragma once
// Text in the system's ANSI code page turned into the wide text that the
// Unicode-only interfaces, such as the visual-style library's, take.

#include <string>

namespace win {

// Empty for text that cannot be converted.
[[nodiscard]] std::wstring WideFromAnsi(const std::string& text);

}  // namespace win

#pragma once
// Text in the system's ANSI code page turned into the wide text that the
// Unicode-only interfaces, such as the visual-style library's, take, and back.

#include <string>
#include <string_view>

namespace win {

// Empty for text that cannot be converted.
[[nodiscard]] std::wstring WideFromAnsi(const std::string& text);
// Characters that the code page lacks are replaced as the system's own ANSI
// functions replace them. Empty for text that cannot be converted.
[[nodiscard]] std::string AnsiFromWide(std::wstring_view text);

}  // namespace win

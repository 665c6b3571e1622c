#pragma once
// How the main window's progress strip shows a repair run: a blue bar on white in a
// sunken border, captioned with the lines done, the total and the percentage.

#include "cProgressBar.h"

#include <optional>
#include <string>

namespace ProgressDisplay {

// The strip's settings, made once when the window loads. The bar writes its caption
// in the host's own font object, shared rather than copied.
void SetUp(cProgressBar& bar, DrawHost& host, std::shared_ptr<win::StdFont> font) noexcept;

// A run begins: the range becomes the number of lines, nothing done yet. The
// caption of an earlier run stays until the first line is done.
void Begin(cProgressBar& bar, int lineCount) noexcept;

// A line is done. Returns the caption now shown, or nothing when the percentage
// could not be worked out (the caption is then left as it was).
std::optional<std::string> Advance(cProgressBar& bar, int linesDone);

// "56/111 50 %": done, slash, total, blank, the percentage rounded to a whole number
// with at least two digits, blank, percent sign.
[[nodiscard]] std::string Caption(int value, int max, double percent);

}  // namespace ProgressDisplay

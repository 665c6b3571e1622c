#include "ProgressDisplay.h"

#include "Int32Math.h"

#include <cstdio>

namespace ProgressDisplay {
namespace {

constexpr OLE_COLOR kBlue = 0x00FF0000;
constexpr OLE_COLOR kWhite = 0x00FFFFFF;

}  // namespace

void SetUp(cProgressBar& bar, DrawHost& host, std::shared_ptr<win::StdFont> font) noexcept {
    bar.DrawObject(&host);
    bar.Min(0);
    bar.Max(100);
    bar.ShowText(true);
    bar.Font(std::move(font));
    bar.BarColor(kBlue);
    bar.ForeColor(kBlue);
    bar.BackColor(kWhite);
    bar.BorderStyle(progress_bar::kSunken);
}

void Begin(cProgressBar& bar, int lineCount) noexcept {
    bar.Max(lineCount);
    bar.Value(0);
}

std::optional<std::string> Advance(cProgressBar& bar, int linesDone) {
    bar.Value(linesDone);
    const ArithmeticResult<double> percent = bar.Percent();
    if (!percent) return std::nullopt;
    std::string caption = Caption(bar.Value(), bar.Max(), *percent);
    bar.Text(caption);
    return caption;
}

std::string Caption(int value, int max, double percent) {
    char text[64];
    std::snprintf(text, sizeof text, "%d/%d %02d %%", value, max, win::RoundHalfEven(percent));
    return text;
}

}  // namespace ProgressDisplay

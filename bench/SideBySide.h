#pragma once
// Timing two sides of a comparison in one run. The machine is shared and noisy, so
// neither side is timed in one block: the two take turns, and the median of each
// side's samples is compared.

#include <functional>
#include <vector>

namespace SideBySide {

struct Medians {
    double ours = 0;
    double reference = 0;
};

// One sample of a side: the seconds it measured itself, so that set-up and clean-up
// around the timed part stay out of the figure; NaN when it measured nothing (a
// process that never started, say), which no median counts.
using Sample = std::function<double()>;

// Takes `rounds` samples of each side. The side that goes first changes from round to
// round, so that neither always finds the machine warm or cold.
[[nodiscard]] Medians Alternate(int rounds, const Sample& ours, const Sample& reference);

// The median of the samples that measured something; NaN when none did.
[[nodiscard]] double Median(std::vector<double> samples);

}  // namespace SideBySide

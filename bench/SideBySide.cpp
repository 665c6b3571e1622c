#include "SideBySide.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace SideBySide {

Medians Alternate(int rounds, const Sample& ours, const Sample& reference) {
    std::vector<double> oursSamples;
    std::vector<double> referenceSamples;
    for (int round = 0; round < rounds; ++round) {
        if (round % 2 == 0) {
            oursSamples.push_back(ours());
            referenceSamples.push_back(reference());
        } else {
            referenceSamples.push_back(reference());
            oursSamples.push_back(ours());
        }
    }
    return {Median(std::move(oursSamples)), Median(std::move(referenceSamples))};
}

double Median(std::vector<double> samples) {
    std::erase_if(samples, [](double sample) { return std::isnan(sample); });
    if (samples.empty()) return std::numeric_limits<double>::quiet_NaN();
    const auto middle = samples.begin() + static_cast<std::ptrdiff_t>(samples.size() / 2);
    std::nth_element(samples.begin(), middle, samples.end());
    if (samples.size() % 2 != 0) return *middle;
    const double upper = *middle;
    const double lower = *std::max_element(samples.begin(), middle);
    return (lower + upper) / 2;
}

}  // namespace SideBySide

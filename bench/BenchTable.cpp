#include "BenchTable.h"

#include <algorithm>
#include <array>
#include <cmath>

void BenchTable::AddTiming(std::string name, double oursSeconds, double referenceSeconds,
                           double goalRatio) {
    // A side without a figure must not read as the fastest there is.
    const bool measured = oursSeconds > 0 && referenceSeconds > 0;
    Add({std::move(name), Figures::Duration(oursSeconds), Figures::Duration(referenceSeconds),
         measured ? Figures::Ratio(oursSeconds / referenceSeconds) : "n/a", "<= " + Figures::Ratio(goalRatio)});
}

void BenchTable::AddCount(std::string name, long long now, long long before, std::string goal) {
    Add({std::move(name), std::to_string(now), std::to_string(before),
         Figures::Growth(now - before), std::move(goal)});
}

void BenchTable::Print(std::FILE* out) const {
    const Row header{"figure", "ours", "reference", "ratio", "goal"};
    std::array<std::size_t, 5> widths{};
    const auto measure = [&](const Row& row) {
        const std::array<const std::string*, 5> cells{&row.name, &row.ours, &row.reference,
                                                      &row.ratio, &row.goal};
        for (std::size_t i = 0; i < cells.size(); ++i) widths[i] = std::max(widths[i], cells[i]->size());
    };
    measure(header);
    for (const Row& row : m_rows) measure(row);

    const auto print = [&](const Row& row) {
        std::fprintf(out, "| %-*s | %*s | %*s | %*s | %-*s |\n", static_cast<int>(widths[0]),
                     row.name.c_str(), static_cast<int>(widths[1]), row.ours.c_str(),
                     static_cast<int>(widths[2]), row.reference.c_str(),
                     static_cast<int>(widths[3]), row.ratio.c_str(), static_cast<int>(widths[4]),
                     row.goal.c_str());
    };
    print(header);
    std::fprintf(out, "|%s|%s:|%s:|%s:|%s|\n", std::string(widths[0] + 2, '-').c_str(),
                 std::string(widths[1] + 1, '-').c_str(), std::string(widths[2] + 1, '-').c_str(),
                 std::string(widths[3] + 1, '-').c_str(), std::string(widths[4] + 2, '-').c_str());
    for (const Row& row : m_rows) print(row);
    if (!m_notes.empty()) std::fputc('\n', out);
    for (const std::string& note : m_notes) std::fprintf(out, "- %s\n", note.c_str());
    std::fflush(out);
}

namespace Figures {

std::string Duration(double seconds) {
    if (std::isnan(seconds)) return "not measured";
    char text[32];
    if (seconds < 1e-3) {
        std::snprintf(text, sizeof text, "%.1f us", seconds * 1e6);
    } else if (seconds < 1) {
        std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
    } else {
        std::snprintf(text, sizeof text, "%.2f s", seconds);
    }
    return text;
}

std::string Size(long long bytes) {
    char text[48];
    std::snprintf(text, sizeof text, "%lld B (%lld KB)", bytes, (bytes + 512) / 1024);
    return text;
}

std::string Ratio(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

std::string Growth(long long difference) {
    char text[32];
    std::snprintf(text, sizeof text, "%+lld", difference);
    return text;
}

}  // namespace Figures

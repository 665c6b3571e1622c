#pragma once
// The table the benchmarks print: one row per figure (name, our value, the
// reference's, their ratio or the growth, the goal), and below it the notes that say
// how each figure was taken.

#include <cstdio>
#include <string>
#include <vector>

class BenchTable {
public:
    struct Row {
        std::string name;
        std::string ours;
        std::string reference;
        std::string ratio;
        std::string goal;
    };

    void Add(Row row) { m_rows.push_back(std::move(row)); }
    // A timed pair: ratio = ours / reference, or "n/a" unless both were measured.
    void AddTiming(std::string name, double oursSeconds, double referenceSeconds,
                   double goalRatio);
    // A count taken twice: the ratio column shows the growth from the reference.
    void AddCount(std::string name, long long now, long long before, std::string goal);
    void AddNote(std::string note) { m_notes.push_back(std::move(note)); }

    void Print(std::FILE* out) const;

private:
    std::vector<Row> m_rows;
    std::vector<std::string> m_notes;
};

namespace Figures {

// "12.3 us", "4.56 ms", "1.23 s".
[[nodiscard]] std::string Duration(double seconds);
// "278528 B (272 KB)".
[[nodiscard]] std::string Size(long long bytes);
// "0.93".
[[nodiscard]] std::string Ratio(double value);
// "+0", "+12", "-3".
[[nodiscard]] std::string Growth(long long difference);

}  // namespace Figures

#pragma once
// Start-up: from the call that creates the process to the window's first completed
// paint, for the program and for a minimal window program of the same size.

#include <string>

class BenchTable;

namespace StartupBench {

struct References {
    std::string minimalWindow;
    // The same window with comctl32 imported and initialised, as the program has it.
    std::string minimalWindowWithComctl32;
};

void Measure(const std::string& programPath, const References& references, BenchTable& table);

}  // namespace StartupBench

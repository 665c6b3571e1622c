#pragma once
// Start-up: from the call that creates the process to the window's first completed
// paint, for the program and for minimal window programs of the same size.

#include <string>

class BenchTable;

namespace StartupBench {

struct References {
    std::string minimalWindow;
    // The same window bound to version 6 of the common controls by its manifest, with
    // one push button: the floor of a program with the visual style.
    std::string themedWindow;
    // That window with the program's controls, texts, font and logo in place of its
    // button, and none of the program's code: the floor of this window.
    std::string programWindow;
};

void Measure(const std::string& programPath, const References& references, BenchTable& table);

}  // namespace StartupBench

#pragma once
// What the program holds and whether it grows: the counts of ProcessCounts after one
// repair run, after ten, and after 100,000 paints of the progress strip; and the
// sizes of the built programs.

#include <string>

class BenchTable;

namespace Footprint {

// Hosts the program's window in this process and counts there; best run before
// anything else has run in the process.
void MeasureGrowth(BenchTable& table);

// An empty path, or one that does not exist, is reported as not built.
void MeasureExeSizes(const std::string& x64Path, const std::string& x86Path, BenchTable& table);

}  // namespace Footprint

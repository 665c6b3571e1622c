#pragma once
// The progress bar's paint against the system's own progress control: both paint the
// same size, range and position into the same memory DC through WM_PRINTCLIENT, the
// same number of times, taking turns.

class BenchTable;

namespace PaintBench {

void Measure(BenchTable& table);

}  // namespace PaintBench

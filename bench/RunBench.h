#pragma once
// What a repair run costs beyond its child processes: the window's run of 222
// executions against bare CreateProcess + WaitForSingleObject + CloseHandle calls
// over the same 222 command lines, which do nothing else.

class BenchTable;

namespace RunBench {

void Measure(BenchTable& table);

}  // namespace RunBench

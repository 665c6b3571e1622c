// The benchmarks: prints each figure beside its reference and its goal. Figures only;
// nothing here passes or fails.
//   quenfix_bench.exe [--x86 PATH] [--program PATH] [SECTION...]
// SECTION is footprint, paint, run, startup or size; without one, all run in that order.
// --x86 names the 32-bit quenfix.exe whose size is shown; --program another build of
// the program to start instead of the one beside this bench (start-up and size).

#include "BenchTable.h"
#include "Footprint.h"
#include "PaintBench.h"
#include "RunBench.h"
#include "StartupBench.h"
#include "TestSupport.h"
#include "mdXpThemeSupport.h"

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Options {
    std::string x86Path;
    std::string programPath;
    std::vector<std::string> sections;

    [[nodiscard]] bool Runs(const char* section) const {
        return sections.empty() || std::find(sections.begin(), sections.end(), section) != sections.end();
    }
};

Options ReadOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--x86") == 0 && i + 1 < argc) {
            options.x86Path = argv[++i];
        } else if (std::strcmp(argv[i], "--program") == 0 && i + 1 < argc) {
            options.programPath = argv[++i];
        } else {
            options.sections.emplace_back(argv[i]);
        }
    }
    return options;
}

void Progress(const char* step) {
    std::fprintf(stderr, "bench: %s\n", step);
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ReadOptions(argc, argv);
    const std::string directory = testing_support::ExeDirectory();
    const std::string program =
        options.programPath.empty() ? directory + QUENFIX_EXE : options.programPath;
    BenchTable table;

    // The program's start-up step that precedes its window, done once as there.
    mdXpThemeSupport::ThemeSupport().InitThemeSupport();

    if (options.Runs("footprint")) {
        Progress("footprint over 10 runs and 100,000 paints");
        Footprint::MeasureGrowth(table);
    }
    if (options.Runs("paint")) {
        Progress("paint");
        PaintBench::Measure(table);
    }
    if (options.Runs("run")) {
        Progress("run overhead");
        RunBench::Measure(table);
    }
    if (options.Runs("startup")) {
        Progress("start-up");
        StartupBench::Measure(program,
                              {directory + "bench_minimal_window.exe",
                               directory + "bench_themed_window.exe",
                               directory + "bench_program_window.exe"},
                              table);
    }
    if (options.Runs("size")) Footprint::MeasureExeSizes(program, options.x86Path, table);

    table.Print(stdout);
    return 0;
}

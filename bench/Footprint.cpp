#include "Footprint.h"

#include "BenchTable.h"
#include "FrmQuenfix.h"
#include "ProcessCounts.h"
#include "TestSupport.h"

#include <commctrl.h>

namespace Footprint {
namespace {

constexpr int kRuns = 10;
constexpr int kPaints = 100000;
constexpr long long kSizeGoal = 512 * 1024;
constexpr UINT_PTR kPaintCounterId = 1;

void AddSnapshotRows(const std::string& when, const ProcessCounts::Snapshot& now,
                     const std::string& since, const ProcessCounts::Snapshot& before,
                     BenchTable& table) {
    const std::string goal = "no growth";
    table.AddCount("Private bytes, " + when + " vs " + since, now.privateBytes,
                   before.privateBytes, goal + " beyond noise");
    table.AddCount("GDI objects, " + when + " vs " + since, now.gdiObjects, before.gdiObjects, goal);
    table.AddCount("User objects, " + when + " vs " + since, now.userObjects, before.userObjects,
                   goal);
    table.AddCount("Kernel handles, " + when + " vs " + since, now.kernelHandles,
                   before.kernelHandles, goal);
}

LRESULT CALLBACK CountPaints(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                             DWORD_PTR count) noexcept {
    if (msg == WM_PAINT) ++*reinterpret_cast<long long*>(count);
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

// Each paint is the strip's own: its window invalidated and painted at once, which
// runs its WM_PAINT handler and with it the bar's Draw.
long long PaintStrip(HWND strip, int times) {
    long long painted = 0;
    ::SetWindowSubclass(strip, &CountPaints, kPaintCounterId, reinterpret_cast<DWORD_PTR>(&painted));
    for (int i = 0; i < times; ++i) {
        ::RedrawWindow(strip, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    ::RemoveWindowSubclass(strip, &CountPaints, kPaintCounterId);
    return painted;
}

void RunRepair(FrmQuenfix& form) {
    form.RunRepair();
    testing_support::DrainMessages();
}

long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || !::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void AddSizeRow(const std::string& name, const std::string& path, BenchTable& table) {
    const long long size = FileSize(path);
    if (size < 0) {
        table.Add({name, "not built", "", "", "<= 512 KB"});
        return;
    }
    table.Add({name, Figures::Size(size), Figures::Size(kSizeGoal),
               Figures::Ratio(static_cast<double>(size) / kSizeGoal), "<= 512 KB"});
}

}  // namespace

void MeasureGrowth(BenchTable& table) {
    ProcessCounts::Snapshot afterOne;
    ProcessCounts::Snapshot afterTen;
    ProcessCounts::Snapshot afterPaints;
    long long painted = 0;
    {
        FrmQuenfix form;
        if (!form.Create()) return;
        form.Show();
        RunRepair(form);
        afterOne = ProcessCounts::OfThisProcess();
        for (int run = 1; run < kRuns; ++run) RunRepair(form);
        afterTen = ProcessCounts::OfThisProcess();
        painted = PaintStrip(::GetDlgItem(form.Hwnd(), FrmQuenfix::kPicture1), kPaints);
        testing_support::DrainMessages();
        afterPaints = ProcessCounts::OfThisProcess();
    }
    // The window's end leaves a quit request behind; it must not reach later figures.
    testing_support::DrainMessages();

    AddSnapshotRows("10 runs", afterTen, "1 run", afterOne, table);
    AddSnapshotRows("+100,000 paints", afterPaints, "10 runs", afterTen, table);

    const ProcessCounts::Sources sources = ProcessCounts::Describe();
    table.AddNote("Footprint: counted inside the bench process, which hosts FrmQuenfix and calls "
                  "its RunRepair with RepairPlatform::System() as the program does; the figure is the "
                  "later count, the reference the earlier one, the ratio column the growth. Private "
                  "memory grows in steps of whole committed blocks (64 KB for the heap), so one "
                  "step while the heap settles is noise. " +
                  std::to_string(painted) + " WM_PAINTs of Picture1 were counted for the paints.");
    table.AddNote(sources.privateBytes);
    table.AddNote(sources.gdiObjects);
    table.AddNote(sources.userObjects);
    table.AddNote(sources.kernelHandles);
}

void MeasureExeSizes(const std::string& x64Path, const std::string& x86Path, BenchTable& table) {
    AddSizeRow("Exe size, 32-bit release", x86Path, table);
    AddSizeRow("Exe size, 64-bit", x64Path, table);
}

}  // namespace Footprint

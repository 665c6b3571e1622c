#include "PaintBench.h"

#include "BenchTable.h"
#include "PaintTestSupport.h"
#include "PictureBox.h"
#include "ProgressDisplay.h"
#include "SideBySide.h"
#include "Stopwatch.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <initializer_list>
#include <memory>
#include <string>

namespace PaintBench {
namespace {

constexpr int kRounds = 31;
constexpr int kPaintsPerSample = 200;
constexpr int kLines = 111;
constexpr int kLinesDone = 56;  // "56/111 50 %", the bar half full
constexpr int kBarId = 1;
constexpr int kReferenceId = 2;

struct Strip {
    const char* name;
    int width;
    int height;
    bool segments;
};

// Picture1's strip at 96 dpi, and a large segmented bar.
constexpr Strip kStrips[] = {
    {"Paint 419x12, caption, half full", 419, 12, false},
    {"Paint 1000x40, segmented, caption", 1000, 40, true},
};

// A hidden top-level window that holds the controls being compared.
class Stage {
public:
    Stage()
        : m_hwnd(::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 1100, 100,
                                   nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr)) {}
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;
    ~Stage() { ::DestroyWindow(m_hwnd); }
    [[nodiscard]] HWND Hwnd() const noexcept { return m_hwnd; }

private:
    HWND m_hwnd;
};

// The system's control with the strip's size, range, position and colours. Without
// PBS_SMOOTH it draws blocks, as the segmented bar does.
HWND CreateReference(HWND parent, const Strip& strip) {
    const DWORD style = WS_CHILD | WS_VISIBLE | (strip.segments ? 0 : PBS_SMOOTH);
    const HWND control = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", style, 0, strip.height + 10,
                                           strip.width, strip.height, parent,
                                           reinterpret_cast<HMENU>(kReferenceId),
                                           ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(control, PBM_SETRANGE32, 0, kLines);
    ::SendMessageW(control, PBM_SETPOS, kLinesDone, 0);
    ::SendMessageW(control, PBM_SETBARCOLOR, 0, RGB(0, 0, 255));
    ::SendMessageW(control, PBM_SETBKCOLOR, 0, RGB(255, 255, 255));
    return control;
}

bool DrawsThemed(HWND control) {
    return ::GetWindowTheme(control) != nullptr;
}

// Takes the visual style away from the control. Wine's progress control keeps its
// theme through SetWindowTheme(L"", L""); with a class list that names no class it
// opens nothing when WM_THEMECHANGED makes it open its theme again.
void DrawClassic(HWND control) {
    ::SetWindowTheme(control, L" ", L" ");
    ::SendMessageW(control, WM_THEMECHANGED, 0, 0);
}

double PaintSample(HWND control, HDC target) {
    const Stopwatch watch;
    for (int i = 0; i < kPaintsPerSample; ++i) {
        ::SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(target), PRF_CLIENT);
    }
    return watch.Seconds() / kPaintsPerSample;
}

// Whether one paint of the control changes the middle of the filled part: a control
// that painted nothing would time as very fast.
bool Paints(HWND control, const paint_test::DibSurface& surface, const Strip& strip) {
    constexpr COLORREF kUntouched = RGB(0x12, 0x34, 0x56);
    const win::unique_hbrush brush(::CreateSolidBrush(kUntouched));
    const RECT all{0, 0, strip.width, strip.height};
    ::FillRect(surface.dc(), &all, brush.get());
    ::SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()), PRF_CLIENT);
    return surface.Pixel(strip.width / 4, strip.height / 2) != kUntouched;
}

SideBySide::Medians Compare(HWND ours, HWND reference, HDC target) {
    (void)PaintSample(ours, target);
    (void)PaintSample(reference, target);
    return SideBySide::Alternate(
        kRounds, [&] { return PaintSample(ours, target); },
        [&] { return PaintSample(reference, target); });
}

void MeasureStrip(const Strip& strip, BenchTable& table) {
    const Stage stage;
    // The window's settings: blue on white, sunken border, the caption in the
    // window's Verdana 6.75 bold, shared from a font object.
    PictureBox host;
    cProgressBar bar;
    host.Create(stage.Hwnd(), kBarId, RECT{0, 0, strip.width, strip.height});
    ProgressDisplay::SetUp(bar, host, std::make_shared<win::StdFont>("Verdana", 6.75, win::StdFont::kBold));
    bar.Segments(strip.segments);
    ProgressDisplay::Begin(bar, kLines);
    (void)ProgressDisplay::Advance(bar, kLinesDone);
    host.OnPaint([&](HDC target) {
        (void)bar.DrawToDC(host.hWnd(), target, 0, 0, strip.width, strip.height);
    });
    const HWND asConfigured = CreateReference(stage.Hwnd(), strip);
    const HWND classic = CreateReference(stage.Hwnd(), strip);
    DrawClassic(classic);

    const paint_test::DibSurface surface(strip.width, strip.height);
    for (const HWND control : {host.hWnd(), asConfigured, classic}) {
        if (!Paints(control, surface, strip)) {
            table.AddNote(std::string(strip.name) + ": WARNING, a control painted nothing.");
        }
    }
    const auto configured = Compare(host.hWnd(), asConfigured, surface.dc());
    const std::string look = DrawsThemed(asConfigured) ? "themed" : "classic";
    table.AddTiming(std::string(strip.name) + ", vs system's (" + look + ")", configured.ours,
                    configured.reference, 1.0);
    if (look != "classic" && !DrawsThemed(classic)) {
        const auto plain = Compare(host.hWnd(), classic, surface.dc());
        table.AddTiming(std::string(strip.name) + ", vs system's (classic)", plain.ours,
                        plain.reference, 1.0);
    }
}

}  // namespace

void Measure(BenchTable& table) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    for (const Strip& strip : kStrips) MeasureStrip(strip, table);
    table.AddNote("Paint: time per paint into a 32bpp DIB section through WM_PRINTCLIENT, median of " +
                  std::to_string(kRounds) + " alternating samples of " +
                  std::to_string(kPaintsPerSample) +
                  " paints; reference: msctls_progress32 at the same size and position, once as "
                  "the system draws it here (themed when visual styles are on, as in a new Wine "
                  "prefix) and once with its visual style taken away (SetWindowTheme), the look "
                  "the bar itself has.");
}

}  // namespace PaintBench

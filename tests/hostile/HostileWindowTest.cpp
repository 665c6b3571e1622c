// The main window under stress while a run is in progress: runs nested three deep, a
// storm of paint messages, and the visual style switched off and on again. The runs
// start no process; each execution hands control to the test instead.

#include "FrmQuenfix.h"

#include "CommandList.h"
#include "PaintTestSupport.h"
#include "TestSupport.h"
#include "mdXpThemeSupportInternal.h"
#include "xptheme/ThemeTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace {

using namespace testing_support;
using paint_test::DibSurface;

// The window, with a run that records each execution's command line and then calls
// the test's hook with the window and the execution's number (from 1).
class WindowUnderTest {
public:
    using Hook = std::function<void(WindowUnderTest& window, int execution)>;

    explicit WindowUnderTest(Hook onExecution,
                             mdXpThemeSupport::Platform themes = mdXpThemeSupport::Platform::System())
        : m_onExecution(std::move(onExecution)) {
        RepairPlatform platform;
        platform.runCommand = [this](const std::string& command) {
            commands.push_back(command);
            if (m_onExecution) m_onExecution(*this, static_cast<int>(commands.size()));
            return std::string();
        };
        form = std::make_unique<FrmQuenfix>(platform, themes);
        created = form->Create();
        if (!created) return;
        form->Show();
        RECT client{};
        ::GetClientRect(Strip(), &client);
        m_stripSize = {client.right, client.bottom};
    }
    ~WindowUnderTest() {
        form.reset();
        DrainMessages();
    }

    [[nodiscard]] HWND Control(int id) const { return ::GetDlgItem(form->Hwnd(), id); }
    [[nodiscard]] std::string Status() const {
        char text[256] = {};
        ::GetWindowTextA(Control(FrmQuenfix::kLabel2), text, sizeof text);
        return text;
    }
    // The strip as it paints itself (into a memory DC, with WM_PRINTCLIENT) and as it
    // is shown (copied from its window's own DC).
    [[nodiscard]] std::unique_ptr<DibSurface> PrintStrip() const {
        auto surface = StripSizedSurface();
        ::SendMessageW(Strip(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface->dc()), PRF_CLIENT);
        return surface;
    }
    [[nodiscard]] std::unique_ptr<DibSurface> ShownStrip() const {
        auto surface = StripSizedSurface();
        const auto shown = win::GetDC(Strip());
        ::BitBlt(surface->dc(), 0, 0, m_stripSize.cx, m_stripSize.cy, shown.get(), 0, 0, SRCCOPY);
        return surface;
    }
    // A release of the left mouse button over Repair Now, handled at the run's next
    // look at the queue.
    void ReleaseOverRepairNow() const {
        ::PostMessageW(Control(FrmQuenfix::kCommand1), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }

    std::vector<std::string> commands;
    std::unique_ptr<FrmQuenfix> form;
    bool created = false;

private:
    [[nodiscard]] HWND Strip() const { return Control(FrmQuenfix::kPicture1); }
    [[nodiscard]] std::unique_ptr<DibSurface> StripSizedSurface() const {
        return std::make_unique<DibSurface>(m_stripSize.cx, m_stripSize.cy);
    }

    Hook m_onExecution;
    SIZE m_stripSize{};
};

// The strip, painted and shown, at a few chosen executions of a run and after it.
struct StripImages {
    std::unique_ptr<DibSurface> printed;
    std::unique_ptr<DibSurface> shown;
};
using StripsOfARun = std::map<int, StripImages>;
constexpr int kAfterTheRun = 0;
constexpr int kChosenExecutions[] = {1, 2, 3, 112, 113, 221, 222};

StripsOfARun RunAndTakeStrips(const WindowUnderTest::Hook& duringExecution,
                              mdXpThemeSupport::Platform themes = mdXpThemeSupport::Platform::System()) {
    StripsOfARun strips;
    const auto take = [&](const WindowUnderTest& window, int when) {
        strips[when] = {window.PrintStrip(), window.ShownStrip()};
    };
    WindowUnderTest under(
        [&](WindowUnderTest& window, int execution) {
            if (duringExecution) duringExecution(window, execution);
            for (const int chosen : kChosenExecutions) {
                if (execution == chosen) take(window, chosen);
            }
        },
        themes);
    EXPECT_TRUE(under.created);
    if (!under.created) return strips;
    under.form->RunRepair();
    EXPECT_EQ(under.Status(), "Registering: Done");
    EXPECT_EQ(under.commands.size(), 222u);
    take(under, kAfterTheRun);
    return strips;
}

void ExpectSameStrips(const StripsOfARun& actual, const StripsOfARun& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (const auto& [when, images] : expected) {
        SCOPED_TRACE(when == kAfterTheRun ? std::string("after the run")
                                          : "at execution " + std::to_string(when));
        ASSERT_TRUE(actual.contains(when));
        EXPECT_TRUE(actual.at(when).printed->SameAs(*images.printed)) << "painted";
        EXPECT_TRUE(actual.at(when).shown->SameAs(*images.shown)) << "shown";
        EXPECT_TRUE(actual.at(when).shown->SameAs(*actual.at(when).printed)) << "shown as painted";
    }
}

// Every message that makes a window paint, and some that only claim to, many times.
void PaintStorm(const WindowUnderTest& window) {
    const HWND form = window.form->Hwnd();
    const HWND strip = window.Control(FrmQuenfix::kPicture1);
    const DibSurface scratch(8, 8);
    for (int i = 0; i < 4; ++i) {
        ::RedrawWindow(form, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        ::InvalidateRect(strip, nullptr, TRUE);
        ::SendMessageW(strip, WM_PAINT, 0, 0);
        ::SendMessageW(strip, WM_ERASEBKGND, reinterpret_cast<WPARAM>(scratch.dc()), 0);
        ::SendMessageW(strip, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(scratch.dc()), PRF_CLIENT);
        ::SendMessageW(strip, WM_NCPAINT, 1, 0);
        ::PostMessageW(strip, WM_PAINT, 0, 0);
        ::PostMessageW(form, WM_PAINT, 0, 0);
        ::UpdateWindow(strip);
    }
    // Left invalid, for the run's next look at the queue.
    ::InvalidateRect(form, nullptr, TRUE);
}

TEST(HostileWindow, ThreeNestedRunsCompleteInOrder) {
    // The second run starts after execution 10 (entry 4 done), the third after the
    // second run's 30th execution (its entry 14 done).
    WindowUnderTest under([](WindowUnderTest& window, int execution) {
        if (execution == 10 || execution == 10 + 30) window.ReleaseOverRepairNow();
    });
    ASSERT_TRUE(under.created);
    under.form->RunRepair();

    // Each inner run goes through the whole list before the one it interrupted
    // carries on from its next entry.
    const auto lines = CommandList::Lines();
    std::vector<std::string> expected;
    const auto entries = [&](int from, int to) {
        for (int entry = from; entry < to; ++entry) expected.insert(expected.end(), 2, lines[entry]);
    };
    entries(0, 5);
    entries(0, 15);
    entries(0, 111);
    entries(15, 111);
    entries(5, 111);
    EXPECT_EQ(under.commands, expected);
    EXPECT_EQ(under.Status(), "Registering: Done");
    EXPECT_EQ(under.form->Progress().Text(), "111/111 100 %");
}

TEST(HostileWindow, PaintStormDuringARunLeavesTheStripAsWithout) {
    const StripsOfARun calm = RunAndTakeStrips(nullptr);
    const StripsOfARun stormy = RunAndTakeStrips([](WindowUnderTest& window, int) { PaintStorm(window); });
    ExpectSameStrips(stormy, calm);
}

TEST(HostileWindow, VisualStyleSwitchedDuringARunLeavesTheStripAsWithout) {
    const StripsOfARun plain = RunAndTakeStrips(nullptr);

    // Version 6 bound, so that Repair Now is painted by the visual-style support.
    xptheme_testing::RecordingPlatform platform;
    platform.AnswerVersion(6, 0);
    std::unique_ptr<xptheme_testing::ScopedControlTheming> classic;
    int themedPaintsSeen = 0;
    int classicPaintsSeen = 0;
    const auto switchStyle = [&](WindowUnderTest& window, int execution) {
        if (execution % 20 != 0) return;
        // Off at 20, 60, 100, ..., on again at 40, 80, 120, ...
        if (classic) {
            classic.reset();
        } else {
            classic = std::make_unique<xptheme_testing::ScopedControlTheming>(false);
        }
        const HWND form = window.form->Hwnd();
        ::SendMessageW(form, WM_THEMECHANGED, 0, 0);
        for (HWND child = ::GetWindow(form, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            ::SendMessageW(child, WM_THEMECHANGED, 0, 0);
        }
        const HWND button = window.Control(FrmQuenfix::kCommand1);
        ::RemovePropA(button, "Painted");
        ::RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        const bool themedPaint = ::GetPropA(button, "Painted") != nullptr;
        EXPECT_EQ(themedPaint, mdXpThemeSupport::pvIsThemed()) << "execution " << execution;
        ++(themedPaint ? themedPaintsSeen : classicPaintsSeen);
    };
    const StripsOfARun switched = RunAndTakeStrips(switchStyle, platform.Get());
    ExpectSameStrips(switched, plain);
    // The process saw every switch, in both directions.
    EXPECT_EQ(classicPaintsSeen, 6);
    EXPECT_EQ(themedPaintsSeen, 5);
}

}  // namespace

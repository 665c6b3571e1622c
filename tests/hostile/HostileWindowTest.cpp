// The main window under stress while a run is in progress: runs nested three deep, a
// storm of paint messages, and the visual style switched off and on again. The runs
// start no process; each execution hands control to the test instead.

#include "FrmQuenfix.h"

#include "CommandList.h"
#include "FormUnderTest.h"
#include "TestSupport.h"
#include "mdXpThemeSupportInternal.h"
#include "xptheme/ThemeTestSupport.h"

#include <gtest/gtest.h>
#include <uxtheme.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace {

using namespace testing_support;
using paint_test::DibSurface;

// The strip, painted and shown, at a few chosen executions of a run and after it.
struct StripImages {
    DibSurface printed;
    DibSurface shown;
};
using StripsOfARun = std::map<int, StripImages>;
constexpr int kAfterTheRun = 0;
constexpr int kChosenExecutions[] = {1, 2, 3, 112, 113, 221, 222};

// The program's strip keeps the classic look; given the visual style, a switch of
// the style changes what it paints, so that a comparison can tell.
enum class StripLook { Classic, VisualStyle };

using Hook = std::function<void(FormUnderTest& under, int execution)>;

StripsOfARun RunAndTakeStrips(const Hook& duringExecution, StripLook look = StripLook::Classic,
                              mdXpThemeSupport::Platform themes = mdXpThemeSupport::Platform::System()) {
    StripsOfARun strips;
    FormUnderTest under(FormUnderTest::Redirection::Offered, std::move(themes));
    const auto take = [&](int when) { strips.emplace(when, StripImages{under.PrintedStrip(), under.ShownStrip()}); };
    under.onExecution = [&](int execution) {
        if (duringExecution) duringExecution(under, execution);
        if (std::ranges::find(kChosenExecutions, execution) != std::end(kChosenExecutions)) take(execution);
    };
    EXPECT_TRUE(under.Create(true));
    if (look == StripLook::VisualStyle) const_cast<cProgressBar&>(under.Form().Progress()).XpStyle(true);
    under.Form().RunRepair();
    EXPECT_TRUE(under.Done());
    EXPECT_EQ(under.commands.size(), 222u);
    take(kAfterTheRun);
    return strips;
}

std::string When(int when) {
    return when == kAfterTheRun ? std::string("after the run") : "at execution " + std::to_string(when);
}

// Each strip of the run as the expected run's at that moment, and shown as painted.
void ExpectSameStrips(const StripsOfARun& actual, const std::function<const StripsOfARun&(int when)>& expected) {
    ASSERT_EQ(actual.size(), std::size(kChosenExecutions) + 1);
    for (const auto& [when, images] : actual) {
        SCOPED_TRACE(When(when));
        EXPECT_TRUE(images.printed.SameAs(expected(when).at(when).printed)) << "painted";
        EXPECT_TRUE(images.shown.SameAs(expected(when).at(when).shown)) << "shown";
        EXPECT_TRUE(images.shown.SameAs(images.printed)) << "shown as painted";
    }
}

// Every message that makes a window paint, and some that only claim to, many times.
void PaintStorm(const FormUnderTest& under) {
    const HWND form = under.Form().Hwnd();
    const HWND strip = under.Control(FrmQuenfix::kPicture1);
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
    FormUnderTest under;
    under.onExecution = [&](int execution) {
        if (execution == 10 || execution == 10 + 30) under.Release();
    };
    ASSERT_TRUE(under.Create(true));
    under.Form().RunRepair();

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
    EXPECT_TRUE(under.Done());
    EXPECT_EQ(under.Form().Progress().Text(), "111/111 100 %");
}

TEST(HostileWindow, PaintStormDuringARunLeavesTheStripAsWithout) {
    const StripsOfARun calm = RunAndTakeStrips(nullptr);
    const StripsOfARun stormy = RunAndTakeStrips([](FormUnderTest& under, int) { PaintStorm(under); });
    ExpectSameStrips(stormy, [&](int) -> const StripsOfARun& { return calm; });
}

TEST(HostileWindow, VisualStyleSwitchedDuringARunTakesEffectAtOnce) {
    // Version 6 bound, so that Repair Now is painted by the visual-style support.
    xptheme_testing::RecordingPlatform platform;
    platform.AnswerVersion(6, 0);
    const StripsOfARun classic = RunAndTakeStrips(nullptr, StripLook::Classic, platform.Get());
    const StripsOfARun themed = RunAndTakeStrips(nullptr, StripLook::VisualStyle, platform.Get());
    for (const auto& [when, images] : themed) {
        EXPECT_FALSE(images.printed.SameAs(classic.at(when).printed)) << "the looks are alike " << When(when);
    }

    std::unique_ptr<xptheme_testing::ScopedControlTheming> off;
    int themedPaintsSeen = 0;
    int classicPaintsSeen = 0;
    const auto switchStyle = [&](FormUnderTest& under, int execution) {
        if (execution % 20 != 0) return;
        // Off at 20, 60, 100, ..., on again at 40, 80, 120, ...
        if (off) {
            off.reset();
        } else {
            off = std::make_unique<xptheme_testing::ScopedControlTheming>(false);
        }
        // The strip's painting asks OpenThemeData, which under Wine does not heed
        // the application's properties: its window loses and regains the style
        // itself, as every window does on Windows.
        const wchar_t* const strip = off ? L" " : nullptr;
        ::SetWindowTheme(under.Control(FrmQuenfix::kPicture1), strip, strip);
        const HWND form = under.Form().Hwnd();
        ::SendMessageW(form, WM_THEMECHANGED, 0, 0);
        for (HWND child = ::GetWindow(form, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            ::SendMessageW(child, WM_THEMECHANGED, 0, 0);
        }
        const HWND button = under.Control(FrmQuenfix::kCommand1);
        ::RemovePropA(button, "Painted");
        ::RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        const bool themedPaint = ::GetPropA(button, "Painted") != nullptr;
        EXPECT_EQ(themedPaint, mdXpThemeSupport::pvIsThemed()) << "execution " << execution;
        ++(themedPaint ? themedPaintsSeen : classicPaintsSeen);
    };
    const StripsOfARun switched = RunAndTakeStrips(switchStyle, StripLook::VisualStyle, platform.Get());
    // On until execution 20; off from 100 to 120 and from 220 on.
    ExpectSameStrips(switched, [&](int when) -> const StripsOfARun& {
        return when == kAfterTheRun || when > 100 ? classic : themed;
    });
    // The process saw every switch, in both directions.
    EXPECT_EQ(classicPaintsSeen, 6);
    EXPECT_EQ(themedPaintsSeen, 5);
}

}  // namespace

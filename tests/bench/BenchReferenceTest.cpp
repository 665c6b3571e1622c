// The start-up figures are only as good as their references: the themed window must
// really bind version 6 of the common controls and hold its one push button, the bare
// one neither, and both must have the program's client size. A manifest that is not
// embedded, or not read, would leave the themed window a bare one that still starts
// and paints, and its figure would quietly mean something else.

#include "TestSupport.h"
#include "UniqueHandle.h"
#include "Units.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace testing_support;

struct Shown {
    SIZE client{};
    std::vector<std::string> childClasses;
    std::vector<LONG> childStyles;
    // The path of the process's comctl32.dll, "" when none is loaded.
    std::string commonControls;
};

// Starts the reference, reads what it shows once it waits for input, and closes it.
Shown Show(const std::string& file) {
    const std::string path = ExeDirectory() + QUENFIX_BENCH_DIR + file;
    std::string commandLine = Quoted(path);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    Shown shown;
    if (!::CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info)) {
        ADD_FAILURE() << "cannot start " << path << ": error " << ::GetLastError();
        return shown;
    }
    const win::unique_handle process(info.hProcess);
    const win::unique_handle thread(info.hThread);
    HWND window = nullptr;
    EXPECT_EQ(::WaitForInputIdle(process.get(), kPatienceMs), 0u);
    EXPECT_TRUE(WaitFor([&] { return (window = VisibleWindowOf(info.dwProcessId)) != nullptr; }, kPatienceMs));
    if (window) {
        RECT client{};
        ::GetClientRect(window, &client);
        shown.client = {client.right, client.bottom};
        for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            char name[64] = {};
            ::GetClassNameA(child, name, sizeof name);
            shown.childClasses.push_back(Lower(name));
            shown.childStyles.push_back(::GetWindowLongA(child, GWL_STYLE));
        }
        shown.commonControls = CommonControlsOf(info.dwProcessId);
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (::WaitForSingleObject(process.get(), kPatienceMs) != WAIT_OBJECT_0) ::TerminateProcess(process.get(), 1);
    return shown;
}

TEST(BenchReference, ThemedWindowBindsVersion6AndHoldsOnePushButtonAndTheBareOneNeither) {
    const win::Dpi dpi = win::ScreenDpi();
    const SIZE programClient{win::TwipsToPixels(6540, dpi.x), win::TwipsToPixels(3540, dpi.y)};

    const Shown bare = Show("bench_minimal_window.exe");
    EXPECT_EQ(bare.client.cx, programClient.cx);
    EXPECT_EQ(bare.client.cy, programClient.cy);
    EXPECT_TRUE(bare.childClasses.empty());
    EXPECT_EQ(bare.commonControls, "");

    const Shown themed = Show("bench_themed_window.exe");
    EXPECT_EQ(themed.client.cx, programClient.cx);
    EXPECT_EQ(themed.client.cy, programClient.cy);
    ASSERT_EQ(themed.childClasses.size(), 1u);
    EXPECT_EQ(themed.childClasses[0], "button");
    EXPECT_EQ(themed.childStyles[0] & BS_TYPEMASK, BS_PUSHBUTTON);
    // Version 6 comes from the side-by-side store, whatever version number it reports.
    EXPECT_NE(themed.commonControls.find("microsoft.windows.common-controls"), std::string::npos)
        << themed.commonControls;
}

}  // namespace

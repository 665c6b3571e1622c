#include "mdStartup.h"

#include "FrmQuenfix.h"
#include "TestSupport.h"
#include "UniqueHandle.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct UnhookCloser {
    void operator()(HHOOK hook) const noexcept { ::UnhookWindowsHookEx(hook); }
};

// The system refusing one kind of control, as it does when the session runs out of
// user objects or desktop heap.
LRESULT CALLBACK RefuseListBoxes(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) {
        const LPCWSTR windowClass = reinterpret_cast<CBT_CREATEWNDW*>(lp)->lpcs->lpszClass;
        if (!IS_INTRESOURCE(windowClass) && ::lstrcmpiW(windowClass, L"LISTBOX") == 0) return 1;
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

class StartUp : public testing::Test {
protected:
    // Destroying the window asks the thread to quit; that must not reach the next test.
    void TearDown() override {
        form.reset();
        testing_support::DrainMessages();
    }

    std::optional<FrmQuenfix> form{std::in_place};
};

TEST_F(StartUp, FailsAndLeavesNoWindowWhenAControlCannotBeCreated) {
    bool started = true;
    {
        const win::unique_any<HHOOK, UnhookCloser> hook(
            ::SetWindowsHookExW(WH_CBT, &RefuseListBoxes, nullptr, ::GetCurrentThreadId()));
        ASSERT_TRUE(hook);
        started = mdStartup::Main(*form);
    }
    EXPECT_FALSE(started);
    EXPECT_EQ(form->Hwnd(), nullptr);
}

// Checked in the process itself: Wine answers a question about another process's
// policy with the asking process's own.
TEST_F(StartUp, KeepsDataExecutionPreventionOnForGood) {
    if (sizeof(void*) == 8) GTEST_SKIP() << "a 64-bit process always runs with DEP";
    ASSERT_TRUE(mdStartup::Main(*form));
    DWORD flags = 0;
    BOOL permanent = FALSE;
    ASSERT_TRUE(::GetProcessDEPPolicy(::GetCurrentProcess(), &flags, &permanent));
    EXPECT_TRUE(flags & PROCESS_DEP_ENABLE);
    EXPECT_TRUE(permanent);
}

}  // namespace

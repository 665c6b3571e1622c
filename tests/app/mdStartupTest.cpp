#include "mdStartup.h"

#include "FailingAllocation.h"
#include "FrmQuenfix.h"
#include "StartCheck.h"
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

// Memory running out at any one allocation of the start: the start fails and leaves
// no window, or it succeeds, and the process goes on either way.
TEST_F(StartUp, FailsAndLeavesNoWindowWhenAnAllocationFails) {
    for (long n = 1;; ++n) {
        SCOPED_TRACE(n);
        form.emplace();
        bool started = false;
        bool failed = false;
        {
            const FailingAllocation failing(n);
            started = mdStartup::Main(*form);
            failed = failing.Failed();
        }
        if (!failed) break;
        if (!started) {
            EXPECT_EQ(form->Hwnd(), nullptr);
        }
        form.reset();
        testing_support::DrainMessages();
    }
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

// Before it binds anything, the program refuses to start where DLL loads by name
// cannot be kept to the system directory (seen through the answer it is given: every
// system Wine imitates can confine them), and where anything named
// "<program>.local" lies beside it; the reason names what to delete.
TEST(StartCheck, RefusesUnconfinedLoadsAndALocalFolderOrFileBesideTheProgram) {
    testing_support::TempDirectory folder;
    const std::wstring program = std::wstring(folder.Path().begin(), folder.Path().end()) + L"quenfix.exe";
    const std::wstring local = program + L".local";
    // Whether the program is refused and the reason holds `part`.
    const auto refusedFor = [&](bool confined, const std::wstring& part) {
        const std::optional<std::wstring> reason = StartCheck::Refusal(confined, program);
        return reason && reason->find(part) != std::wstring::npos;
    };

    EXPECT_FALSE(StartCheck::Refusal(true, program).has_value());
    EXPECT_TRUE(refusedFor(false, L"KB2533623"));
    ASSERT_TRUE(::CreateDirectoryW(local.c_str(), nullptr));
    EXPECT_TRUE(refusedFor(true, L"\n" + local + L"\n")) << "a folder";
    ASSERT_TRUE(::RemoveDirectoryW(local.c_str()));
    ASSERT_TRUE(testing_support::WriteTextFile(std::string(local.begin(), local.end()), ""));
    EXPECT_TRUE(refusedFor(true, L"\n" + local + L"\n")) << "a file";
    EXPECT_TRUE(StartCheck::Refusal(true, std::wstring()).has_value()) << "no path to check";
}

}  // namespace

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

// What the check decides on each answer about the program's folder, among them what
// only Windows gives: a link whose target does not exist yet, which reads as the
// link itself (Wine hides such a link from every query); errors other than "not
// found"; a search that ends before it has seen every entry. The program is saved
// under another name, as a browser saves a second download.
TEST(StartCheck, RefusesWhateverTheFolderCannotBeShownToLack) {
    using Entry = StartCheck::Folder::Entry;
    using Search = StartCheck::Folder::Search;
    const std::wstring folder = L"C:\\Users\\user\\Downloads\\";
    const std::wstring program = folder + L"quenfix (1).exe";
    constexpr Entry kNone{INVALID_FILE_ATTRIBUTES, ERROR_FILE_NOT_FOUND};
    constexpr Entry kLink{FILE_ATTRIBUTE_REPARSE_POINT, ERROR_SUCCESS};
    const Search kProgramOnly{{L"quenfix (1).exe"}, ERROR_NO_MORE_FILES};
    const struct {
        const char* what;
        Entry local;
        Entry config;
        Search search;
        // What the reason names; nothing when the program starts.
        std::optional<std::wstring> named;
    } cases[] = {
        {"nothing beside it", kNone, kNone, kProgramOnly, std::nullopt},
        {"a dangling link", kLink, kNone, kProgramOnly, program + L".local"},
        {"a dangling junction", {FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY, ERROR_SUCCESS}, kNone,
         kProgramOnly, program + L".local"},
        {"an entry it may not read", {INVALID_FILE_ATTRIBUTES, ERROR_ACCESS_DENIED}, kNone, kProgramOnly,
         program + L".local"},
        {"a configuration link", kNone, kLink, kProgramOnly, program + L".config"},
        {"a numbered configuration", kNone, kNone, {{L"quenfix (1).exe.7.config"}, ERROR_NO_MORE_FILES},
         program + L".7.config"},
        {"one in capitals", kNone, kNone, {{L"QUENFIX (1).EXE.103.CONFIG"}, ERROR_NO_MORE_FILES},
         folder + L"QUENFIX (1).EXE.103.CONFIG"},
        {"names of no configuration of its own", kNone, kNone,
         {{L"QUENFI~1.EXE", L"quenfix (1).exe.manifest", L"quenfix (1).exe.config.txt", L"quenfix (1).exe2.config"},
          ERROR_NO_MORE_FILES},
         std::nullopt},
        {"a search that ends early", kNone, kNone, {{L"quenfix (1).exe"}, ERROR_ACCESS_DENIED}, program + L".*.config"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const StartCheck::Folder answering{
            [&](const std::wstring& path) { return path == program + L".local" ? c.local : c.config; },
            [&](const std::wstring& pattern) {
                EXPECT_EQ(pattern, program + L"*");
                return c.search;
            }};
        const std::optional<std::wstring> reason = StartCheck::Refusal(true, program, answering);
        const std::string shown = reason ? testing::PrintToString(*reason) : "no reason";
        EXPECT_EQ(reason.has_value(), c.named.has_value()) << shown;
        if (reason && c.named) {
            EXPECT_NE(reason->find(L"\n" + *c.named + L"\n"), std::wstring::npos) << shown;
        }
    }
}

}  // namespace

#include "CommonControls.h"
#include "UniqueHandle.h"

#include <gtest/gtest.h>

namespace {

struct ActivationContextCloser {
    void operator()(HANDLE context) const noexcept { ::ReleaseActCtx(context); }
};

// Where the system cannot confine the search of a bare name, the name is loaded
// bare only when the activation context sends it to the side-by-side library.
TEST(CommonControls, BareNameIsRedirectedOnlyUnderAContextThatAsksForVersion6) {
    EXPECT_FALSE(comctl32::IsRedirected(L"comctl32.dll"));

    ACTCTXA request{};
    request.cbSize = sizeof request;
    request.lpSource = QUENFIX_MANIFEST;
    const HANDLE created = ::CreateActCtxA(&request);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    const win::unique_any<HANDLE, ActivationContextCloser> context(created);
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(::ActivateActCtx(context.get(), &cookie));
    EXPECT_TRUE(comctl32::IsRedirected(L"comctl32.dll"));
    EXPECT_FALSE(comctl32::IsRedirected(L"uxtheme.dll"));
    ::DeactivateActCtx(0, cookie);
}

}  // namespace

#include "ActivationContext.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace {

// Whether the thread's activation context sends a DLL name to a side-by-side copy.
// Asked of the context: this test program imports the common controls, and Wine
// hands a redirected load of a library it has loaded already the loaded one.
bool Redirected(const wchar_t* library) {
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof data;
    return ::FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, library, &data) != FALSE;
}

// The program's own manifest resource binds version 6 of the common controls while
// its context is active, and only then; every window that the program shows is made
// under it.
TEST(ActivationContext, CommonControlsManifestRedirectsTheLibraryOnlyWhileActive) {
    const auto context = win::ActivationContext::FromResource(::GetModuleHandleW(nullptr), IDR_COMMON_CONTROLS_MANIFEST);
    ASSERT_TRUE(context);
    EXPECT_FALSE(Redirected(L"comctl32.dll"));
    {
        const auto active = context.Activate();
        ASSERT_TRUE(active);
        EXPECT_TRUE(Redirected(L"comctl32.dll"));
        EXPECT_FALSE(Redirected(L"uxtheme.dll"));
    }
    EXPECT_FALSE(Redirected(L"comctl32.dll"));
    EXPECT_FALSE(win::ActivationContext::FromResource(::GetModuleHandleW(nullptr), 9999));
}

}  // namespace

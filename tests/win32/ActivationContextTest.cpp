#include "ActivationContext.h"
#include "AnsiText.h"
#include "TestSupport.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <string>

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

// What the context asks of CreateActCtxW, which then makes it.
DWORD askedFlags = 0;
std::wstring askedAssemblies;

HANDLE WINAPI RecordAndCreate(PCACTCTXW request) {
    askedFlags = request->dwFlags;
    askedAssemblies = request->lpAssemblyDirectory ? request->lpAssemblyDirectory : L"(none)";
    return ::CreateActCtxW(request);
}

// An assembly missing from the system's store is looked for in the system's own
// folder of the program's bitness, not in the manifest's: that is the download
// folder, where a planted configuration file can turn the common controls away
// from the store to a planted copy.
TEST(ActivationContext, LooksForPrivateAssembliesInTheSystemDirectoryOnly) {
    ASSERT_TRUE(win::ActivationContext::FromResource(::GetModuleHandleW(nullptr), IDR_COMMON_CONTROLS_MANIFEST,
                                                     &RecordAndCreate));
    EXPECT_TRUE(askedFlags & ACTCTX_FLAG_ASSEMBLY_DIRECTORY_VALID);
    const std::string wow64 = testing_support::Wow64SystemDirectory();
    const std::string system = sizeof(void*) == 4 && !wow64.empty() ? wow64 : testing_support::SystemDirectory();
    EXPECT_EQ(testing_support::Lower(win::AnsiFromWide(askedAssemblies)), testing_support::Lower(system));
}

}  // namespace

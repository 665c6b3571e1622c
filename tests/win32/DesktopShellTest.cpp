#include "DesktopShell.h"

#include <gtest/gtest.h>

#include <exdisp.h>
#include <shlguid.h>

#include <string>
#include <vector>

namespace {

// A stand-in COM without a desktop shell, which records what it is asked, in order.
// Wine's own cannot show the hardening: its CoInitializeSecurity and its
// unmarshaling policy accept everything and do nothing.
struct Answers {
    HRESULT security;
    HRESULT options;
    HRESULT policy;
} answers;
std::vector<std::string> calls;

class StandInOptions : public IGlobalOptions {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override {
        calls.push_back("release options");
        return 1;
    }
    HRESULT STDMETHODCALLTYPE Set(GLOBALOPT_PROPERTIES property, ULONG_PTR value) override {
        calls.push_back("set " + std::to_string(property) + " " + std::to_string(value));
        return answers.policy;
    }
    HRESULT STDMETHODCALLTYPE Query(GLOBALOPT_PROPERTIES, ULONG_PTR*) override { return E_NOTIMPL; }
} options;

HRESULT WINAPI Enter(LPVOID, DWORD) {
    calls.push_back("enter");
    return S_OK;
}
void WINAPI Leave() { calls.push_back("leave"); }
HRESULT WINAPI Secure(PSECURITY_DESCRIPTOR callers, LONG, SOLE_AUTHENTICATION_SERVICE*, void*, DWORD,
                      DWORD impersonation, void*, DWORD capabilities, void*) {
    const bool guarded = callers && ::IsValidSecurityDescriptor(callers);
    calls.push_back(std::string("security ") + (guarded ? "with callers " : "open ") + std::to_string(impersonation) +
                    " " + std::to_string(capabilities));
    return answers.security;
}
HRESULT WINAPI Create(REFCLSID clsid, LPUNKNOWN, DWORD, REFIID iid, LPVOID* out) {
    *out = nullptr;
    calls.push_back(clsid == CLSID_GlobalOptions ? "options" : clsid == CLSID_ShellWindows ? "shell" : "other");
    if (clsid != CLSID_GlobalOptions) return REGDB_E_CLASSNOTREG;
    return FAILED(answers.options) ? answers.options : options.QueryInterface(iid, out);
}
BSTR WINAPI Alloc(const OLECHAR*) { return nullptr; }
void WINAPI Free(BSTR) {}

// The shell is asked only once the process admits the system's hardened
// unmarshalers alone, with custom marshaling and activation with its rights off and
// only chosen callers let in. Where the policy cannot be set (Windows 7), it is not
// asked, and the caller shows the address. Security set too late is what a second
// click finds: the first one's is in force.
TEST(DesktopShell, IsAskedOnlyOnceUnmarshalingIsKeptToTheSystemsHardenedUnmarshalers) {
    const win::DesktopShell::Com com{&Enter, &Leave, &Secure, &Create, &Alloc, &Free};
    const std::string security = "security with callers " + std::to_string(RPC_C_IMP_LEVEL_IDENTIFY) + " " +
                                 std::to_string(EOAC_NO_CUSTOM_MARSHAL | EOAC_DISABLE_AAA);
    const std::string strong =
        "set " + std::to_string(COMGLB_UNMARSHALING_POLICY) + " " + std::to_string(COMGLB_UNMARSHALING_POLICY_STRONG);
    const std::vector<std::string> hardened = {"enter", security, "options", strong, "release options"};
    const auto then = [&](std::vector<std::string> rest) {
        std::vector<std::string> all = hardened;
        all.insert(all.end(), rest.begin(), rest.end());
        return all;
    };
    const struct {
        Answers answers;
        std::vector<std::string> calls;
    } cases[] = {
        {{S_OK, S_OK, S_OK}, then({"shell", "leave"})},
        {{RPC_E_TOO_LATE, S_OK, S_OK}, then({"shell", "leave"})},
        {{E_OUTOFMEMORY, S_OK, S_OK}, {"enter", security, "leave"}},
        {{S_OK, REGDB_E_CLASSNOTREG, S_OK}, {"enter", security, "options", "leave"}},
        {{S_OK, S_OK, E_INVALIDARG}, then({"leave"})},
    };
    for (const auto& c : cases) {
        answers = c.answers;
        calls.clear();
        EXPECT_FALSE(win::DesktopShell::OpenThrough(com, L"https://example.invalid/", L"Open", L"", L"", SW_NORMAL));
        EXPECT_EQ(calls, c.calls);
    }
}

}  // namespace

#include "DesktopShell.h"

#include "SystemLibrary.h"

#include <windows.h>
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

namespace win::DesktopShell {
namespace {

using Microsoft::WRL::ComPtr;

// The thread in a single-threaded apartment while the object lives, where it was
// in none; a thread already in an apartment stays as it is.
class Apartment {
public:
    explicit Apartment(const Com& com) noexcept
        : m_com(com), m_entered(SUCCEEDED(com.initialize(nullptr, COINIT_APARTMENTTHREADED))) {}
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;
    ~Apartment() {
        if (m_entered) m_com.uninitialize();
    }

private:
    const Com& m_com;
    bool m_entered;
};

// A BSTR variant, freed with the variant.
class TextVariant {
public:
    TextVariant(const Com& com, const wchar_t* text) noexcept : m_com(com) {
        m_value.vt = VT_BSTR;
        m_value.bstrVal = com.allocString(text);
    }
    TextVariant(const TextVariant&) = delete;
    TextVariant& operator=(const TextVariant&) = delete;
    ~TextVariant() { m_com.freeString(m_value.bstrVal); }

    [[nodiscard]] bool Valid() const noexcept { return m_value.bstrVal != nullptr; }
    [[nodiscard]] const VARIANT& get() const noexcept { return m_value; }

private:
    const Com& m_com;
    VARIANT m_value{};
};

// Who may call into this process's objects: the system and administrators. The
// program hands the shell none, and a caller with the user's normal rights is to
// reach nothing here.
class OwnCallersOnly {
public:
    OwnCallersOnly() noexcept { m_valid = Build(); }
    OwnCallersOnly(const OwnCallersOnly&) = delete;
    OwnCallersOnly& operator=(const OwnCallersOnly&) = delete;

    // In absolute form, as CoInitializeSecurity takes it; null when it could not be made.
    [[nodiscard]] PSECURITY_DESCRIPTOR get() noexcept { return m_valid ? &m_descriptor : nullptr; }

private:
    static constexpr DWORD kAceSize = sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + SECURITY_MAX_SID_SIZE;

    bool Build() noexcept {
        constexpr DWORD kRights = COM_RIGHTS_EXECUTE | COM_RIGHTS_EXECUTE_LOCAL;
        DWORD systemSize = sizeof m_system;
        DWORD administratorsSize = sizeof m_administrators;
        const auto acl = reinterpret_cast<PACL>(m_acl);
        return ::CreateWellKnownSid(WinLocalSystemSid, nullptr, m_system, &systemSize) &&
               ::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, m_administrators, &administratorsSize) &&
               ::InitializeAcl(acl, sizeof m_acl, ACL_REVISION) &&
               ::AddAccessAllowedAce(acl, ACL_REVISION, kRights, m_system) &&
               ::AddAccessAllowedAce(acl, ACL_REVISION, kRights, m_administrators) &&
               ::InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION) &&
               ::SetSecurityDescriptorOwner(&m_descriptor, m_administrators, FALSE) &&
               ::SetSecurityDescriptorGroup(&m_descriptor, m_administrators, FALSE) &&
               ::SetSecurityDescriptorDacl(&m_descriptor, TRUE, acl, FALSE);
    }

    alignas(DWORD) BYTE m_system[SECURITY_MAX_SID_SIZE] = {};
    alignas(DWORD) BYTE m_administrators[SECURITY_MAX_SID_SIZE] = {};
    alignas(DWORD) BYTE m_acl[sizeof(ACL) + 2 * kAceSize] = {};
    SECURITY_DESCRIPTOR m_descriptor{};
    bool m_valid = false;
};

// Before anything of the shell's is unmarshaled: the process's unmarshaling policy
// admits only the system's hardened unmarshalers (Windows 8 and later), custom
// marshaling is off, the shell may identify this process but not act as it, and
// no server is started with this process's rights for what it asks. False when the
// policy could not be set; the shell is then not asked.
bool KeepToHardenedUnmarshalers(const Com& com) noexcept {
    OwnCallersOnly callers;
    if (!callers.get()) return false;
    const HRESULT security =
        com.initializeSecurity(callers.get(), -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IDENTIFY,
                               nullptr, EOAC_NO_CUSTOM_MARSHAL | EOAC_DISABLE_AAA, nullptr);
    // Once a process: too late after the program's own call at an earlier click, or
    // where COM already set its defaults for something that marshaled before. Either
    // way, the policy decides.
    if (FAILED(security) && security != RPC_E_TOO_LATE) return false;
    ComPtr<IGlobalOptions> options;
    return SUCCEEDED(com.createInstance(CLSID_GlobalOptions, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&options))) &&
           SUCCEEDED(options->Set(COMGLB_UNMARSHALING_POLICY, COMGLB_UNMARSHALING_POLICY_STRONG));
}

// The shell's automation object behind the desktop window: the desktop's view, its
// background and the application that owns it. Also the desktop window's process,
// which is let take the foreground for what it starts.
ComPtr<IShellDispatch2> DesktopDispatch(const Com& com) noexcept {
    // The running shell's own object only: an object made inside this process would
    // start what it is asked to with this process's rights.
    ComPtr<IShellWindows> windows;
    if (FAILED(com.createInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&windows)))) {
        return {};
    }
    VARIANT desktop{};
    desktop.vt = VT_I4;
    desktop.lVal = CSIDL_DESKTOP;
    VARIANT noRoot{};
    long window = 0;
    ComPtr<IDispatch> found;
    if (windows->FindWindowSW(&desktop, &noRoot, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &found) != S_OK ||
        !found) {
        return {};
    }
    ComPtr<IServiceProvider> services;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IDispatch> background;
    ComPtr<IShellFolderViewDual> folderView;
    ComPtr<IDispatch> application;
    ComPtr<IShellDispatch2> shell;
    if (FAILED(found.As(&services)) ||
        FAILED(services->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(&browser))) ||
        FAILED(browser->QueryActiveShellView(&view)) ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(&background))) ||
        FAILED(background.As(&folderView)) || FAILED(folderView->get_Application(&application)) ||
        FAILED(application.As(&shell))) {
        return {};
    }
    DWORD shellProcess = 0;
    if (::GetWindowThreadProcessId(reinterpret_cast<HWND>(static_cast<LONG_PTR>(window)), &shellProcess)) {
        ::AllowSetForegroundWindow(shellProcess);
    }
    return shell;
}

}  // namespace

Com Com::System() noexcept {
    Com com;
    com.initialize = SystemProc<InitializeFn>(L"ole32.dll", "CoInitializeEx");
    com.uninitialize = SystemProc<UninitializeFn>(L"ole32.dll", "CoUninitialize");
    com.initializeSecurity = SystemProc<InitializeSecurityFn>(L"ole32.dll", "CoInitializeSecurity");
    com.createInstance = SystemProc<CreateInstanceFn>(L"ole32.dll", "CoCreateInstance");
    com.allocString = SystemProc<AllocStringFn>(L"oleaut32.dll", "SysAllocString");
    com.freeString = SystemProc<FreeStringFn>(L"oleaut32.dll", "SysFreeString");
    return com;
}

bool Com::Complete() const noexcept {
    return initialize && uninitialize && initializeSecurity && createInstance && allocString && freeString;
}

bool Open(const wchar_t* file, const wchar_t* operation, const wchar_t* parameters, const wchar_t* directory,
          int show) noexcept {
    return OpenThrough(Com::System(), file, operation, parameters, directory, show);
}

bool OpenThrough(const Com& com, const wchar_t* file, const wchar_t* operation, const wchar_t* parameters,
                 const wchar_t* directory, int show) noexcept {
    if (!com.Complete()) return false;
    const Apartment apartment(com);
    if (!KeepToHardenedUnmarshalers(com)) return false;
    const ComPtr<IShellDispatch2> shell = DesktopDispatch(com);
    if (!shell) return false;
    const TextVariant fileText(com, file);
    const TextVariant parameterText(com, parameters);
    const TextVariant directoryText(com, directory);
    const TextVariant operationText(com, operation);
    VARIANT showCommand{};
    showCommand.vt = VT_I4;
    showCommand.lVal = show;
    if (!fileText.Valid() || !parameterText.Valid() || !directoryText.Valid() || !operationText.Valid()) return false;
    return SUCCEEDED(shell->ShellExecute(fileText.get().bstrVal, parameterText.get(), directoryText.get(),
                                         operationText.get(), showCommand));
}

}  // namespace win::DesktopShell

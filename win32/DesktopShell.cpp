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

// COM and BSTRs are bound when the link is first used: imported, ole32 and
// oleaut32 would load before the window's first paint.
struct Com {
    using InitializeFn = HRESULT(WINAPI*)(LPVOID, DWORD);
    using UninitializeFn = void(WINAPI*)();
    using CreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
    using AllocStringFn = BSTR(WINAPI*)(const OLECHAR*);
    using FreeStringFn = void(WINAPI*)(BSTR);

    InitializeFn initialize = SystemProc<InitializeFn>(L"ole32.dll", "CoInitializeEx");
    UninitializeFn uninitialize = SystemProc<UninitializeFn>(L"ole32.dll", "CoUninitialize");
    CreateInstanceFn createInstance = SystemProc<CreateInstanceFn>(L"ole32.dll", "CoCreateInstance");
    AllocStringFn allocString = SystemProc<AllocStringFn>(L"oleaut32.dll", "SysAllocString");
    FreeStringFn freeString = SystemProc<FreeStringFn>(L"oleaut32.dll", "SysFreeString");

    [[nodiscard]] bool Complete() const noexcept {
        return initialize && uninitialize && createInstance && allocString && freeString;
    }
};

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

bool Open(const wchar_t* file, const wchar_t* operation, const wchar_t* parameters, const wchar_t* directory,
          int show) noexcept {
    const Com com;
    if (!com.Complete()) return false;
    const Apartment apartment(com);
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

#pragma once
// The desktop's shell (Explorer), asked to open a file or address as its own
// ShellExecute would. What it starts runs with the shell's rights, the user's
// normal ones, and not with those of an elevated caller.
// The shell's objects come from the shell's process, where any program of the user
// can reach; before this process unmarshals any of them, it lets only the system's
// hardened unmarshalers run, turns custom marshaling off and has no server started
// with its own rights for what it asks.

#include <objbase.h>

namespace win::DesktopShell {

// The COM and BSTR entries through which the shell is reached. Tests replace them.
struct Com {
    using InitializeFn = HRESULT(WINAPI*)(LPVOID, DWORD);
    using UninitializeFn = void(WINAPI*)();
    using InitializeSecurityFn = HRESULT(WINAPI*)(PSECURITY_DESCRIPTOR, LONG, SOLE_AUTHENTICATION_SERVICE*, void*,
                                                  DWORD, DWORD, void*, DWORD, void*);
    using CreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
    using AllocStringFn = BSTR(WINAPI*)(const OLECHAR*);
    using FreeStringFn = void(WINAPI*)(BSTR);

    InitializeFn initialize = nullptr;
    UninitializeFn uninitialize = nullptr;
    InitializeSecurityFn initializeSecurity = nullptr;
    CreateInstanceFn createInstance = nullptr;
    AllocStringFn allocString = nullptr;
    FreeStringFn freeString = nullptr;

    // ole32's and oleaut32's own, bound when the link is first used: imported, they
    // would load before the window's first paint.
    [[nodiscard]] static Com System() noexcept;
    [[nodiscard]] bool Complete() const noexcept;
};

// Hands `file` to the desktop's shell with ShellExecute's other arguments. False when
// there is no desktop shell to take it (none runs, or another shell than Explorer),
// it refused, or this process could not be kept to the system's hardened
// unmarshalers (Windows 7 has no such policy).
[[nodiscard]] bool Open(const wchar_t* file, const wchar_t* operation, const wchar_t* parameters,
                        const wchar_t* directory, int show) noexcept;

// The same, through `com`.
[[nodiscard]] bool OpenThrough(const Com& com, const wchar_t* file, const wchar_t* operation,
                               const wchar_t* parameters, const wchar_t* directory, int show) noexcept;

}  // namespace win::DesktopShell

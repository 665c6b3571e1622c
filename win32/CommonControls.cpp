#include "CommonControls.h"

#include "SystemLibrary.h"

#include <cstring>
#include <utility>

namespace comctl32 {
namespace {

constexpr const wchar_t* kLibrary = L"comctl32.dll";

// The bare name lets the activation context pick the library; the flag keeps the
// search that follows to the system directory.
HMODULE LoadBoundLibrary() noexcept {
    return ::LoadLibraryExW(kLibrary, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// The entry by its name, or by its documented ordinal where the library exports it
// by ordinal only (the subclass functions before version 6).
FARPROC FindEntry(const char* name) noexcept {
    const HMODULE module = Module();
    if (!module) return nullptr;
    if (const FARPROC entry = ::GetProcAddress(module, name)) return entry;
    static constexpr std::pair<const char*, WORD> kOrdinals[] = {
        {"SetWindowSubclass", 410}, {"GetWindowSubclass", 411}, {"RemoveWindowSubclass", 412}, {"DefSubclassProc", 413}};
    for (const auto& [exported, ordinal] : kOrdinals) {
        if (std::strcmp(exported, name) == 0) return ::GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
    }
    return nullptr;
}

template <typename F>
struct Entry : win::BoundEntry<F> {
    explicit constexpr Entry(const char* name) noexcept : win::BoundEntry<F>(&FindEntry, name) {}
};

// Each entry is kept once found; the library never goes away.
struct Entries {
    Entry<DllGetVersionProc> dllGetVersion{"DllGetVersion"};
    Entry<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)> initCommonControlsEx{"InitCommonControlsEx"};
    Entry<BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR)> setWindowSubclass{"SetWindowSubclass"};
    Entry<BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR*)> getWindowSubclass{"GetWindowSubclass"};
    Entry<BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR)> removeWindowSubclass{"RemoveWindowSubclass"};
    Entry<LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM)> defSubclassProc{"DefSubclassProc"};
};

Entries& Api() noexcept {
    static Entries entries;
    return entries;
}

}  // namespace

// Kept once loaded; a load that failed is tried again at the next use.
HMODULE Module() noexcept {
    static HMODULE module = nullptr;
    if (!module) module = LoadBoundLibrary();
    return module;
}

DllGetVersionProc DllGetVersionEntry() noexcept {
    const DllGetVersionProc entry = Api().dllGetVersion.get();
    if (!entry) ::SetLastError(ERROR_PROC_NOT_FOUND);
    return entry;
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) noexcept {
    return win::CallOr(Api().initCommonControlsEx, FALSE, init);
}

BOOL SetWindowSubclass(HWND hWnd, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR refData) noexcept {
    return win::CallOr(Api().setWindowSubclass, FALSE, hWnd, procedure, id, refData);
}

BOOL GetWindowSubclass(HWND hWnd, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR* refData) noexcept {
    return win::CallOr(Api().getWindowSubclass, FALSE, hWnd, procedure, id, refData);
}

BOOL RemoveWindowSubclass(HWND hWnd, SUBCLASSPROC procedure, UINT_PTR id) noexcept {
    return win::CallOr(Api().removeWindowSubclass, FALSE, hWnd, procedure, id);
}

LRESULT DefSubclassProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept {
    // Only reached from a subclass procedure, which this library installed.
    const auto entry = Api().defSubclassProc.get();
    return entry ? entry(hWnd, uMsg, wParam, lParam) : ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

}  // namespace comctl32

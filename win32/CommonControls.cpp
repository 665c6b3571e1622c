#include "CommonControls.h"

#include "SystemLibrary.h"

namespace comctl32 {
namespace {

constexpr const wchar_t* kLibrary = L"comctl32.dll";

HMODULE LoadBoundLibrary() noexcept {
    // The bare name lets the activation context pick the library; the flag keeps
    // the search that follows to the system directory.
    if (const HMODULE module = ::LoadLibraryExW(kLibrary, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return module;
    }
    // Systems before Windows 8 without KB2533623 refuse the flag. There the bare
    // name is safe only when the activation context redirects it; otherwise the
    // search would begin in the program's own folder.
    if (IsRedirected(kLibrary)) return ::LoadLibraryW(kLibrary);
    return win::LoadSystemLibrary(kLibrary);
}

// The entry by its name, or by its documented ordinal where the library exports it
// by ordinal only (the subclass functions before version 6).
template <typename F>
F Entry(const char* name, WORD ordinal = 0) noexcept {
    const HMODULE module = Module();
    if (!module) return nullptr;
    FARPROC entry = ::GetProcAddress(module, name);
    if (!entry && ordinal) entry = ::GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
    return reinterpret_cast<F>(reinterpret_cast<void*>(entry));
}

// Each entry is looked up once; the library never goes away.
struct Entries {
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    using SetFn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR);
    using GetFn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR*);
    using RemoveFn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR);
    using DefFn = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);

    DllGetVersionProc dllGetVersion = Entry<DllGetVersionProc>("DllGetVersion");
    InitFn initCommonControlsEx = Entry<InitFn>("InitCommonControlsEx");
    SetFn setWindowSubclass = Entry<SetFn>("SetWindowSubclass", 410);
    GetFn getWindowSubclass = Entry<GetFn>("GetWindowSubclass", 411);
    RemoveFn removeWindowSubclass = Entry<RemoveFn>("RemoveWindowSubclass", 412);
    DefFn defSubclassProc = Entry<DefFn>("DefSubclassProc", 413);
};

const Entries& Api() noexcept {
    static const Entries entries;
    return entries;
}

}  // namespace

HMODULE Module() noexcept {
    static const HMODULE module = LoadBoundLibrary();
    return module;
}

bool IsRedirected(const wchar_t* library) noexcept {
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof data;
    return ::FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, library,
                                      &data) != FALSE;
}

DllGetVersionProc DllGetVersionEntry() noexcept {
    if (!Api().dllGetVersion) ::SetLastError(ERROR_PROC_NOT_FOUND);
    return Api().dllGetVersion;
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) noexcept {
    return Api().initCommonControlsEx ? Api().initCommonControlsEx(init) : FALSE;
}

BOOL SetWindowSubclass(HWND hWnd, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR refData) noexcept {
    return Api().setWindowSubclass ? Api().setWindowSubclass(hWnd, procedure, id, refData) : FALSE;
}

BOOL GetWindowSubclass(HWND hWnd, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR* refData) noexcept {
    return Api().getWindowSubclass ? Api().getWindowSubclass(hWnd, procedure, id, refData) : FALSE;
}

BOOL RemoveWindowSubclass(HWND hWnd, SUBCLASSPROC procedure, UINT_PTR id) noexcept {
    return Api().removeWindowSubclass ? Api().removeWindowSubclass(hWnd, procedure, id) : FALSE;
}

LRESULT DefSubclassProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept {
    // Only reached from a subclass procedure, which this library installed.
    return Api().defSubclassProc ? Api().defSubclassProc(hWnd, uMsg, wParam, lParam)
                                 : ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

}  // namespace comctl32

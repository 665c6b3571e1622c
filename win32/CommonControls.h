#pragma once
// The common-controls library, bound at run time instead of imported: it is not one
// of Windows' KnownDLLs, so an import would be looked for in the program's own folder
// first. The library bound is the one the thread's activation context names when it
// is first used, the side-by-side version 6 when a manifest asks for it, and
// otherwise the system directory's; it stays loaded for the life of the process. Without the library, or
// without an entry, every call fails.

#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

namespace comctl32 {

using DllGetVersionProc = HRESULT(CALLBACK*)(DLLVERSIONINFO*);

// The bound library, loaded on first use; null when it cannot be loaded.
[[nodiscard]] HMODULE Module() noexcept;

// DllGetVersion of the bound library, or null (with the thread's last error set).
[[nodiscard]] DllGetVersionProc DllGetVersionEntry() noexcept;

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) noexcept;
BOOL SetWindowSubclass(HWND hWnd, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR refData) noexcept;
BOOL GetWindowSubclass(HWND hWnd, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR* refData) noexcept;
BOOL RemoveWindowSubclass(HWND hWnd, SUBCLASSPROC procedure, UINT_PTR id) noexcept;
LRESULT DefSubclassProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace comctl32

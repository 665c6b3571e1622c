#pragma once
// Entries of system DLLs that the program needs only now and then, bound on first
// use instead of imported: every imported DLL is loaded and initialised before the
// window can appear (oleaut32 brings ole32, combase and rpcrt4 with it, shell32
// brings shcore and shlwapi). A DLL not yet loaded is taken from the system
// directory by its full path, never from the program's or the current directory,
// and stays loaded for the life of the process.

#include <windows.h>

namespace win {

// The address of `name` in the system DLL `library`, or null when either is missing.
[[nodiscard]] FARPROC SystemProcAddress(const wchar_t* library, const char* name) noexcept;

// The same, cast to the entry's type.
template <typename F>
[[nodiscard]] F SystemProc(const wchar_t* library, const char* name) noexcept {
    return reinterpret_cast<F>(reinterpret_cast<void*>(SystemProcAddress(library, name)));
}

// The address of `name` in the DLL of that name that the process has already loaded
// (for a side-by-side library, the version it has bound), or null. Loads nothing.
template <typename F>
[[nodiscard]] F LoadedProc(const wchar_t* library, const char* name) noexcept {
    const HMODULE module = ::GetModuleHandleW(library);
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
                  : nullptr;
}

}  // namespace win

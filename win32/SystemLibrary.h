#pragma once
// Where the program's DLLs come from. It runs elevated, often from a download folder
// that others can write to, so no DLL is ever taken from the program's own folder,
// the current directory or PATH: entries that are needed only now and then are bound
// on first use from the system directory by full path, and every other load by name
// is confined to the system directory for the life of the process.
// Binding on first use also keeps those libraries out of the start-up: every
// imported DLL is loaded and initialised before the window can appear (oleaut32
// brings ole32, combase and rpcrt4 with it, shell32 brings shcore and shlwapi).

#include <windows.h>

#include <string>

namespace win {

// Confines every later load of a DLL by name, the dependencies of loaded DLLs
// included, to the system directory (SetDefaultDllDirectories), and takes the
// current directory out of the search that a load with an altered search path
// still makes. False where the system cannot confine the search: Windows 7 without
// KB2533623, and Vista. Call it before anything else runs.
[[nodiscard]] bool ConfineLibrarySearch() noexcept;

// The full path of the file of `module` (null: the program's own); empty when the
// system cannot say.
[[nodiscard]] std::wstring ModulePath(HMODULE module);

// The system directory, System32 (GetSystemDirectoryW). A 32-bit process on 64-bit
// Windows gets that name too, and reaches SysWOW64 through it while the thread's
// file-system redirection is on. Empty when the system cannot say.
[[nodiscard]] std::wstring SystemDirectory();
// The system's Windows directory (GetSystemWindowsDirectoryW), also on a terminal
// server, where each user has a Windows directory of their own; empty when the
// system cannot say.
[[nodiscard]] std::wstring WindowsDirectory();
// The folder of the system DLLs of this process's own bitness (SysWOW64 for a
// 32-bit process on 64-bit Windows); empty when the system cannot say.
[[nodiscard]] std::wstring SystemDllDirectory();

// The system DLL `library` of this process's own bitness, loaded by its full path
// and kept for the life of the process; null when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* library) noexcept;

// The address of `name` in the system DLL `library`, or null when either is missing.
[[nodiscard]] FARPROC SystemProcAddress(const wchar_t* library, const char* name) noexcept;

// The same, cast to the entry's type.
template <typename F>
[[nodiscard]] F SystemProc(const wchar_t* library, const char* name) noexcept {
    return reinterpret_cast<F>(reinterpret_cast<void*>(SystemProcAddress(library, name)));
}

// An entry point that is looked up by `find` until it is found, and kept from then
// on: a lookup that fails once (a library that could not be loaded at that moment)
// is made again at the next use instead of failing for the life of the process.
template <typename F>
class BoundEntry {
public:
    using Finder = FARPROC (*)(const char* name) noexcept;

    constexpr BoundEntry(Finder find, const char* name) noexcept : m_find(find), m_name(name) {}

    // Null while the entry cannot be found.
    [[nodiscard]] F get() noexcept {
        if (!m_entry) m_entry = reinterpret_cast<F>(reinterpret_cast<void*>(m_find(m_name)));
        return m_entry;
    }

private:
    Finder m_find;
    const char* m_name;
    F m_entry = nullptr;
};

// The entry's answer, or `unbound` while the entry cannot be found.
template <typename F, typename R, typename... Args>
[[nodiscard]] R CallOr(BoundEntry<F>& entry, R unbound, Args... args) noexcept {
    const F function = entry.get();
    return function ? function(args...) : unbound;
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

#include "SystemLibrary.h"

#include <cwchar>
#include <vector>

namespace win {
namespace {

using GetDirectoryFn = UINT(WINAPI*)(LPWSTR, UINT);

// The folder `directoryOf` names, written into `path`: its length, or 0 when the
// system cannot say or the name does not fit.
UINT DirectoryInto(GetDirectoryFn directoryOf, wchar_t (&path)[MAX_PATH]) noexcept {
    const UINT length = directoryOf(path, MAX_PATH);
    return length < MAX_PATH ? length : 0;
}

std::wstring Directory(GetDirectoryFn directoryOf) {
    wchar_t path[MAX_PATH];
    return std::wstring(path, DirectoryInto(directoryOf, path));
}

// The folder of the system DLLs of this process's own bitness. A 32-bit process on
// 64-bit Windows names SysWOW64 itself instead of relying on the file-system
// redirection of System32, which a repair run switches off for the window's thread
// while it starts a child: a load in that moment would reach the 64-bit DLL.
UINT SystemDllDirectoryInto(wchar_t (&path)[MAX_PATH]) noexcept {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    BOOL wow64 = FALSE;
    if (const auto isWow64 = LoadedProc<IsWow64ProcessFn>(L"kernel32.dll", "IsWow64Process")) {
        isWow64(::GetCurrentProcess(), &wow64);
    }
    const auto wow64Directory = LoadedProc<GetDirectoryFn>(L"kernel32.dll", "GetSystemWow64DirectoryW");
    return DirectoryInto(wow64 && wow64Directory ? wow64Directory : &::GetSystemDirectoryW, path);
}

}  // namespace

bool ConfineLibrarySearch() noexcept {
    // Windows 8 and later, and Windows 7 with KB2533623, have the call; it also
    // covers what the loaded DLLs themselves load by name.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefault = LoadedProc<SetDefaultDllDirectoriesFn>(L"kernel32.dll", "SetDefaultDllDirectories");
    const bool confined = setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // LOAD_WITH_ALTERED_SEARCH_PATH, which some system DLLs use for what they load
    // by full path, still searches the current directory unless it is taken out.
    ::SetDllDirectoryW(L"");
    return confined;
}

std::wstring ModulePath(HMODULE module) {
    // Paths may be longer than MAX_PATH: the buffer holds the longest there is, 32767
    // characters and the terminating null.
    std::vector<wchar_t> path(32768);
    const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    return length > 0 && length < path.size() ? std::wstring(path.data(), length) : std::wstring();
}

std::wstring SystemDirectory() {
    return Directory(&::GetSystemDirectoryW);
}

std::wstring WindowsDirectory() {
    return Directory(&::GetSystemWindowsDirectoryW);
}

std::wstring SystemDllDirectory() {
    wchar_t path[MAX_PATH];
    return std::wstring(path, SystemDllDirectoryInto(path));
}

HMODULE LoadSystemLibrary(const wchar_t* library) noexcept {
    if (const HMODULE loaded = ::GetModuleHandleW(library)) return loaded;
    wchar_t path[MAX_PATH];
    const UINT length = SystemDllDirectoryInto(path);
    const std::size_t libraryLength = std::wcslen(library);
    if (length == 0 || length + 1 + libraryLength >= MAX_PATH) return nullptr;
    path[length] = L'\\';
    std::wmemcpy(path + length + 1, library, libraryLength + 1);
    return ::LoadLibraryW(path);
}

FARPROC SystemProcAddress(const wchar_t* library, const char* name) noexcept {
    const HMODULE module = LoadSystemLibrary(library);
    return module ? ::GetProcAddress(module, name) : nullptr;
}

}  // namespace win

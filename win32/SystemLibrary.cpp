#include "SystemLibrary.h"

#include <cwchar>

namespace win {

FARPROC SystemProcAddress(const wchar_t* library, const char* name) noexcept {
    wchar_t path[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
    const std::size_t libraryLength = std::wcslen(library);
    if (length == 0 || length + 1 + libraryLength >= MAX_PATH) return nullptr;
    path[length] = L'\\';
    std::wmemcpy(path + length + 1, library, libraryLength + 1);
    const HMODULE module = ::LoadLibraryW(path);
    return module ? ::GetProcAddress(module, name) : nullptr;
}

}  // namespace win

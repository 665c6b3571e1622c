#include "StartCheck.h"

#include <windows.h>

namespace StartCheck {
namespace {

constexpr const wchar_t* kCaption = L"Quenfix";

// Anything other than "not there" counts as there: a check that cannot tell must
// not let the program start.
bool Exists(const std::wstring& path) {
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const DWORD error = ::GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

}  // namespace

std::optional<std::wstring> Refusal(bool librarySearchConfined, const std::wstring& programPath) {
    if (!librarySearchConfined) {
        return L"Quenfix did not start: this version of Windows cannot keep it from loading DLLs out of the "
               L"folder it was started from, and it runs as administrator.\n\n"
               L"Quenfix needs Windows 7 SP1 with update KB2533623, or Windows 8 or later.";
    }
    if (programPath.empty()) {
        return std::wstring(L"Quenfix did not start: it could not find its own file, so it could not check its folder.");
    }
    const std::wstring local = programPath + L".local";
    if (!Exists(local)) return std::nullopt;
    return L"Quenfix did not start, because this folder or file lies beside it:\n\n" + local +
           L"\n\nWindows can load system files from there into Quenfix, which runs as administrator. "
           L"Delete it, then start Quenfix again.";
}

void ShowRefusal(const std::wstring& reason) noexcept {
    ::MessageBoxW(nullptr, reason.c_str(), kCaption, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace StartCheck

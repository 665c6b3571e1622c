#include "StartCheck.h"

#include "UniqueHandle.h"

#include <string_view>

namespace StartCheck {
namespace {

constexpr const wchar_t* kCaption = L"Quenfix";
constexpr std::wstring_view kConfiguration = L".config";

// Anything other than "not there" counts as there: a check that cannot tell must
// not let the program start.
bool Exists(const Folder::Entry& entry) {
    if (entry.attributes != INVALID_FILE_ATTRIBUTES) return true;
    return entry.error != ERROR_FILE_NOT_FOUND && entry.error != ERROR_PATH_NOT_FOUND;
}

// Compared as the file system compares names.
bool SameName(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// "<program>.config" or "<program>.<anything>.config".
bool IsConfigurationOf(std::wstring_view name, std::wstring_view program) {
    return name.size() >= program.size() + kConfiguration.size() &&
           SameName(name.substr(0, program.size()), program) && name[program.size()] == L'.' &&
           SameName(name.substr(name.size() - kConfiguration.size()), kConfiguration);
}

std::wstring LiesBeside(const std::wstring& path) {
    return L"Quenfix did not start, because this folder or file lies beside it:\n\n" + path +
           L"\n\nThrough it, Windows can load files from this folder into Quenfix, which runs as administrator. "
           L"Delete it, then start Quenfix again.";
}

Folder::Entry EntryOf(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return {attributes, attributes == INVALID_FILE_ATTRIBUTES ? ::GetLastError() : ERROR_SUCCESS};
}

Folder::Search SearchFolder(const std::wstring& pattern) {
    WIN32_FIND_DATAW found{};
    const HANDLE first = ::FindFirstFileW(pattern.c_str(), &found);
    if (first == INVALID_HANDLE_VALUE) return {{}, ::GetLastError()};
    const win::unique_hfind search(first);
    Folder::Search result{{}, ERROR_SUCCESS};
    do result.names.emplace_back(found.cFileName);
    while (::FindNextFileW(search.get(), &found));
    result.end = ::GetLastError();
    return result;
}

}  // namespace

Folder Folder::System() { return {&EntryOf, &SearchFolder}; }

std::optional<std::wstring> Refusal(bool librarySearchConfined, const std::wstring& programPath,
                                    const Folder& folder) {
    if (!librarySearchConfined) {
        return L"Quenfix did not start: this version of Windows cannot keep it from loading DLLs out of the "
               L"folder it was started from, and it runs as administrator.\n\n"
               L"Quenfix needs Windows 7 SP1 with update KB2533623, or Windows 8 or later.";
    }
    // 0 when the path names no folder.
    const std::size_t nameStart = programPath.find_last_of(L'\\') + 1;
    if (nameStart == 0 || nameStart == programPath.size()) {
        return std::wstring(L"Quenfix did not start: it could not find its own file, so it could not check its folder.");
    }
    for (const wchar_t* suffix : {L".local", L".config"}) {
        if (Exists(folder.entry(programPath + suffix))) return LiesBeside(programPath + suffix);
    }
    // A configuration file for one of the program's manifest resources carries the
    // resource's number in its name. Every name that starts with the program's is
    // asked for, so that no such file can hide behind what a pattern matches.
    const Folder::Search found = folder.search(programPath + L"*");
    const std::wstring_view program = std::wstring_view(programPath).substr(nameStart);
    for (const std::wstring& name : found.names) {
        if (IsConfigurationOf(name, program)) return LiesBeside(programPath.substr(0, nameStart) + name);
    }
    if (found.end == ERROR_NO_MORE_FILES || found.end == ERROR_FILE_NOT_FOUND) return std::nullopt;
    return L"Quenfix did not start, because it could not check its folder for configuration files named\n\n" +
           programPath + L".*.config\n\nThrough such a file, Windows can load files from this folder into Quenfix, "
           L"which runs as administrator. Make sure there is none, then start Quenfix again.";
}

void ShowRefusal(const std::wstring& reason) noexcept {
    ::MessageBoxW(nullptr, reason.c_str(), kCaption, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

}  // namespace StartCheck

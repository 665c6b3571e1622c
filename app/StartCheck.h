#pragma once
// What the program checks before it binds anything that a folder beside it could
// supply. It runs elevated, usually from the folder it was downloaded to, where
// others can leave files; where it cannot keep their files out, it does not start.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace StartCheck {

// The exit code of a program that refused to start.
inline constexpr int kRefusedExitCode = 2;

// What the check learns of the program's folder. Tests replace it.
struct Folder {
    // The attributes of the entry at a path, or INVALID_FILE_ATTRIBUTES and the error.
    struct Entry {
        DWORD attributes;
        DWORD error;
    };
    // The long names of the entries that a pattern matched, and the error that ended
    // the search: ERROR_NO_MORE_FILES, or ERROR_FILE_NOT_FOUND when nothing matched,
    // once every entry was seen.
    struct Search {
        std::vector<std::wstring> names;
        DWORD end;
    };

    // GetFileAttributesW, which describes a link itself, never its target, so that
    // a link whose target does not exist yet is found too.
    std::function<Entry(const std::wstring& path)> entry;
    // FindFirstFileW and FindNextFileW, which match a pattern against both the long
    // and the short name of each entry, and list a link as an entry of its own.
    std::function<Search(const std::wstring& pattern)> search;

    static Folder System();
};

// Why the program must not start, as the user is to read it; nothing when it may.
// - `librarySearchConfined` false: the system cannot keep DLL loads by name to the
//   system directory, so the program's own folder would come first for them.
// - "<programPath>.local" is there (a folder, a file or a link): Windows'
//   side-by-side loader takes the assemblies of a manifest (version 6 of the common
//   controls among them) from that folder before its own store.
// - "<programPath>.config" or "<programPath>.<anything>.config" is there: such an
//   application configuration file can turn the program's common controls away
//   from the system's store, to a copy that side-by-side then looks for beside the
//   manifest.
// Whatever the folder cannot be shown to lack counts as there.
[[nodiscard]] std::optional<std::wstring> Refusal(bool librarySearchConfined, const std::wstring& programPath,
                                                  const Folder& folder = Folder::System());

// Shows the reason in a message box of the system's own look. Call it before any
// version-6 activation context is active: the box's buttons would then come from
// the common controls that a planted folder can supply.
void ShowRefusal(const std::wstring& reason) noexcept;

}  // namespace StartCheck

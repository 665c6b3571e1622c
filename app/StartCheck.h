#pragma once
// What the program checks before it binds anything that a folder beside it could
// supply. It runs elevated, usually from the folder it was downloaded to, where
// others can leave files; where it cannot keep their files out, it does not start.

#include <optional>
#include <string>

namespace StartCheck {

// The exit code of a program that refused to start.
inline constexpr int kRefusedExitCode = 2;

// Why the program must not start, as the user is to read it; nothing when it may.
// - `librarySearchConfined` false: the system cannot keep DLL loads by name to the
//   system directory, so the program's own folder would come first for them.
// - "<programPath>.local" exists, as a folder or a file: Windows' side-by-side
//   loader takes the assemblies of a manifest (version 6 of the common controls
//   among them) from that folder before its own store.
[[nodiscard]] std::optional<std::wstring> Refusal(bool librarySearchConfined, const std::wstring& programPath);

// Shows the reason in a message box of the system's own look. Call it before any
// version-6 activation context is active: the box's buttons would then come from
// the common controls that a planted folder can supply.
void ShowRefusal(const std::wstring& reason) noexcept;

}  // namespace StartCheck

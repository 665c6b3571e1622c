#pragma once
// The desktop's shell (Explorer), asked to open a file or address as its own
// ShellExecute would. What it starts runs with the shell's rights, the user's
// normal ones, and not with those of an elevated caller.

namespace win::DesktopShell {

// Hands `file` to the desktop's shell with ShellExecute's other arguments. False when
// there is no desktop shell to take it (none runs, or another shell than Explorer)
// or it refused.
[[nodiscard]] bool Open(const wchar_t* file, const wchar_t* operation, const wchar_t* parameters,
                        const wchar_t* directory, int show) noexcept;

}  // namespace win::DesktopShell

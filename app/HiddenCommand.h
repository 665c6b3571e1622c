#pragma once
// Runs one command line as a hidden child process: minimised without taking the
// focus, its standard output on a pipe that nobody reads, waited for at most
// kWaitMilliseconds and then left to itself.

#include "RepairPlatform.h"

#include <optional>
#include <string>
#include <string_view>

namespace HiddenCommand {

inline constexpr unsigned long kWaitMilliseconds = 3000;

// Empty when the child was started; otherwise "Error: CreatePipe failed. " or
// "Error: CreateProcess failed. " followed by the system error code. The child gets
// the machine's environment variables only, with PATH replaced (SystemSearchPath);
// where that environment cannot be built, it is not started.
// With bRedirectionOff the thread's file-system redirection is off while the child
// is created, and only then: it is restored, on every path, before the runner lets
// any message through. While it is off, a handler could neither start a run that
// finds redirection on nor load a DLL (Windows fails loads in that state).
[[nodiscard]] std::string RunHiddenCommand(const std::string& sCommand, bool bRedirectionOff = false,
                                           const RepairPlatform& platform = RepairPlatform::System());

// The program file to start for a command line. A program name without a path is
// taken from the system directory (".exe" added when it has no extension), never
// from the program's own or the current directory, where anybody may have put a
// file of that name. Nothing for a name with a path: the system takes it as given.
[[nodiscard]] std::optional<std::string> ResolveApplicationName(const std::string& sCommand);

// The PATH a child gets: the system directory, the Windows directory and the system
// directory's Wbem folder, so that a child's search for a file it was given by name
// reaches nothing that another user could have put in a folder of their own.
[[nodiscard]] std::wstring SystemSearchPath();

// An environment block (entries "NAME=value", each ended by a null, the block by one
// more) with every PATH entry, in any case, replaced by one "PATH=<path>" at the
// place of the first, or added in name order where there was none. Null or empty
// gives a block with PATH alone.
[[nodiscard]] std::wstring EnvironmentWithPath(const wchar_t* environment, std::wstring_view path);

}  // namespace HiddenCommand

#pragma once
// Runs one command line as a hidden child process: minimised without taking the
// focus, its standard output on a pipe that nobody reads, waited for at most
// kWaitMilliseconds and then left to itself.

#include <optional>
#include <string>

namespace HiddenCommand {

inline constexpr unsigned long kWaitMilliseconds = 3000;

// Empty when the child was started; otherwise "Error: CreatePipe failed. " or
// "Error: CreateProcess failed. " followed by the system error code.
[[nodiscard]] std::string RunHiddenCommand(const std::string& sCommand);

// The program file to start for a command line. A program name without a path is
// taken from the system directory (".exe" added when it has no extension), never
// from the program's own or the current directory, where anybody may have put a
// file of that name. Nothing for a name with a path: the system takes it as given.
[[nodiscard]] std::optional<std::string> ResolveApplicationName(const std::string& sCommand);

}  // namespace HiddenCommand

#pragma once
// What the tests and the stand-in regsvr32.exe share: how the stand-in ends, so that
// a test can tell a child that could not log from one that never got as far as
// trying, and how a test hands it its settings.

#include <array>
#include <string>

namespace standin {

enum ExitCode : unsigned long {
    kLogged = 0,
    kNoTurn = 2,          // the mutex that orders the appends could not be had
    kLogNotOpened = 3,
    kLineNotWritten = 4,
};

// The command runner gives its children the machine's environment alone, so the
// settings cannot travel in it. A test puts them in a file mapping named after the
// process that starts the stand-ins, one line each: the log's path, the prefix of the
// names of the events that hold a copy, and the value of the probe handle.
struct Settings {
    std::string log;
    std::string hold;
    std::string probe;
};
inline std::string SettingsName(unsigned long parentProcessId) {
    return "quenfix-standin-settings-" + std::to_string(parentProcessId);
}
inline constexpr unsigned long kSettingsSize = 65536;

// The variables of the environment the stand-in logs, "name=value" for each that is
// set, separated by ';': those an elevated program must not hand down from its user.
inline constexpr std::array<const char*, 7> kWatchedVariables = {
    "windir", "SystemRoot", "ProgramFiles", "CommonProgramFiles", "COR_ENABLE_PROFILING", "COR_PROFILER_PATH",
    "__COMPAT_LAYER"};

}  // namespace standin

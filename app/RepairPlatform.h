#pragma once
// What a repair run asks of the system: the thread's file-system redirection switch
// and the command runner. Tests replace them, because a 64-bit process cannot
// observe the switch (it exists for 32-bit processes on 64-bit Windows only).

#include <windows.h>

#include <functional>
#include <string>

struct RepairPlatform {
    // Empty where kernel32 lacks the function (32-bit Windows before XP SP2 and
    // Server 2003 SP1): the step then does nothing.
    std::function<BOOL(PVOID* saved)> disableRedirection;
    std::function<BOOL(PVOID saved)> revertRedirection;
    std::function<std::string(const std::string& command)> runCommand;

    // kernel32's redirection functions, looked up at run time, and the hidden runner.
    static RepairPlatform System();
};

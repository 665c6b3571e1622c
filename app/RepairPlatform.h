#pragma once
// What a repair run asks of the system: the thread's file-system redirection switch,
// the start of each child and the rights of the process. Tests replace them: a
// 64-bit process cannot observe the switch (it exists for 32-bit processes on 64-bit
// Windows only), so what a run shows of it is the order of its calls.

#include <windows.h>

#include <functional>

struct RepairPlatform {
    using CreateProcessFn = BOOL(LPCSTR application, LPSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                                 LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD flags,
                                 LPVOID environment, LPCSTR directory, LPSTARTUPINFOA startup,
                                 LPPROCESS_INFORMATION information);

    // Wow64DisableWow64FsRedirection and Wow64RevertWow64FsRedirection. Where they
    // are empty, the switch stays as it is.
    std::function<BOOL(PVOID* saved)> disableRedirection;
    std::function<BOOL(PVOID saved)> revertRedirection;
    // CreateProcessA.
    std::function<CreateProcessFn> createProcess;
    // Whether the process's token says it runs without administrator rights; false
    // also where that cannot be told (the query failed).
    std::function<bool()> runsUnelevated;

    // kernel32's redirection functions and CreateProcessA, and the process token's
    // elevation.
    static RepairPlatform System();
};

#include "RepairPlatform.h"

#include "ProcessElevation.h"
#include "SystemLibrary.h"

RepairPlatform RepairPlatform::System() {
    using DisableFn = BOOL(WINAPI*)(PVOID*);
    using RevertFn = BOOL(WINAPI*)(PVOID);
    RepairPlatform platform;
    if (auto disable = win::LoadedProc<DisableFn>(L"kernel32.dll", "Wow64DisableWow64FsRedirection")) {
        platform.disableRedirection = disable;
    }
    if (auto revert = win::LoadedProc<RevertFn>(L"kernel32.dll", "Wow64RevertWow64FsRedirection")) {
        platform.revertRedirection = revert;
    }
    platform.createProcess = &::CreateProcessA;
    platform.runsUnelevated = [] {
        const std::optional<bool> elevated = win::ProcessIsElevated();
        return elevated && !*elevated;
    };
    return platform;
}

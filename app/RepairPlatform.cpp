#include "RepairPlatform.h"

#include "ProcessElevation.h"

RepairPlatform RepairPlatform::System() {
    RepairPlatform platform;
    // On 64-bit Windows a 32-bit process's switch reaches both system directories; a
    // 64-bit process's switch-off fails, and 32-bit Windows has no redirection.
    platform.disableRedirection = &::Wow64DisableWow64FsRedirection;
    platform.revertRedirection = &::Wow64RevertWow64FsRedirection;
    platform.createProcess = &::CreateProcessA;
    platform.runsUnelevated = [] {
        const std::optional<bool> elevated = win::ProcessIsElevated();
        return elevated && !*elevated;
    };
    return platform;
}

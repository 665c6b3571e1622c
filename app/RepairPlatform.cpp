#include "RepairPlatform.h"

#include "HiddenCommand.h"

namespace {

template <typename F>
F Kernel32Function(const char* name) noexcept {
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(kernel, name)))
                  : nullptr;
}

}  // namespace

RepairPlatform RepairPlatform::System() {
    RepairPlatform platform;
    if (auto disable = Kernel32Function<BOOL(WINAPI*)(PVOID*)>("Wow64DisableWow64FsRedirection")) {
        platform.disableRedirection = disable;
    }
    if (auto revert = Kernel32Function<BOOL(WINAPI*)(PVOID)>("Wow64RevertWow64FsRedirection")) {
        platform.revertRedirection = revert;
    }
    platform.runCommand = &HiddenCommand::RunHiddenCommand;
    return platform;
}

#include "LinkPlatform.h"

#include "DesktopShell.h"
#include "ProcessElevation.h"
#include "SystemLibrary.h"

namespace {

using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

HINSTANCE ShellExecuteFromShell32(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                  INT show) {
    const auto shellExecute = win::SystemProc<ShellExecuteFn>(L"shell32.dll", "ShellExecuteA");
    // 0 is ShellExecute's own answer when it runs out of resources.
    return shellExecute ? shellExecute(owner, operation, file, parameters, directory, show) : nullptr;
}

}  // namespace

LinkPlatform LinkPlatform::System() {
    LinkPlatform platform;
    platform.processIsElevated = &win::ProcessIsElevated;
    platform.desktopShellExecute = &win::DesktopShell::Open;
    platform.shellExecute = &ShellExecuteFromShell32;
    platform.messageBox = &::MessageBoxW;
    return platform;
}

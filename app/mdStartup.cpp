#include "mdStartup.h"

#include "FrmQuenfix.h"
#include "MessagePump.h"
#include "SystemLibrary.h"

namespace mdStartup {
namespace {

// Keeps data execution prevention on for the life of the process, so that nothing
// can switch it off later: the program runs elevated and executes no code from data
// pages. The entry exists on 32-bit Windows from XP SP3 and Vista SP1 on; 64-bit
// kernel32 exports it too, and there it fails, since 64-bit processes always run
// with DEP.
void KeepDataExecutionPreventionOn() noexcept {
    using SetPolicyFn = BOOL(WINAPI*)(DWORD);
    if (const auto setPolicy = win::LoadedProc<SetPolicyFn>(L"kernel32.dll", "SetProcessDEPPolicy")) {
        setPolicy(PROCESS_DEP_ENABLE);
    }
}

}  // namespace

bool Main(FrmQuenfix& form) noexcept {
    KeepDataExecutionPreventionOn();
    MessagePump::ProcessPendingMessages();
    form.ThemeSupport().InitThemeSupport();
    if (!form.Hwnd() && !form.Create()) return false;
    form.Show();
    return true;
}

}  // namespace mdStartup

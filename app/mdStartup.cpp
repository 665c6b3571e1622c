#include "mdStartup.h"

#include "FrmQuenfix.h"
#include "MessagePump.h"

namespace mdStartup {
namespace {

// Keeps data execution prevention on for the life of the process, so that nothing
// can switch it off later: the program runs elevated and executes no code from data
// pages. 64-bit kernel32 has the entry too, and there it fails, since 64-bit
// processes always run with DEP.
void KeepDataExecutionPreventionOn() noexcept {
    ::SetProcessDEPPolicy(PROCESS_DEP_ENABLE);
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

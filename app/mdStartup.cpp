#include "mdStartup.h"

#include "FrmQuenfix.h"
#include "MessagePump.h"
#include "SystemLibrary.h"
#include "mdXpThemeSupport.h"

namespace mdStartup {
namespace {

// SetProcessDEPPolicy exists only on 32-bit Windows from XP SP3 and Vista SP1 on;
// elsewhere the step does nothing.
void TurnDataExecutionPreventionOff() noexcept {
    using SetPolicyFn = BOOL(WINAPI*)(DWORD);
    if (const auto setPolicy = win::LoadedProc<SetPolicyFn>(L"kernel32.dll", "SetProcessDEPPolicy")) {
        setPolicy(0);
    }
}

}  // namespace

void Main(FrmQuenfix& form) noexcept {
    TurnDataExecutionPreventionOff();
    MessagePump::ProcessPendingMessages();
    mdXpThemeSupport::InitThemeSupport();
    if (!form.Hwnd() && !form.Create()) return;
    form.Show();
}

}  // namespace mdStartup

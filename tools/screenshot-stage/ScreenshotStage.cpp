// Shows the main window in a chosen state, for the pictures in the README and the docs:
//   quenfix_screenshot_stage classic   the window as it starts under Wine
//   quenfix_screenshot_stage themed    as on Windows with visual styles, where version 6
//                                      of the common controls says what it is: "Repair Now"
//                                      painted with the visual style
//   quenfix_screenshot_stage run       half-way through a run, standing still there
// It binds version 6 as the program does; but Wine's library reports
// version 5.81 even then, so the themed look is asked for by answering the version
// query here. The run
// executes nothing: its runner counts, and waits at the middle of the list.

#include "ActivationContext.h"
#include "FrmQuenfix.h"
#include "MessagePump.h"
#include "mdStartup.h"
#include "mdXpThemeSupport.h"
#include "resource.h"

#include <string>

namespace {

constexpr int kHalfwayExecution = 2 * 56 + 1;

HRESULT CALLBACK AnswerVersion6(DLLVERSIONINFO* version) {
    version->dwMajorVersion = 6;
    version->dwMinorVersion = 0;
    return S_OK;
}

comctl32::DllGetVersionProc FindVersion6() noexcept {
    return &AnswerVersion6;
}

void WaitUntilClosed() {
    while (MessagePump::ProcessPendingMessages()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
    }
}

RepairPlatform StopHalfway() {
    RepairPlatform platform;
    platform.createProcess = [executions = 0](LPCSTR, LPSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD,
                                              LPVOID, LPCSTR, LPSTARTUPINFOA, LPPROCESS_INFORMATION) mutable {
        if (++executions == kHalfwayExecution) WaitUntilClosed();
        ::SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    };
    return platform;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const auto commonControls = win::ActivationContext::FromResource(instance, IDR_COMMON_CONTROLS_MANIFEST);
    const auto active = commonControls.Activate();
    const std::string mode = __argc > 1 ? __argv[1] : "classic";
    mdXpThemeSupport::Platform themes = mdXpThemeSupport::Platform::System();
    if (mode == "themed") themes.findDllGetVersion = &FindVersion6;
    FrmQuenfix form(mode == "run" ? StopHalfway() : RepairPlatform::System(), themes);
    if (!mdStartup::Main(form)) return 1;
    if (mode == "run") {
        ::PostMessageW(::GetDlgItem(form.Hwnd(), FrmQuenfix::kCommand1), WM_LBUTTONUP, 0, 0);
    }
    return MessagePump::Run();
}

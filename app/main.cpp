#include "ActivationContext.h"
#include "FrmQuenfix.h"
#include "MessagePump.h"
#include "StartCheck.h"
#include "SystemLibrary.h"
#include "mdStartup.h"
#include "resource.h"

namespace {

bool librarySearchConfined = false;

// Before anything can load a DLL by name from the folder the program was started
// in: the first of the program's constructors.
__attribute__((constructor(101))) void ConfineLibrarySearchFirst() noexcept {
    librarySearchConfined = win::ConfineLibrarySearch();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (const auto refusal = StartCheck::Refusal(librarySearchConfined, win::ModulePath(nullptr))) {
        StartCheck::ShowRefusal(*refusal);
        return StartCheck::kRefusedExitCode;
    }
    // Version 6 of the common controls, for every window the program makes, bound
    // only now that no folder beside the program can supply it.
    const auto commonControls = win::ActivationContext::FromResource(instance, IDR_COMMON_CONTROLS_MANIFEST);
    const auto active = commonControls.Activate();
    FrmQuenfix form;
    if (!mdStartup::Main(form)) return 1;
    return MessagePump::Run();
}

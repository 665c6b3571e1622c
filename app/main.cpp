#include "FrmQuenfix.h"
#include "MessagePump.h"
#include "SystemLibrary.h"
#include "mdStartup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything can load a DLL by name from the folder the program was started in.
    win::ConfineLibrarySearch();
    FrmQuenfix form;
    if (!mdStartup::Main(form)) return 1;
    return MessagePump::Run();
}

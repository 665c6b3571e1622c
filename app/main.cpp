#include "FrmQuenfix.h"
#include "MessagePump.h"
#include "mdStartup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    FrmQuenfix form;
    mdStartup::Main(form);
    return MessagePump::Run();
}

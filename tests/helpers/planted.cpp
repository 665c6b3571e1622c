// A DLL of the kind someone could plant where an elevated program might load it:
// copied under the name of a library or of a component file, it leaves the marker
// file "<its own path>.ran" beside itself when it is loaded and when its
// DllRegisterServer is called.

#include <windows.h>

namespace {

HMODULE g_self = nullptr;

void LeaveMarker() {
    wchar_t path[MAX_PATH + 4];
    const DWORD length = ::GetModuleFileNameW(g_self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    ::lstrcpyW(path + length, L".ran");
    const HANDLE marker = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (marker != INVALID_HANDLE_VALUE) ::CloseHandle(marker);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = self;
        LeaveMarker();
    }
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer() {
    LeaveMarker();
    return S_OK;
}

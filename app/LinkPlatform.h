#pragma once
// What opening the maker's page asks of the system: the rights of the process, the
// desktop's shell, the program's own shell and a message box. Tests replace them, so
// that they see what each call would receive without a browser being started.

#include <windows.h>

#include <functional>
#include <optional>

struct LinkPlatform {
    // The process token's elevation; nothing when it cannot be told.
    std::function<std::optional<bool>()> processIsElevated;
    // The desktop shell's ShellExecute (win::DesktopShell::Open): what it starts runs
    // with the shell's rights. False when no desktop shell took the request.
    std::function<bool(const wchar_t* file, const wchar_t* operation, const wchar_t* parameters,
                       const wchar_t* directory, int show)>
        desktopShellExecute;
    // shell32's ShellExecuteA, which starts the handler inside this process.
    std::function<HINSTANCE(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                            INT show)>
        shellExecute;
    // MessageBoxW.
    std::function<int(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)> messageBox;

    // The token's elevation, the desktop's shell, shell32's ShellExecuteA (bound on
    // the first click: imported, shell32 would load the shell's libraries before the
    // window's first paint) and user32's message box.
    static LinkPlatform System();
};

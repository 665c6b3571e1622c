// A second program for the visual-style tests: it tells by its exit code what
// pvIsThemed answers in a process of its own.
//   ask   exits 1 when themed, 0 when not
//   off   switches visual styles off with EnableTheming, asking before and after;
//         exits 2 * before + after

#include "mdXpThemeSupportInternal.h"

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 2) return 9;
    const std::string mode = __argv[1];
    const bool before = mdXpThemeSupport::pvIsThemed();
    if (mode == "ask") return before ? 1 : 0;
    if (mode != "off") return 9;
    using EnableThemingFn = HRESULT(WINAPI*)(BOOL);
    const auto enableTheming = reinterpret_cast<EnableThemingFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::LoadLibraryA("uxtheme.dll"), "EnableTheming")));
    if (!enableTheming) return 9;
    enableTheming(FALSE);
    const bool after = mdXpThemeSupport::pvIsThemed();
    return (before ? 2 : 0) + (after ? 1 : 0);
}

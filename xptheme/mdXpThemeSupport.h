#pragma once
// Visual-style support for the program's classic controls. With version 6 of the
// common controls bound and visual styles in effect, graphical buttons get the
// theme's push-button look, painted by the program (hot, pressed, focused,
// defaulted), and frames pass two messages past their own window procedure. With
// the classic look or an older library everything keeps its ordinary handling.
// Nothing is cached: every question goes to the platform when it is asked.

#include "CommonControls.h"
#include "FormControl.h"

#include <span>

namespace mdXpThemeSupport {

// What the module asks of the platform. Tests answer in its place: under Wine the
// version query says 5.81 even when version 6 is bound.
struct Platform {
    // DllGetVersion of the bound common-controls library, or null (with the thread's
    // last error set) when it has none.
    comctl32::DllGetVersionProc (*findDllGetVersion)() noexcept;
    // Loads a DLL of the system directory for good.
    HMODULE (*loadSystemLibrary)(const wchar_t* library) noexcept;
    BOOL (*initCommonControlsEx)(const INITCOMMONCONTROLSEX* init) noexcept;
    // Where failures go: a debug trace, never the user.
    void (*trace)(const char* procedure, const char* description) noexcept;

    [[nodiscard]] static Platform System() noexcept;
};

// The module's detection and start-up, with the platform it asks and whether its
// start-up has run. The program has one, which its main window owns.
class ThemeSupport {
public:
    explicit ThemeSupport(Platform platform = Platform::System()) noexcept : m_platform(platform) {}

    // Whether the common-controls library bound to the process is version 6 or later.
    [[nodiscard]] bool IsComCtl6Loaded() const noexcept;

    // The start-up step, before the main window is created; only the first call
    // acts. With version 6 bound it loads the shell library for good and initialises
    // the common controls.
    void InitThemeSupport() noexcept;

    // Subclasses the frames and the graphical buttons among the controls, for the
    // life of their windows. False, with nothing installed, when version 6 is not
    // bound. Each button's model must stay alive while its window exists, or be
    // destroyed first.
    bool FixThemeSupport(std::span<const FormControl> controls) const noexcept;

private:
    void ReportError(const char* procedure) const noexcept;

    Platform m_platform;
    bool m_startupDone = false;
};

}  // namespace mdXpThemeSupport

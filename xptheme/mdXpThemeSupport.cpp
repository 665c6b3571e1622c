#include "mdXpThemeSupport.h"

#include "mdXpThemeSupportInternal.h"
#include "SystemLibrary.h"
#include "UxTheme.h"

#include <cstdio>

namespace mdXpThemeSupport {
namespace {

void TraceToDebugger(const char* procedure, const char* description) noexcept {
    char line[512];
    std::snprintf(line, sizeof line, "mdXpThemeSupport.%s: %s\n", procedure, description);
    ::OutputDebugStringA(line);
}

bool IsButtonKind(ControlKind kind) noexcept {
    return kind == ControlKind::CommandButton || kind == ControlKind::CheckBox ||
           kind == ControlKind::OptionButton;
}

}  // namespace

Platform Platform::System() noexcept {
    return {&comctl32::DllGetVersionEntry, &win::LoadSystemLibrary, &comctl32::InitCommonControlsEx,
            &TraceToDebugger};
}

bool ThemeSupport::IsComCtl6Loaded() const noexcept {
    DLLVERSIONINFO version{};
    version.cbSize = sizeof version;
    const comctl32::DllGetVersionProc dllGetVersion = m_platform.findDllGetVersion();
    if (dllGetVersion) {
        dllGetVersion(&version);
    } else {
        ReportError("IsComCtl6Loaded");
    }
    return static_cast<LONG>(version.dwMajorVersion) >= 6;
}

void ThemeSupport::InitThemeSupport() noexcept {
    if (m_startupDone) return;
    if (IsComCtl6Loaded()) {
        // The shell library must be in before the controls are initialised; it stays
        // loaded for the life of the program.
        m_platform.loadSystemLibrary(L"shell32.dll");
        INITCOMMONCONTROLSEX init{};
        init.dwSize = sizeof init;
        init.dwICC = ICC_USEREX_CLASSES;
        m_platform.initCommonControlsEx(&init);
    }
    m_startupDone = true;
}

bool ThemeSupport::FixThemeSupport(std::span<const FormControl> controls) const noexcept {
    if (!IsComCtl6Loaded()) return false;
    for (const FormControl& control : controls) {
        if (!control.hWnd) {
            ::SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            ReportError("FixThemeSupport");
            continue;
        }
        if (control.kind == ControlKind::Frame) {
            comctl32::SetWindowSubclass(control.hWnd, &pvRedirectFrame, kSubclassId, 0);
        } else if (IsButtonKind(control.kind) && control.style == GraphicalButton::kGraphical) {
            // Without a model there is nothing to paint the button from.
            if (!control.button) {
                ::SetLastError(ERROR_INVALID_PARAMETER);
                ReportError("FixThemeSupport");
                continue;
            }
            comctl32::SetWindowSubclass(control.hWnd, &pvRedirectButton, kSubclassId,
                                        reinterpret_cast<DWORD_PTR>(control.button));
        }
    }
    return true;
}

void ThemeSupport::ReportError(const char* procedure) const noexcept {
    pvReportError(procedure, m_platform.trace);
}

bool pvIsThemed() noexcept {
    if (!uxtheme::IsAppThemed()) return false;
    if (!uxtheme::IsThemeActive()) return false;
    return (uxtheme::GetThemeAppProperties() & STAP_ALLOW_CONTROLS) != 0;
}

void pvReportError(const char* procedure, TraceFn trace) noexcept {
    const DWORD error = ::GetLastError();
    char description[256] = "no error code";
    if (error != ERROR_SUCCESS) {
        DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, description, sizeof description, nullptr);
        while (length > 0 && (description[length - 1] == '\n' || description[length - 1] == '\r')) {
            description[--length] = '\0';
        }
        if (length == 0) std::snprintf(description, sizeof description, "error %lu", error);
    }
    (trace ? trace : &TraceToDebugger)(procedure, description);
}

}  // namespace mdXpThemeSupport

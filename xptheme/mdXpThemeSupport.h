#pragma once
// Visual-style support for the program's classic controls. With version 6 of the
// common controls bound and visual styles in effect, graphical buttons get the
// theme's push-button look, painted by the program (hot, pressed, focused,
// defaulted), and frames pass two messages past their own window procedure. With
// the classic look or an older library everything keeps its ordinary handling.
// Nothing is cached: every question goes to the platform when it is asked.

#include "FormControl.h"

#include <span>

namespace mdXpThemeSupport {

// Whether the common-controls library bound to the process is version 6 or later.
[[nodiscard]] bool IsComCtl6Loaded() noexcept;

// The start-up step, before the main window is created; only the first call acts.
// With version 6 bound it loads the shell library for good and initialises the
// common controls.
void InitThemeSupport() noexcept;

// Subclasses the frames and the graphical buttons among the controls, for the life
// of their windows. False, with nothing installed, when version 6 is not bound.
// Each button's model must stay alive while its window exists, or be destroyed first.
bool FixThemeSupport(std::span<const FormControl> controls) noexcept;

}  // namespace mdXpThemeSupport

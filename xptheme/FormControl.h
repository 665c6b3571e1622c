#pragma once
// One control of a form as FixThemeSupport sees it: what kind of control it is, its
// window, its style and, for a button, the model its themed painting reads.

#include "GraphicalButton.h"

#include <windows.h>

namespace mdXpThemeSupport {

enum class ControlKind { Frame, CommandButton, CheckBox, OptionButton, Other };

struct FormControl {
    ControlKind kind = ControlKind::Other;
    HWND hWnd = nullptr;
    // GraphicalButton::kGraphical for a button that the program paints itself.
    int style = 0;
    // The model of a button; it must outlive the subclass (see GraphicalButton).
    GraphicalButton* button = nullptr;

    // The entry for a button model, with the window and the style the model has now.
    [[nodiscard]] static FormControl Of(ControlKind kind, GraphicalButton& model) noexcept {
        return {kind, model.hWnd(), model.Style(), &model};
    }
};

}  // namespace mdXpThemeSupport

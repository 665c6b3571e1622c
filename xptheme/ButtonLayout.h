#pragma once
// The decisions and the geometry of a themed button's face, as pure functions: which
// theme state and which picture for which button state, where the caption and the
// picture go. The painter only feeds them what it read and draws what they return.

#include <windows.h>

#include <optional>

namespace mdXpThemeSupport {

// Theme states of the push-button part (BP_PUSHBUTTON).
enum PushButtonState : int {
    kNormal = 1,     // PBS_NORMAL
    kHot = 2,        // PBS_HOT
    kPressed = 3,    // PBS_PRESSED
    kDisabled = 4,   // PBS_DISABLED
    kDefaulted = 5,  // PBS_DEFAULTED
};

// Which of the button's pictures to show; the down and the disabled picture fall
// back to the normal one when they hold no image.
enum class PictureChoice { Normal, Down, Disabled };

struct ButtonCondition {
    bool enabled = true;
    bool hot = false;          // the pointer rests on the button
    bool held = false;         // the mouse button or the space bar holds it down
    bool chosen = false;       // a two-state button that is down (its Value)
    bool focused = false;
    bool defaultLook = false;  // see HasDefaultLook
};

struct ButtonLook {
    PushButtonState state;
    PictureChoice picture;
};

[[nodiscard]] ButtonLook ChooseButtonLook(const ButtonCondition& condition) noexcept;

// Whether a button shows the default look. With the focus elsewhere, an active
// control of the form that has a Default property at all (whatever its value)
// takes the look away; one without it, or no active control, leaves it.
[[nodiscard]] bool HasDefaultLook(bool isDefault, bool hasFocus,
                                  bool activeControlHasDefault) noexcept;

// The caption's rectangle inside the content rectangle, given the bottom that
// DrawText's measuring reported for a rectangle starting at content.top. Alone, the
// caption sits about the middle; with a picture it takes the bottom of the content
// and the picture the space above it. Nothing when a coordinate leaves 32 bits.
[[nodiscard]] std::optional<RECT> CaptionRect(const RECT& content, int measuredBottom,
                                              bool withPicture) noexcept;

// The top-left corner that centres a picture of the given size in the area.
[[nodiscard]] std::optional<POINT> PictureOrigin(const RECT& area, int width, int height) noexcept;

// A HIMETRIC length in pixels for a screen of the given twips per pixel.
[[nodiscard]] std::optional<int> HiMetricToPixels(double himetric, float twipsPerPixel) noexcept;

}  // namespace mdXpThemeSupport

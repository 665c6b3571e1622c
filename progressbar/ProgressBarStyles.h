#pragma once
// The values of a progress bar's enumerated properties that its painting tells
// apart. A property keeps whatever number it is given; beside each, how the others
// paint.

namespace progress_bar {

// BorderStyle: no border at kNoBorder or below; above kRaised the content is inset
// as within a border, but none is drawn.
enum BorderStyle : int { kNoBorder = 0, kSunken = 1, kRaised = 2 };

// Appearance of the border: a flat black frame, a thin 3D line, or a soft 3D edge
// that insets the content by two pixels; any other value draws no border.
enum Appearance : int { kFlat = 0, kThin3D = 1, kSoft3D = 2 };

// BackPictureMode and BarPictureMode: any value but kTiled stretches the picture.
enum PictureMode : int { kStretched = 0, kTiled = 1 };

// TextAlignX and TextAlignY; a paint reads only their two low bits.
enum TextAlignX : int { kLeft = 0, kCenter = 1, kRight = 2 };
enum TextAlignY : int { kTop = 0, kMiddle = 1, kBottom = 2 };

}  // namespace progress_bar

#pragma once
// The program's start: the process settings, then the main window.

class FrmQuenfix;

namespace mdStartup {

// Keeps data execution prevention on for good, lets pending messages through,
// prepares the visual-style support, then creates and shows the window; the caller
// runs the message loop afterwards. The failure of a preparing step is ignored.
// False when the window or one of its controls could not be created: nothing is
// left on the screen then, and the program has nothing to run.
[[nodiscard]] bool Main(FrmQuenfix& form) noexcept;

}  // namespace mdStartup

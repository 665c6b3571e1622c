#pragma once
// The program's start: the process settings, then the main window.

class FrmQuenfix;

namespace mdStartup {

// Switches data execution prevention off where the system lets a process choose,
// lets pending messages through, prepares the visual-style support, then creates
// and shows the window. The caller runs
// the message loop afterwards. Every step's failure is ignored.
void Main(FrmQuenfix& form) noexcept;

}  // namespace mdStartup

#pragma once
// Shared by the visual-style tests: a stand-in for what the platform answers, and a
// window with a button like the program's Command1 and that button's model.

#include "GraphicalButton.h"
#include "mdXpThemeSupport.h"
#include "mdXpThemeSupportInternal.h"

#include <string>
#include <vector>

namespace xptheme_testing {

// A platform for the module that records what is asked of it ("version",
// "load shell32.dll", "init 8 0x200", "trace <procedure>") in order, and answers
// the version question as told; until told, with the system's own answer, which is
// not recorded. One at a time: a new one clears the record.
class RecordingPlatform {
public:
    RecordingPlatform();
    RecordingPlatform(const RecordingPlatform&) = delete;
    RecordingPlatform& operator=(const RecordingPlatform&) = delete;

    void AnswerVersion(DWORD major, DWORD minor);
    // The bound library has no DllGetVersion.
    void AnswerNoEntry();
    [[nodiscard]] mdXpThemeSupport::Platform Get() const;
    [[nodiscard]] static std::vector<std::string>& Log();
};

// A top-level window holding a BS_AUTOCHECKBOX | BS_PUSHLIKE button of 143 x 33
// pixels captioned "Repair Now", attached to a graphical model.
class ButtonWindow {
public:
    ButtonWindow();
    ~ButtonWindow();
    ButtonWindow(const ButtonWindow&) = delete;
    ButtonWindow& operator=(const ButtonWindow&) = delete;

    GraphicalButton model;
    HWND parent = nullptr;
    HWND button = nullptr;
};

// Lets controls take the theme for the rest of the scope, or not (the classic look
// while the program runs).
class ScopedControlTheming {
public:
    explicit ScopedControlTheming(bool allowed);
    ~ScopedControlTheming();

private:
    DWORD m_saved;
};

}  // namespace xptheme_testing

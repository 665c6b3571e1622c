#pragma once
// The main window with a repair run that starts no process: the platform it is
// given records every call of the run, in order, and hands each start of a child to
// the test.

#include "FrmQuenfix.h"
#include "PaintTestSupport.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

class FormUnderTest {
public:
    // Whether the platform offers the redirection switch; without it the run leaves
    // the switch as it is.
    enum class Redirection { Offered, Missing };

    explicit FormUnderTest(Redirection redirection = Redirection::Offered,
                           mdXpThemeSupport::Platform themes = mdXpThemeSupport::Platform::System());
    FormUnderTest(const FormUnderTest&) = delete;
    FormUnderTest& operator=(const FormUnderTest&) = delete;
    // Destroys the window and handles what it left queued: its quit request must
    // not reach the next test.
    ~FormUnderTest();

    // Creates the window, shown or not; false when the system refused.
    [[nodiscard]] bool Create(bool show = false);

    [[nodiscard]] FrmQuenfix& Form() const noexcept { return *m_form; }
    [[nodiscard]] HWND Control(int id) const { return ::GetDlgItem(m_form->Hwnd(), id); }
    [[nodiscard]] std::string Status() const;
    [[nodiscard]] bool Done() const { return Status() == "Registering: Done"; }
    // A release of a mouse button over Repair Now, handled at the window's next look
    // at its queue.
    void Release(UINT message = WM_LBUTTONUP) const;
    // The strip as it paints itself (into a memory DC, with WM_PRINTCLIENT) and as
    // it is shown (copied from its window's own DC).
    [[nodiscard]] paint_test::DibSurface PrintedStrip() const;
    [[nodiscard]] paint_test::DibSurface ShownStrip() const;

    // Every call of the run: "disable", "revert <the value it was given>" and
    // "run <command line>". The n-th switch-off that succeeds saves the value n.
    std::vector<std::string> calls;
    // At each execution: its command line, the status label's text and whether the
    // thread's redirection was off, as the switch-offs and reverts so far left it.
    std::vector<std::string> commands;
    std::vector<std::string> statusAtExecution;
    std::vector<bool> redirectionOffAtExecution;
    // A switch-off that fails leaves the saved value as it was.
    bool disableSucceeds = true;
    // Called at each execution (numbered from 1), once it is recorded.
    std::function<void(int execution)> onExecution;

private:
    [[nodiscard]] RepairPlatform RecordingPlatform(Redirection redirection);
    [[nodiscard]] SIZE StripSize() const;

    std::unique_ptr<FrmQuenfix> m_form;
    int m_switchOffs = 0;
    // The state each switch-off saved, by the value it saved (0: redirection on).
    std::vector<bool> m_offBeforeSwitchOff{false};
    bool m_off = false;
};

}  // namespace testing_support

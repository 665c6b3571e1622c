#pragma once
// quenfix.exe started as a separate process and driven the way a user's tools could:
// its window found by title, texts read with WM_GETTEXT, buttons pressed with mouse
// messages.

#include "JobWatch.h"
#include "TestSupport.h"
#include "UniqueHandle.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

class ProgramUnderTest {
public:
    // Variables set in the program's environment, over this process's own.
    using Environment = std::vector<std::pair<std::string, std::string>>;

    // With the token of this process, or with the limited half of it: the rights an
    // administrator's programs have when not started "as administrator".
    enum class Rights { Same, Limited };

    // Starts the program with the given variables in its environment, in the given
    // working directory (this process's own when empty), in a job of its own, with
    // the settings for the stand-ins it starts, and waits until its window and
    // controls exist, it shows a message box or it ends. Check Started() afterwards.
    ProgramUnderTest(const std::string& exePath, const standin::Settings& standin,
                     const std::string& workingDirectory = {}, const Environment& environment = {},
                     Rights rights = Rights::Same);
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;
    // Ends the program if it is still running.
    ~ProgramUnderTest();

    [[nodiscard]] bool Started() const noexcept { return m_window != nullptr; }
    [[nodiscard]] HWND Window() const noexcept { return m_window; }
    // A message box of the program's, found while it waited for the window; null
    // when none showed.
    [[nodiscard]] HWND Message() const noexcept { return m_messageBox; }
    // The texts of the controls in the first message box of the program's that
    // shows now, one after another; empty when none shows.
    [[nodiscard]] std::string MessageText() const;
    [[nodiscard]] HWND Control(int id) const noexcept { return ::GetDlgItem(m_window, id); }
    [[nodiscard]] HANDLE Process() const noexcept { return m_process.get(); }
    // The processes the program started.
    [[nodiscard]] const JobWatch& Job() const noexcept { return m_job; }

    [[nodiscard]] std::string Status() const;
    // A press and release of the right mouse button over "Repair Now".
    void ClickRepairWithRightButton() const;
    void Close() const;
    // Whether the process has ended within the time.
    bool WaitForExit(DWORD timeoutMs) const;
    // The exit code, or STILL_ACTIVE.
    [[nodiscard]] DWORD ExitCode() const;

private:
    JobWatch m_job;
    std::optional<testing_support::StandInSettings> m_standin;
    win::unique_handle m_process;
    DWORD m_processId = 0;
    HWND m_window = nullptr;
    HWND m_messageBox = nullptr;
};

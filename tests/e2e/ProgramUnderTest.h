#pragma once
// quenfix.exe started as a separate process and driven the way a user's tools could:
// its window found by title, texts read with WM_GETTEXT, buttons pressed with mouse
// messages.

#include "JobWatch.h"
#include "UniqueHandle.h"

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

    // Starts the program with the stand-in's log and the given variables in its
    // environment, in the given working directory (this process's own when empty),
    // in a job of its own, and waits until its window and controls exist. Check
    // Started() afterwards.
    ProgramUnderTest(const std::string& exePath, const std::string& standinLog,
                     const std::string& workingDirectory = {}, const Environment& environment = {},
                     Rights rights = Rights::Same);
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;
    // Ends the program if it is still running.
    ~ProgramUnderTest();

    [[nodiscard]] bool Started() const noexcept { return m_window != nullptr; }
    [[nodiscard]] HWND Window() const noexcept { return m_window; }
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

private:
    JobWatch m_job;
    win::unique_handle m_process;
    DWORD m_processId = 0;
    HWND m_window = nullptr;
};

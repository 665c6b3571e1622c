#include "ProgramUnderTest.h"

#include "FrmQuenfix.h"
#include "TestSupport.h"

#include <vector>

namespace {

// The program's main window (with its last control created) and a message box of its
// own, each the first found.
struct WindowSearch {
    DWORD processId;
    HWND window = nullptr;
    HWND messageBox = nullptr;
};

bool IsMessageBox(HWND hwnd) {
    char windowClass[16] = {};
    ::GetClassNameA(hwnd, windowClass, sizeof windowClass);
    return std::string(windowClass) == "#32770" && ::IsWindowVisible(hwnd);
}

BOOL CALLBACK MatchProgramWindows(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->processId) return TRUE;
    if (!search->window && testing_support::WindowText(hwnd) == FrmQuenfix::kCaption &&
        ::GetDlgItem(hwnd, FrmQuenfix::kLabel1)) {
        search->window = hwnd;
    }
    if (!search->messageBox && IsMessageBox(hwnd)) search->messageBox = hwnd;
    return TRUE;
}

WindowSearch FindProgramWindows(DWORD processId) {
    WindowSearch search{processId};
    ::EnumWindows(&MatchProgramWindows, reinterpret_cast<LPARAM>(&search));
    return search;
}

BOOL CALLBACK AppendText(HWND control, LPARAM lp) {
    *reinterpret_cast<std::string*>(lp) += testing_support::WindowText(control) + "\n";
    return TRUE;
}

// Sets variables in this process's environment, for a child to inherit, and puts
// the previous values back when it goes.
class ScopedEnvironment {
public:
    explicit ScopedEnvironment(const ProgramUnderTest::Environment& variables) {
        for (const auto& [name, value] : variables) {
            char previous[32768];
            const DWORD length = ::GetEnvironmentVariableA(name.c_str(), previous, sizeof previous);
            m_saved.push_back({name, std::string(previous, length < sizeof previous ? length : 0), length > 0});
            ::SetEnvironmentVariableA(name.c_str(), value.c_str());
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        for (auto saved = m_saved.rbegin(); saved != m_saved.rend(); ++saved) {
            ::SetEnvironmentVariableA(saved->name.c_str(), saved->existed ? saved->value.c_str() : nullptr);
        }
    }

private:
    struct Saved {
        std::string name;
        std::string value;
        bool existed;
    };
    std::vector<Saved> m_saved;
};

// The limited token linked to this process's own, as a primary token; null when
// there is none.
win::unique_handle LimitedToken() {
    win::unique_handle own;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, own.put())) return {};
    TOKEN_LINKED_TOKEN linked{};
    DWORD size = 0;
    if (!::GetTokenInformation(own.get(), TokenLinkedToken, &linked, sizeof linked, &size)) return {};
    const win::unique_handle limited(linked.LinkedToken);
    win::unique_handle primary;
    if (!::DuplicateTokenEx(limited.get(), MAXIMUM_ALLOWED, nullptr, SecurityImpersonation, TokenPrimary,
                            primary.put())) {
        return {};
    }
    return primary;
}

}  // namespace

ProgramUnderTest::ProgramUnderTest(const std::string& exePath, const standin::Settings& standin,
                                   const std::string& workingDirectory, const Environment& environment,
                                   Rights rights) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = testing_support::Quoted(exePath);
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    BOOL created = FALSE;
    {
        const ScopedEnvironment scoped(environment);
        const char* directory = workingDirectory.empty() ? nullptr : workingDirectory.c_str();
        if (rights == Rights::Limited) {
            const win::unique_handle token = LimitedToken();
            created = token && ::CreateProcessAsUserA(token.get(), exePath.c_str(), buffer.data(), nullptr, nullptr,
                                                      FALSE, CREATE_SUSPENDED, nullptr, directory, &startup, &info);
        } else {
            created = ::CreateProcessA(exePath.c_str(), buffer.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                       nullptr, directory, &startup, &info);
        }
    }
    if (!created) return;
    m_process.reset(info.hProcess);
    const win::unique_handle thread(info.hThread);
    m_processId = info.dwProcessId;
    // In the job, and the stand-ins' settings in place, before it can start anything.
    m_standin.emplace(m_processId, standin);
    const bool inJob = m_job.Assign(m_process.get());
    ::ResumeThread(thread.get());
    if (!inJob || !m_standin->Valid()) return;

    // The window can exist before its controls do: wait for the last one created.
    testing_support::WaitFor(
        [&] {
            const WindowSearch search = FindProgramWindows(m_processId);
            m_window = search.window;
            m_messageBox = search.messageBox;
            return m_window || m_messageBox || WaitForExit(0);
        },
        testing_support::kPatienceMs);
}

ProgramUnderTest::~ProgramUnderTest() {
    if (m_process && !WaitForExit(0)) {
        ::TerminateProcess(m_process.get(), 1);
        ::WaitForSingleObject(m_process.get(), 5000);
    }
}

std::string ProgramUnderTest::Status() const {
    return testing_support::WindowText(Control(FrmQuenfix::kLabel2));
}

void ProgramUnderTest::ClickRepairWithRightButton() const {
    const HWND button = Control(FrmQuenfix::kCommand1);
    ::PostMessageW(button, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    ::PostMessageW(button, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
}

void ProgramUnderTest::Close() const {
    ::PostMessageW(m_window, WM_CLOSE, 0, 0);
}

bool ProgramUnderTest::WaitForExit(DWORD timeoutMs) const {
    return ::WaitForSingleObject(m_process.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD ProgramUnderTest::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(m_process.get(), &code);
    return code;
}

std::string ProgramUnderTest::MessageText() const {
    std::string text;
    if (const HWND box = FindProgramWindows(m_processId).messageBox) {
        ::EnumChildWindows(box, &AppendText, reinterpret_cast<LPARAM>(&text));
    }
    return text;
}

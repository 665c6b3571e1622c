#include "HiddenCommand.h"

#include "AnsiText.h"
#include "MessagePump.h"
#include "SystemLibrary.h"
#include "UniqueHandle.h"

#include <cwchar>
#include <new>
#include <string_view>
#include <vector>

namespace HiddenCommand {
namespace {

// The thread's last error, never 0: a step that failed must not read as done.
DWORD LastError() noexcept {
    const DWORD error = ::GetLastError();
    return error != 0 ? error : ERROR_INTERNAL_ERROR;
}

// The attribute list that limits what a child inherits to one handle.
class InheritOnlyList {
public:
    explicit InheritOnlyList(HANDLE handle) noexcept : m_handle(handle) {
        SIZE_T size = 0;
        ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        try {
            m_storage.resize(size);
        } catch (const std::bad_alloc&) {
            m_error = ERROR_NOT_ENOUGH_MEMORY;
            return;
        }
        const auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(m_storage.data());
        if (size == 0 || !::InitializeProcThreadAttributeList(list, 1, 0, &size)) {
            m_error = LastError();
            return;
        }
        m_list = list;
        if (!::UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &m_handle, sizeof m_handle,
                                         nullptr, nullptr)) {
            m_error = LastError();
            Release();
        }
    }
    InheritOnlyList(const InheritOnlyList&) = delete;
    InheritOnlyList& operator=(const InheritOnlyList&) = delete;
    ~InheritOnlyList() { Release(); }

    // Null when the list could not be made; Error() says why.
    [[nodiscard]] LPPROC_THREAD_ATTRIBUTE_LIST get() const noexcept { return m_list; }
    [[nodiscard]] DWORD Error() const noexcept { return m_error; }

private:
    void Release() noexcept {
        if (m_list) ::DeleteProcThreadAttributeList(m_list);
        m_list = nullptr;
    }

    HANDLE m_handle;
    std::vector<unsigned char> m_storage;
    LPPROC_THREAD_ATTRIBUTE_LIST m_list = nullptr;
    DWORD m_error = 0;
};

std::string_view FirstToken(std::string_view commandLine) noexcept {
    const auto start = commandLine.find_first_not_of(" \t");
    if (start == std::string_view::npos) return {};
    commandLine.remove_prefix(start);
    if (commandLine.front() == '"') {
        commandLine.remove_prefix(1);
        return commandLine.substr(0, commandLine.find('"'));
    }
    return commandLine.substr(0, commandLine.find_first_of(" \t"));
}

// The system directory as CreateProcessA takes it.
std::string AnsiSystemDirectory() {
    return win::AnsiFromWide(win::SystemDirectory());
}

// The entry's name against PATH, as Windows compares and orders environment names:
// by code unit, upper-cased. CSTR_LESS_THAN, CSTR_EQUAL or CSTR_GREATER_THAN.
int CompareNameWithPath(std::wstring_view entry) noexcept {
    const std::wstring_view name = entry.substr(0, entry.find(L'='));
    return ::CompareStringOrdinal(name.data(), static_cast<int>(name.size()), L"PATH", 4, TRUE);
}

using CreateEnvironmentBlockFn = BOOL(WINAPI*)(LPVOID* block, HANDLE token, BOOL inherit);
using DestroyEnvironmentBlockFn = BOOL(WINAPI*)(LPVOID block);

struct EnvironmentBlockDestroyer {
    void operator()(void* block) const noexcept {
        if (const auto destroy = win::SystemProc<DestroyEnvironmentBlockFn>(L"userenv.dll", "DestroyEnvironmentBlock")) {
            destroy(block);
        }
    }
};

// The machine's own variables with PATH replaced: nothing of the user's reaches a
// child. An elevated program's environment holds the user's variables (those of
// HKCU\Environment and whatever started it), and they steer where system files are
// found (windir, SystemRoot), what a runtime loads into regsvr32 (COR_PROFILER_PATH,
// __COMPAT_LAYER) and which paths a component writes into the machine's registry
// (ProgramFiles, CommonProgramFiles). A Unicode block, so that no value is lost to
// the conversion into the ANSI code page. Nothing, with the thread's last error set,
// when the machine's block cannot be built. It is built once: building it reads the
// registry (some milliseconds, for each of a run's 222 children), and the machine's
// variables change only when an administrator changes them.
std::optional<std::wstring> ChildEnvironment() {
    static std::optional<std::wstring> built;
    if (built) return built;
    const auto create = win::SystemProc<CreateEnvironmentBlockFn>(L"userenv.dll", "CreateEnvironmentBlock");
    void* block = nullptr;
    // No token and nothing inherited: the system's variables alone.
    if (!create || !create(&block, nullptr, FALSE)) return std::nullopt;
    const win::unique_any<void*, EnvironmentBlockDestroyer> machine(block);
    built = EnvironmentWithPath(static_cast<const wchar_t*>(machine.get()), SystemSearchPath());
    return built;
}

// The thread's file-system redirection, switched off for as long as the object
// lives when asked to be. The restore hands back what the switch-off saved, and is
// made also when the switch-off failed: then with the value it started with.
class RedirectionOff {
public:
    RedirectionOff(const RepairPlatform& platform, bool off) noexcept : m_platform(platform), m_off(off) {
        if (m_off && m_platform.disableRedirection) m_platform.disableRedirection(&m_saved);
    }
    RedirectionOff(const RedirectionOff&) = delete;
    RedirectionOff& operator=(const RedirectionOff&) = delete;
    ~RedirectionOff() {
        if (m_off && m_platform.revertRedirection) m_platform.revertRedirection(m_saved);
    }

private:
    const RepairPlatform& m_platform;
    bool m_off;
    PVOID m_saved = nullptr;
};

std::string ErrorText(const char* what, DWORD code) {
    return std::string("Error: ") + what + " failed. " + std::to_string(code);
}

// Starts the command line with `output` as its standard output and nothing else of
// this process's. 0 when the child was started (`process` then holds it), and
// otherwise the system's error code: also when the child's environment or the
// limit of what it inherits could not be made, for it would then get more.
DWORD StartChild(const std::string& sCommand, HANDLE output, bool bRedirectionOff, const RepairPlatform& platform,
                 PROCESS_INFORMATION& process) {
    const InheritOnlyList inheritOnly(output);
    if (!inheritOnly.get()) return inheritOnly.Error();
    std::optional<std::wstring> environment = ChildEnvironment();
    if (!environment) return LastError();

    STARTUPINFOEXA startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.StartupInfo.wShowWindow = SW_SHOWMINNOACTIVE;
    startup.StartupInfo.hStdOutput = output;
    startup.lpAttributeList = inheritOnly.get();

    const std::optional<std::string> application = ResolveApplicationName(sCommand);
    std::vector<char> commandLine(sCommand.begin(), sCommand.end());
    commandLine.push_back('\0');
    constexpr DWORD flags = NORMAL_PRIORITY_CLASS | CREATE_UNICODE_ENVIRONMENT | EXTENDED_STARTUPINFO_PRESENT;
    // A component file that the system directory lacks is searched for in the
    // child's current directory and on its PATH: both name system folders only.
    // A 32-bit child on 64-bit Windows sees these paths through its own file-system
    // redirection, System32 as SysWOW64, so each of the two executions of a line
    // searches the system directory of its own bitness.
    const std::string directory = AnsiSystemDirectory();

    const RedirectionOff redirection(platform, bRedirectionOff);
    // The error is read before the switch is restored, which may set another.
    return platform.createProcess(application ? application->c_str() : nullptr, commandLine.data(), nullptr,
                                  nullptr, TRUE, flags, environment->data(),
                                  directory.empty() ? nullptr : directory.c_str(), &startup.StartupInfo, &process)
               ? 0
               : LastError();
}

}  // namespace

std::optional<std::string> ResolveApplicationName(const std::string& sCommand) {
    const std::string_view program = FirstToken(sCommand);
    if (program.empty() || program.find_first_of("\\/:") != std::string_view::npos) {
        return std::nullopt;
    }
    const std::string directory = AnsiSystemDirectory();
    // Without the system directory the name stays unresolvable, so that the start
    // fails instead of falling back to a search of the current directory.
    if (directory.empty()) return std::string();
    std::string path = directory + "\\" + std::string(program);
    if (program.find('.') == std::string_view::npos) path += ".exe";
    return path;
}

std::wstring SystemSearchPath() {
    const std::wstring system = win::SystemDirectory();
    const std::wstring windows = win::WindowsDirectory();
    if (system.empty() || windows.empty()) return {};
    return system + L";" + windows + L";" + system + L"\\Wbem";
}

std::wstring EnvironmentWithPath(const wchar_t* environment, std::wstring_view path) {
    std::wstring block;
    bool pathPlaced = false;
    const auto placePath = [&] {
        if (pathPlaced) return;
        block.append(L"PATH=").append(path).push_back(L'\0');
        pathPlaced = true;
    };
    for (const wchar_t* entry = environment; entry && *entry; entry += std::wcslen(entry) + 1) {
        const std::wstring_view current(entry);
        const int order = CompareNameWithPath(current);
        if (order == CSTR_EQUAL) {
            placePath();
            continue;
        }
        if (order == CSTR_GREATER_THAN) placePath();
        block.append(current).push_back(L'\0');
    }
    placePath();
    block.push_back(L'\0');
    return block;
}

std::string RunHiddenCommand(const std::string& sCommand, bool bRedirectionOff, const RepairPlatform& platform) {
    // The child gets the write end only. Were it to hold the read end as well, the
    // pipe would never break: a child that fills it would block for ever. So the
    // pipe is made with neither end inheritable, and the write end alone is let
    // through; a pipe whose write end cannot be is of no use to the child.
    win::unique_handle readEnd;
    win::unique_handle writeEnd;
    if (!::CreatePipe(readEnd.put(), writeEnd.put(), nullptr, 0) ||
        !::SetHandleInformation(writeEnd.get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) {
        return ErrorText("CreatePipe", ::GetLastError());
    }
    PROCESS_INFORMATION process{};
    const DWORD error = StartChild(sCommand, writeEnd.get(), bRedirectionOff, platform, process);
    const std::string result = error ? ErrorText("CreateProcess", error) : std::string();
    win::unique_handle processHandle(process.hProcess);
    win::unique_handle threadHandle(process.hThread);

    // Once the program is ending there is nothing left to wait for.
    if (MessagePump::ProcessPendingMessages() && processHandle) {
        ::WaitForSingleObject(processHandle.get(), kWaitMilliseconds);
    }
    processHandle.reset();
    threadHandle.reset();
    readEnd.reset();
    writeEnd.reset();
    MessagePump::ProcessPendingMessages();
    return result;
}

}  // namespace HiddenCommand

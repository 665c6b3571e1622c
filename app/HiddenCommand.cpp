#include "HiddenCommand.h"

#include "MessagePump.h"
#include "SystemLibrary.h"
#include "UniqueHandle.h"

#include <cwchar>
#include <string_view>
#include <vector>

namespace HiddenCommand {
namespace {

// The attribute list that limits what a child inherits to one handle. Its functions
// are looked up at run time: systems before Vista lack them, and the child then
// inherits the program's inheritable handles, of which the pipe's read end is not one.
class InheritOnlyList {
public:
    explicit InheritOnlyList(HANDLE handle) noexcept : m_handle(handle) {
        const auto initialize = win::LoadedProc<InitializeFn>(kKernel32, "InitializeProcThreadAttributeList");
        const auto update = win::LoadedProc<UpdateFn>(kKernel32, "UpdateProcThreadAttribute");
        m_delete = win::LoadedProc<DeleteFn>(kKernel32, "DeleteProcThreadAttributeList");
        if (!initialize || !update || !m_delete) return;
        SIZE_T size = 0;
        initialize(nullptr, 1, 0, &size);
        m_storage.resize(size);
        const auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(m_storage.data());
        if (size == 0 || !initialize(list, 1, 0, &size)) return;
        m_list = list;
        if (!update(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &m_handle, sizeof m_handle,
                    nullptr, nullptr)) {
            Release();
        }
    }
    InheritOnlyList(const InheritOnlyList&) = delete;
    InheritOnlyList& operator=(const InheritOnlyList&) = delete;
    ~InheritOnlyList() { Release(); }

    // Null when the system cannot limit inheritance.
    [[nodiscard]] LPPROC_THREAD_ATTRIBUTE_LIST get() const noexcept { return m_list; }

private:
    using InitializeFn = BOOL(WINAPI*)(LPPROC_THREAD_ATTRIBUTE_LIST, DWORD, DWORD, PSIZE_T);
    using UpdateFn = BOOL(WINAPI*)(LPPROC_THREAD_ATTRIBUTE_LIST, DWORD, DWORD_PTR, PVOID, SIZE_T,
                                   PVOID, PSIZE_T);
    using DeleteFn = VOID(WINAPI*)(LPPROC_THREAD_ATTRIBUTE_LIST);

    static constexpr const wchar_t* kKernel32 = L"kernel32.dll";

    void Release() noexcept {
        if (m_list) m_delete(m_list);
        m_list = nullptr;
    }

    HANDLE m_handle;
    std::vector<unsigned char> m_storage;
    LPPROC_THREAD_ATTRIBUTE_LIST m_list = nullptr;
    DeleteFn m_delete = nullptr;
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

std::string SystemDirectory() {
    char buffer[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(buffer, length);
}

std::wstring WideDirectory(UINT(WINAPI* directoryOf)(LPWSTR, UINT)) {
    wchar_t buffer[MAX_PATH];
    const UINT length = directoryOf(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::wstring(buffer, length);
}

// The entry's name against PATH, as Windows compares and orders environment names:
// by code unit, upper-cased. CSTR_LESS_THAN, CSTR_EQUAL or CSTR_GREATER_THAN.
int CompareNameWithPath(std::wstring_view entry) noexcept {
    const std::wstring_view name = entry.substr(0, entry.find(L'='));
    return ::CompareStringOrdinal(name.data(), static_cast<int>(name.size()), L"PATH", 4, TRUE);
}

struct EnvironmentStringsCloser {
    void operator()(wchar_t* block) const noexcept { ::FreeEnvironmentStringsW(block); }
};

// The program's own environment with PATH replaced. A Unicode block, so that no
// value is lost to the conversion into the ANSI code page.
std::wstring ChildEnvironment() {
    const win::unique_any<wchar_t*, EnvironmentStringsCloser> own(::GetEnvironmentStringsW());
    return EnvironmentWithPath(own.get(), SystemSearchPath());
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

}  // namespace

std::optional<std::string> ResolveApplicationName(const std::string& sCommand) {
    const std::string_view program = FirstToken(sCommand);
    if (program.empty() || program.find_first_of("\\/:") != std::string_view::npos) {
        return std::nullopt;
    }
    const std::string directory = SystemDirectory();
    // Without the system directory the name stays unresolvable, so that the start
    // fails instead of falling back to a search of the current directory.
    if (directory.empty()) return std::string();
    std::string path = directory + "\\" + std::string(program);
    if (program.find('.') == std::string_view::npos) path += ".exe";
    return path;
}

std::wstring SystemSearchPath() {
    const std::wstring system = WideDirectory(&::GetSystemDirectoryW);
    const std::wstring windows = WideDirectory(&::GetSystemWindowsDirectoryW);
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
    std::string result;
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
    const InheritOnlyList inheritOnly(writeEnd.get());

    STARTUPINFOEXA startup{};
    startup.StartupInfo.cb = inheritOnly.get() ? sizeof(STARTUPINFOEXA) : sizeof(STARTUPINFOA);
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.StartupInfo.wShowWindow = SW_SHOWMINNOACTIVE;
    startup.StartupInfo.hStdOutput = writeEnd.get();
    startup.lpAttributeList = inheritOnly.get();

    const std::optional<std::string> application = ResolveApplicationName(sCommand);
    std::vector<char> commandLine(sCommand.begin(), sCommand.end());
    commandLine.push_back('\0');
    const DWORD flags = NORMAL_PRIORITY_CLASS | CREATE_UNICODE_ENVIRONMENT |
                        (inheritOnly.get() ? EXTENDED_STARTUPINFO_PRESENT : 0);
    // A component file that the system directory lacks is searched for in the
    // child's current directory and on its PATH: both name system folders only.
    // A 32-bit child on 64-bit Windows sees these paths through its own file-system
    // redirection, System32 as SysWOW64, so each of the two executions of a line
    // searches the system directory of its own bitness.
    const std::string directory = SystemDirectory();
    std::wstring environment = ChildEnvironment();

    PROCESS_INFORMATION process{};
    BOOL created = FALSE;
    DWORD error = 0;
    {
        const RedirectionOff redirection(platform, bRedirectionOff);
        created = platform.createProcess(application ? application->c_str() : nullptr, commandLine.data(),
                                         nullptr, nullptr, TRUE, flags, environment.data(),
                                         directory.empty() ? nullptr : directory.c_str(), &startup.StartupInfo,
                                         &process);
        error = created ? 0 : ::GetLastError();
    }
    if (!created) result = ErrorText("CreateProcess", error);
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

#include "JobWatch.h"

#include "TestSupport.h"

namespace {

// The key that tells the watcher to stop; the job's own messages carry the job's key.
constexpr ULONG_PTR kJobKey = 1;
constexpr ULONG_PTR kStopKey = 2;

std::string ImageOf(HANDLE process) {
    char image[MAX_PATH];
    DWORD length = MAX_PATH;
    return ::QueryFullProcessImageNameA(process, 0, image, &length) ? std::string(image, length) : std::string();
}

}  // namespace

JobWatch::JobWatch()
    : m_job(::CreateJobObjectW(nullptr, nullptr)),
      m_port(::CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1)) {
    JOBOBJECT_ASSOCIATE_COMPLETION_PORT association{reinterpret_cast<PVOID>(kJobKey), m_port.get()};
    if (!m_job || !m_port ||
        !::SetInformationJobObject(m_job.get(), JobObjectAssociateCompletionPortInformation, &association,
                                   sizeof association)) {
        m_job.reset();
        return;
    }
    m_watcher = std::thread(&JobWatch::Watch, this);
}

JobWatch::~JobWatch() {
    if (!m_watcher.joinable()) return;
    ::PostQueuedCompletionStatus(m_port.get(), 0, kStopKey, nullptr);
    m_watcher.join();
}

bool JobWatch::Assign(HANDLE process) {
    if (!m_job || !::AssignProcessToJobObject(m_job.get(), process)) return false;
    const std::lock_guard lock(m_lock);
    m_assigned = ::GetProcessId(process);
    return true;
}

// A process's start comes as a message with its id. It is opened at once, while
// its parent still holds it: a process that has ended and been let go can no
// longer be opened by its id.
void JobWatch::Watch() noexcept {
    for (;;) {
        DWORD message = 0;
        ULONG_PTR key = 0;
        LPOVERLAPPED detail = nullptr;
        if (!::GetQueuedCompletionStatus(m_port.get(), &message, &key, &detail, INFINITE) || key == kStopKey) {
            return;
        }
        if (message != JOB_OBJECT_MSG_NEW_PROCESS) continue;
        const auto id = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(detail));
        win::unique_handle process(::OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, id));
        // Wine gives the id of a process that has gone to the next one soon: what was
        // opened under it may be another process, outside the job.
        BOOL inJob = FALSE;
        if (process && (!::IsProcessInJob(process.get(), m_job.get(), &inJob) || !inJob)) process.reset();
        const std::lock_guard lock(m_lock);
        try {
            m_started.push_back({id, std::move(process)});
        } catch (...) {
            return;
        }
    }
}

std::vector<JobWatch::Member> JobWatch::Started() const {
    std::vector<Member> members;
    const std::lock_guard lock(m_lock);
    for (const Opened& opened : m_started) {
        if (opened.id == m_assigned) continue;
        const HANDLE process = opened.process.get();
        DWORD exitCode = 0;
        if (process) ::GetExitCodeProcess(process, &exitCode);
        members.push_back({opened.id, process != nullptr, process ? ImageOf(process) : std::string(),
                           process ? testing_support::CreationTime(process) : 0, exitCode});
    }
    return members;
}

#pragma once
// A job object that holds the program under test and, through it, every process the
// program starts, with a record of each: the test can then count what the program
// started and see how each of those processes ended, whatever they wrote.

#include "UniqueHandle.h"

#include <mutex>
#include <string>
#include <thread>
#include <vector>

class JobWatch {
public:
    // One process the job saw start, in the order the starts came.
    struct Member {
        DWORD id;
        // The rest is known only of a process that could be opened: one that had
        // already been let go by its parent could not.
        bool opened;
        std::string image;
        unsigned long long created;
        // STILL_ACTIVE while it runs.
        DWORD exitCode;
    };

    JobWatch();
    JobWatch(const JobWatch&) = delete;
    JobWatch& operator=(const JobWatch&) = delete;
    ~JobWatch();

    // Puts a process (created suspended, so that it has started nothing yet) in the job.
    [[nodiscard]] bool Assign(HANDLE process);

    // Every process started in the job after the assigned one, each in its state now.
    [[nodiscard]] std::vector<Member> Started() const;

private:
    struct Opened {
        DWORD id;
        win::unique_handle process;
    };

    void Watch() noexcept;

    win::unique_handle m_job;
    win::unique_handle m_port;
    DWORD m_assigned = 0;
    mutable std::mutex m_lock;
    std::vector<Opened> m_started;
    std::thread m_watcher;
};

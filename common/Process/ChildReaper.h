#pragma once
// Waits for the children whose Process objects were let go while they still
// ran, so none lingers as a zombie. One thread serves every such child; the
// reaper owns it and joins it when the reaper goes (at the latest when the
// program exits; children still running then are simply inherited by init).

#include <cstddef>
#include <mutex>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace Process {

class ChildReaper {
public:
    ChildReaper();
    /// Stops the thread and joins it; children not yet ended are left alone.
    ~ChildReaper();
    ChildReaper(const ChildReaper&) = delete;
    ChildReaper& operator=(const ChildReaper&) = delete;

    /// The reaper that Process uses.
    static ChildReaper& Shared();

    /// Waits for pid in the background; takes pidfd (-1 when the kernel has
    /// none; the child is then looked at every 100 ms).
    void Adopt(pid_t pid, int pidfd);
    /// Children adopted and not yet reaped.
    std::size_t GetPendingCount() const;

private:
    struct Child {
        pid_t pid;
        int pidfd;
    };
    void Run();
    void Wake() const;

    mutable std::mutex m_mutex;
    std::vector<Child> m_children;
    bool m_stopping = false;
    int m_wake = -1;
    std::thread m_thread;
};

} // namespace Process

#include "Waitable.h"

#include "common/Ex/Exceptions.h"
#include "common/Win32/Win32Exception.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <unistd.h>

namespace Sync {

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(int timeoutMs, Clock::time_point start) {
    if (timeoutMs < 0) {
        return -1;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    return elapsed >= timeoutMs ? 0 : timeoutMs - static_cast<int>(elapsed);
}

} // namespace

Waitable::~Waitable() {
    CloseHandle();
}

void Waitable::CloseHandle() {
    if (m_handle >= 0) {
        ::close(m_handle);
        m_handle = -1;
    }
}

std::uint32_t Waitable::Wait(int timeoutMs) const {
    try {
        return Wait({this}, false, timeoutMs);
    } catch (Win32::Win32Exception& failed) {
        throw Win32::Win32Exception("WaitForSingleObject", failed.GetErrorCode());
    }
}

std::uint32_t Waitable::Wait(const std::vector<const Waitable*>& objects, bool waitAll, int timeoutMs) {
    std::vector<pollfd> fds(objects.size());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        fds[i] = pollfd{objects[i]->GetHandle(), POLLIN, 0};
    }
    const Clock::time_point start = Clock::now();
    for (;;) {
        const int ready = ::poll(fds.data(), fds.size(), RemainingMs(timeoutMs, start));
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw Win32::Win32Exception::FromErrno("Win32::WaitForSingleObject()");
        }
        if (ready == 0) {
            return WAIT_TIMEOUT;
        }
        if (waitAll) {
            if (static_cast<std::size_t>(ready) == fds.size()) {
                bool all = true;
                for (const Waitable* object : objects) {
                    all = object->Acquire() && all;
                }
                if (all) {
                    return WAIT_OBJECT_0;
                }
            }
            // Not all at once yet: look again shortly rather than spin on
            // the ones that are already set.
            std::vector<pollfd> pending;
            for (const pollfd& fd : fds) {
                if ((fd.revents & POLLIN) == 0) {
                    pending.push_back(pollfd{fd.fd, POLLIN, 0});
                }
            }
            if (!pending.empty()) {
                const int more = ::poll(pending.data(), pending.size(), RemainingMs(timeoutMs, start));
                if (more == 0) {
                    return WAIT_TIMEOUT;
                }
            }
            continue;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if ((fds[i].revents & (POLLIN | POLLERR | POLLHUP)) != 0 && objects[i]->Acquire()) {
                return WAIT_OBJECT_0 + static_cast<std::uint32_t>(i);
            }
        }
        // Another waiter took an auto-reset signal first: wait again.
        if (RemainingMs(timeoutMs, start) == 0) {
            return WAIT_TIMEOUT;
        }
    }
}

} // namespace Sync

#include "ChildReaper.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Process {

namespace {
// Without pidfds nothing wakes the thread when a child ends.
constexpr int kPollWithoutPidfdMs = 100;
} // namespace

ChildReaper::ChildReaper() : m_wake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

ChildReaper::~ChildReaper() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    Wake();
    if (m_thread.joinable()) {
        m_thread.join();
    }
    for (const Child& child : m_children) {
        if (child.pidfd >= 0) {
            ::close(child.pidfd);
        }
    }
    if (m_wake >= 0) {
        ::close(m_wake);
    }
}

ChildReaper& ChildReaper::Shared() {
    static ChildReaper reaper;
    return reaper;
}

void ChildReaper::Adopt(pid_t pid, int pidfd) {
    std::lock_guard lock(m_mutex);
    m_children.push_back(Child{pid, pidfd});
    if (!m_thread.joinable()) {
        m_thread = std::thread([this] { Run(); });
    }
    Wake();
}

std::size_t ChildReaper::GetPendingCount() const {
    std::lock_guard lock(m_mutex);
    return m_children.size();
}

void ChildReaper::Wake() const {
    if (m_wake >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wake, &one, sizeof one);
    }
}

void ChildReaper::Run() {
    std::vector<pollfd> watched;
    for (;;) {
        bool blind = m_wake < 0;
        {
            std::lock_guard lock(m_mutex);
            if (m_stopping) {
                return;
            }
            // Reap whatever has ended; a child someone else reaped (ECHILD)
            // is gone too.
            std::erase_if(m_children, [](const Child& child) {
                int status = 0;
                pid_t done = 0;
                do {
                    done = ::waitpid(child.pid, &status, WNOHANG);
                } while (done < 0 && errno == EINTR);
                if (done == 0) {
                    return false;
                }
                if (child.pidfd >= 0) {
                    ::close(child.pidfd);
                }
                return true;
            });
            watched.clear();
            if (m_wake >= 0) {
                watched.push_back(pollfd{m_wake, POLLIN, 0});
            }
            for (const Child& child : m_children) {
                if (child.pidfd >= 0) {
                    watched.push_back(pollfd{child.pidfd, POLLIN, 0});
                } else {
                    blind = true;
                }
            }
        }
        const int timeout = blind ? kPollWithoutPidfdMs : -1;
        if (::poll(watched.data(), watched.size(), timeout) > 0 && m_wake >= 0 &&
            (watched.front().revents & POLLIN) != 0) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t read = ::read(m_wake, &count, sizeof count);
        }
    }
}

} // namespace Process

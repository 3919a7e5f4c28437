#pragma once
// Sends page reports to the analytics host from a thread of its own, so a
// slow or dead host never holds up a screen. Requests go out in order over
// one kept-alive connection; each has a short time limit, after which the
// connection is cut and opened again for the next. When reports arrive
// faster than they can be sent, the oldest waiting one is dropped (logged).

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace Ex {
class Logger;
}
namespace Web {
class HttpConnection;
}

namespace Glm {

class PageReporter {
public:
    struct Options {
        /// Reports waiting to be sent at most; more drop the oldest.
        std::size_t capacity = 16;
        /// How long one request may take, connection included.
        std::chrono::milliseconds timeLimit{3000};
    };

    /// Drops and time-outs are written to logger, which must outlive the
    /// reporter.
    PageReporter(Ex::Logger& logger, std::string agentName, Options options);
    /// Cuts the request under way, drops what waits and joins the threads.
    ~PageReporter();
    PageReporter(const PageReporter&) = delete;
    PageReporter& operator=(const PageReporter&) = delete;

    /// Queues a GET of url (an absolute http or https address). Returns at
    /// once; a failure later costs a log line.
    void Enqueue(const std::string& url);
    /// Waits until nothing waits or is being sent, or until timeout; true
    /// when idle.
    bool WaitUntilIdle(std::chrono::milliseconds timeout);

    std::size_t GetSentCount() const;
    std::size_t GetFailedCount() const;
    std::size_t GetDroppedCount() const;

private:
    void Send();
    void Watch();
    /// Sends one request on the sender thread; false when it failed.
    bool SendOne(const std::string& url);

    Ex::Logger& m_logger;
    const std::string m_agentName;
    const Options m_options;
    mutable std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_watch;
    std::condition_variable m_idle;
    std::deque<std::string> m_queue;
    bool m_stopping = false;
    bool m_busy = false;
    std::size_t m_sent = 0;
    std::size_t m_failed = 0;
    std::size_t m_dropped = 0;
    // The connection of the request under way, visible to the watchdog,
    // which cuts it when the deadline passes.
    std::shared_ptr<Web::HttpConnection> m_connection;
    std::string m_connectionOrigin;
    std::chrono::steady_clock::time_point m_deadline;
    bool m_inFlight = false;
    std::thread m_sender;
    std::thread m_watchdog;
};

} // namespace Glm

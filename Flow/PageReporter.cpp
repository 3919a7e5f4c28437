#include "PageReporter.h"

#include "common/Ex/Exceptions.h"
#include "common/Ex/Logger.h"
#include "common/Web/HttpConnection.h"
#include "common/Web/Url.h"

#include <exception>

namespace Glm {

PageReporter::PageReporter(Ex::Logger& logger, std::string agentName, Options options)
    : m_logger(logger), m_agentName(std::move(agentName)), m_options(options) {
    m_sender = std::thread([this] { Send(); });
    m_watchdog = std::thread([this] { Watch(); });
}

PageReporter::~PageReporter() {
    std::shared_ptr<Web::HttpConnection> connection;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
        connection = m_connection;
    }
    if (connection) {
        connection->ShutDown();
    }
    m_work.notify_all();
    m_watch.notify_all();
    m_sender.join();
    m_watchdog.join();
}

void PageReporter::Enqueue(const std::string& url) {
    std::string dropped;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping) {
            return;
        }
        if (m_queue.size() >= m_options.capacity && !m_queue.empty()) {
            dropped = std::move(m_queue.front());
            m_queue.pop_front();
            ++m_dropped;
        }
        m_queue.push_back(url);
    }
    m_work.notify_one();
    if (!dropped.empty()) {
        m_logger.Log("Page report dropped, too many waiting: " + dropped);
    }
}

bool PageReporter::WaitUntilIdle(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_idle.wait_for(lock, timeout, [this] { return m_queue.empty() && !m_busy; });
}

std::size_t PageReporter::GetSentCount() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_sent;
}

std::size_t PageReporter::GetFailedCount() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_failed;
}

std::size_t PageReporter::GetDroppedCount() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_dropped;
}

void PageReporter::Send() {
    for (;;) {
        std::string url;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_work.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_stopping) {
                m_busy = false;
                m_idle.notify_all();
                return;
            }
            url = std::move(m_queue.front());
            m_queue.pop_front();
            m_busy = true;
        }
        const bool sent = SendOne(url);
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            ++(sent ? m_sent : m_failed);
            m_busy = false;
        }
        m_idle.notify_all();
    }
}

bool PageReporter::SendOne(const std::string& url) {
    try {
        const Web::Url address(url);
        const std::string origin =
            address.GetScheme() + "://" + address.GetHostName() + ":" + std::to_string(address.GetPort());
        std::shared_ptr<Web::HttpConnection> connection;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            connection = m_connection;
        }
        // The connection stays open from one report to the next while they
        // go to the same host.
        if (!connection || origin != m_connectionOrigin) {
            connection = std::make_shared<Web::HttpConnection>(m_agentName, address);
            m_connectionOrigin = origin;
        }
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stopping) {
                return false;
            }
            m_connection = connection;
            m_deadline = std::chrono::steady_clock::now() + m_options.timeLimit;
            m_inFlight = true;
        }
        m_watch.notify_one();
        bool sent = false;
        try {
            const auto transaction = connection->DoGet(address.GetObjectName(),
                                                       std::vector<Web::ResourceType>{Web::Image, Web::Text});
            transaction->GetResponseBody();
            sent = true;
        } catch (...) {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_inFlight = false;
            // A cut or failed connection is not used again.
            m_connection.reset();
            throw;
        }
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_inFlight = false;
        return sent;
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::PageReporter::SendOne");
    } catch (const std::exception& caught) {
        Ex::StlException e(caught);
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::PageReporter::SendOne");
    }
    return false;
}

void PageReporter::Watch() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopping) {
        if (!m_inFlight) {
            m_watch.wait(lock, [this] { return m_stopping || m_inFlight; });
            continue;
        }
        const auto deadline = m_deadline;
        if (m_watch.wait_until(lock, deadline, [this, deadline] {
                return m_stopping || !m_inFlight || m_deadline != deadline;
            })) {
            continue;
        }
        // Over time: cutting the connection ends the request with an error
        // on the sender thread.
        // The sender opens a new connection for the next report.
        const std::shared_ptr<Web::HttpConnection> connection = std::move(m_connection);
        m_inFlight = false;
        lock.unlock();
        m_logger.Log("Page report took longer than " + std::to_string(m_options.timeLimit.count()) +
                     " ms; cut");
        if (connection) {
            connection->ShutDown();
        }
        lock.lock();
    }
}

} // namespace Glm

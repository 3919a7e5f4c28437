#pragma once
// A GET on a thread of its own: the body is kept as text. The connection
// belongs to the caller and must outlive the thread; shutting the
// connection down makes a blocked request end at once.

#include "common/Sync/Thread.h"
#include "common/Web/ResourceType.h"

#include <atomic>
#include <string>
#include <vector>

namespace Web {
class HttpConnection;
}

namespace Glm {

class GetRemoteResourceThread : public Sync::Runnable {
public:
    GetRemoteResourceThread(Web::HttpConnection& connection, std::string objectName,
                            std::vector<Web::ResourceType> resourceTypes, std::string headers = "");
    /// Waits for the request to end (shut the connection down first to
    /// make that quick).
    ~GetRemoteResourceThread() override;
    GetRemoteResourceThread(const GetRemoteResourceThread&) = delete;
    GetRemoteResourceThread& operator=(const GetRemoteResourceThread&) = delete;

    /// Starts the request. Throws what Sync::Thread::Start throws.
    void Start();
    /// Waits until the thread has ended; nothing when it never started.
    /// Not to be called from the thread itself.
    void Wait();
    /// True once Run has fetched the whole body; failures are logged.
    bool Succeeded() const { return m_succeeded.load(); }
    /// The body text, once Succeeded.
    const std::string& GetResult() const { return m_result; }

    /// The thread's body; use Start.
    void Run() override;

protected:
    /// The request itself; throws what the transport throws.
    virtual void Fetch();
    /// The log context of failures.
    virtual const char* Context() const { return "Glm::GetRemoteResourceThread::Run"; }

    Web::HttpConnection& m_connection;
    const std::string m_objectName;
    const std::vector<Web::ResourceType> m_resourceTypes;
    const std::string m_headers;

private:
    std::string m_result;
    std::atomic<bool> m_succeeded{false};
    Sync::Thread m_thread{this};
};

} // namespace Glm

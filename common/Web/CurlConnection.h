#pragma once
// The object behind an HttpConnection's connection handle: one server, one
// libcurl multi handle that every request of the connection runs on, and a
// pool of easy handles kept between requests. Keeping both alive is what
// lets repeated requests reuse one TCP (and TLS) connection and the loaded
// CA store instead of paying for them each time.

#include "common/Web/CurlSession.h"
#include "common/Web/InternetObject.h"
#include "common/Web/TlsTrust.h"

#include <atomic>
#include <cstdint>
#include <curl/curl.h>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Web {

class CurlConnection : public InternetObject {
public:
    /// Throws Web::WinInetException for "curl_multi_init" when libcurl has no memory.
    CurlConnection(std::shared_ptr<CurlSession> session, std::string host, std::uint16_t port, bool secure);
    ~CurlConnection() override;

    /// Marks the connection closed and wakes every request waiting on it.
    std::uint32_t Close() noexcept override;
    bool IsClosed() const { return m_closed.load(); }

    const std::string& GetHost() const { return m_host; }
    std::uint16_t GetPort() const { return m_port; }
    bool IsSecure() const { return m_secure; }
    const CurlSession& GetSession() const { return *m_session; }
    /// "https://host:port" or "http://host:port".
    std::string GetOrigin() const;
    const std::shared_ptr<const ExtraCaCertificates>& GetExtraCa() const { return m_extraCa; }

    CURLM* GetMulti() const { return m_multi; }
    /// An easy handle from the pool, or a new one; null when libcurl has no memory.
    CURL* AcquireEasy();
    /// Returns a handle to the pool (freed instead when the connection is closed).
    void ReleaseEasy(CURL* easy);

    /// Runs every transfer of the connection as far as it can go without
    /// waiting and hands each finished one its result through onDone (the
    /// easy handle's private pointer and the result). Returns the multi code.
    CURLMcode Perform(const std::function<void(CURL*, CURLcode)>& onDone);
    /// Waits up to timeoutMs for network activity or a Close.
    CURLMcode Wait(int timeoutMs);

private:
    std::shared_ptr<CurlSession> m_session;
    std::string m_host;
    std::uint16_t m_port;
    bool m_secure;
    std::shared_ptr<const ExtraCaCertificates> m_extraCa;
    CURLM* m_multi = nullptr;
    std::atomic<bool> m_closed{false};
    std::mutex m_poolLock;
    std::vector<CURL*> m_pool;
};

} // namespace Web

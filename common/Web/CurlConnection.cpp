#include "common/Web/CurlConnection.h"

#include "common/Web/HttpExceptions.h"

namespace Web {

CurlConnection::CurlConnection(std::shared_ptr<CurlSession> session, std::string host, std::uint16_t port,
                               bool secure)
    : m_session(std::move(session)), m_host(std::move(host)), m_port(port), m_secure(secure),
      m_extraCa(LoadExtraCaCertificates()) {
    m_multi = curl_multi_init();
    if (m_multi == nullptr) {
        throw WinInetException("curl_multi_init", CURLE_OUT_OF_MEMORY);
    }
}

CurlConnection::~CurlConnection() {
    for (CURL* easy : m_pool) {
        curl_easy_cleanup(easy);
    }
    curl_multi_cleanup(m_multi);
}

std::uint32_t CurlConnection::Close() noexcept {
    m_closed.store(true);
    return static_cast<std::uint32_t>(curl_multi_wakeup(m_multi));
}

std::string CurlConnection::GetOrigin() const {
    // A bare IPv6 address needs its brackets inside a URL.
    const bool bareIpv6 = m_host.find(':') != std::string::npos && m_host.front() != '[';
    const std::string host = bareIpv6 ? "[" + m_host + "]" : m_host;
    return std::string(m_secure ? "https://" : "http://") + host + ":" + std::to_string(m_port);
}

CURL* CurlConnection::AcquireEasy() {
    {
        std::lock_guard lock(m_poolLock);
        if (!m_pool.empty()) {
            CURL* easy = m_pool.back();
            m_pool.pop_back();
            return easy;
        }
    }
    return curl_easy_init();
}

void CurlConnection::ReleaseEasy(CURL* easy) {
    if (easy == nullptr) {
        return;
    }
    if (!IsClosed()) {
        std::lock_guard lock(m_poolLock);
        m_pool.push_back(easy);
        return;
    }
    curl_easy_cleanup(easy);
}

CURLMcode CurlConnection::Perform(const std::function<void(CURL*, CURLcode)>& onDone) {
    int running = 0;
    const CURLMcode code = curl_multi_perform(m_multi, &running);
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(m_multi, &left)) {
        if (message->msg == CURLMSG_DONE) {
            onDone(message->easy_handle, message->data.result);
        }
    }
    return code;
}

CURLMcode CurlConnection::Wait(int timeoutMs) {
    return curl_multi_poll(m_multi, nullptr, 0, timeoutMs, nullptr);
}

} // namespace Web

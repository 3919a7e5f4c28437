#pragma once
// The object behind an HttpTransaction's request handle: one transfer on
// its connection's multi handle. The transfer runs only while the owner
// waits on it, and pauses whenever a received chunk has not been taken yet,
// so a body is never held in memory beyond one chunk.

#include "common/Web/CurlConnection.h"
#include "common/Web/CurlStringList.h"
#include "common/Web/InternetObject.h"

#include <atomic>
#include <cstdint>
#include <curl/curl.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Web {

class CurlRequest : public InternetObject {
public:
    /// The request's parts. acceptTypes must not be empty.
    struct Parameters {
        std::string verb;       // "GET" or "POST"
        std::string objectName; // path and query, as sent
        std::vector<std::string> acceptTypes;
        std::string additionalHeaders; // "Name: value" lines separated by CR LF
        std::vector<std::uint8_t> body;
    };

    /// Throws Web::WinInetException for "curl_easy_init" when libcurl has no memory.
    CurlRequest(std::shared_ptr<CurlConnection> connection, Parameters parameters);
    ~CurlRequest() override;

    /// Stops the transfer's waits from another thread.
    std::uint32_t Close() noexcept override;

    /// Sends the request and waits until the final response's status and
    /// headers are known (redirects are followed on the way). Returns
    /// CURLE_OK, CURLE_ABORTED_BY_CALLBACK when closed, or libcurl's failure.
    CURLcode SendAndWaitForHeaders();

    /// Takes the next chunk of the body into chunk (replacing its content).
    /// Returns CURLE_OK with an empty chunk at the end of the body; otherwise
    /// as SendAndWaitForHeaders.
    CURLcode ReadChunk(std::string& chunk);

    std::uint32_t GetStatus() const { return m_status; }
    const std::string& GetStatusText() const { return m_statusText; }
    /// The last value of a header of the final response (name compared
    /// without regard to case), or nullptr.
    const std::string* FindHeader(const std::string& name) const;
    /// How many new connections the transfer opened (0 when one was reused).
    long GetNewConnectionCount() const;

private:
    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);
    static int OnSslContext(CURL* easy, void* sslContext, void* self);

    CURLcode Configure();
    // Pumps the connection until ready() holds, the transfer ends or the
    // connection or request is closed.
    template <class Ready>
    CURLcode PumpUntil(Ready ready);
    bool AbortRequested() const { return m_closed.load() || m_connection->IsClosed(); }
    bool IsFollowableRedirect();
    void Detach();

    std::shared_ptr<CurlConnection> m_connection;
    Parameters m_parameters;
    CURL* m_easy = nullptr;
    CurlStringList m_headers; // the handle points at it from Configure on
    bool m_attached = false;
    std::atomic<bool> m_closed{false};

    // Response of the current hop.
    std::uint32_t m_status = 0;
    std::string m_statusText;
    std::vector<std::pair<std::string, std::string>> m_responseHeaders;
    bool m_bodyStarted = false;
    bool m_discardBody = false;
    std::string m_pending;
    bool m_paused = false;
    bool m_done = false;
    CURLcode m_result = CURLE_OK;
    std::string m_redirectTarget;
    int m_redirects = 0;
};

} // namespace Web

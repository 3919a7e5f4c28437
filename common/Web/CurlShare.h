#pragma once
// The process-wide libcurl state: global initialisation, and one share that
// every request joins, so cookies (a signed-in session), host-name look-ups
// and TLS sessions made through one connection serve the next.
//
// Live connections are not put in the share: libcurl does not support a
// shared connection pool used by several threads at once, and the patcher
// downloads on its own threads while the UI thread calls the web service.
// Each Web::HttpConnection keeps its own pool instead (see CurlConnection),
// which is what makes its repeated requests use one TCP connection.

#include <curl/curl.h>
#include <memory>

namespace Web {

class CurlShare {
public:
    /// The process-wide share, created (with libcurl's global initialisation)
    /// on first use. Throws Web::WinInetException for "curl_global_init" or
    /// "curl_share_init" when libcurl cannot start.
    static std::shared_ptr<CurlShare> Instance();

    CurlShare(const CurlShare&) = delete;
    CurlShare& operator=(const CurlShare&) = delete;
    ~CurlShare();

    CURLSH* Get() const { return m_share; }

private:
    CurlShare();
    CURLSH* m_share = nullptr;
};

} // namespace Web

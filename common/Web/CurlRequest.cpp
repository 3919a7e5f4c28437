#include "common/Web/CurlRequest.h"

#include "common/Web/HttpExceptions.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace Web {

namespace {

// Generous limits that still end a transfer whose server went silent: a
// connection that cannot be made in a minute, or a body that delivers
// nothing for five minutes, fails instead of hanging the caller forever.
constexpr long kConnectTimeoutMs = 60'000;
constexpr long kStallSeconds = 300;
constexpr int kMaxRedirects = 10;
constexpr int kWaitSliceMs = 1000;

std::string Trim(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) {
        ++begin;
    }
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) {
        --end;
    }
    return text.substr(begin, end - begin);
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && SameName(text.substr(0, prefix.size()), prefix);
}

} // namespace

CurlRequest::CurlRequest(std::shared_ptr<CurlConnection> connection, Parameters parameters)
    : m_connection(std::move(connection)), m_parameters(std::move(parameters)) {
    m_easy = m_connection->AcquireEasy();
    if (m_easy == nullptr) {
        throw WinInetException("curl_easy_init", CURLE_OUT_OF_MEMORY);
    }
}

CurlRequest::~CurlRequest() {
    Detach();
    m_connection->ReleaseEasy(m_easy);
}

std::uint32_t CurlRequest::Close() noexcept {
    m_closed.store(true);
    return static_cast<std::uint32_t>(curl_multi_wakeup(m_connection->GetMulti()));
}

void CurlRequest::Detach() {
    if (m_attached) {
        curl_multi_remove_handle(m_connection->GetMulti(), m_easy);
        m_attached = false;
    }
}

CURLcode CurlRequest::Configure() {
    // libcurl 7.88 forgets a handle's list of cookie files on reset without
    // freeing it, so a pooled handle would leak the one named below each
    // time it is reused. Clearing the list first frees it; the cookies
    // themselves stay in the share.
    curl_easy_setopt(m_easy, CURLOPT_COOKIEFILE, static_cast<const char*>(nullptr));
    curl_easy_reset(m_easy);
    std::string object = m_parameters.objectName;
    if (object.empty() || object.front() != '/') {
        object.insert(object.begin(), '/');
    }
    const std::string url = m_connection->GetOrigin() + object;

    std::string accept = "Accept: ";
    for (std::size_t i = 0; i < m_parameters.acceptTypes.size(); ++i) {
        accept += (i == 0 ? "" : ", ") + m_parameters.acceptTypes[i];
    }
    bool callerSetContentType = false;
    CurlStringList headers;
    bool appended = headers.Append(accept);
    std::size_t start = 0;
    const std::string& extra = m_parameters.additionalHeaders;
    while (appended && start < extra.size()) {
        std::size_t end = extra.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            end = extra.size();
        }
        const std::string line = Trim(extra.substr(start, end - start));
        if (!line.empty()) {
            callerSetContentType = callerSetContentType || StartsWithNoCase(line, "Content-Type:");
            appended = headers.Append(line);
        }
        start = end + 1;
    }
    // The request carries exactly the headers asked for: no Content-Type of
    // libcurl's choosing and no "Expect: 100-continue" round trip.
    if (appended && m_parameters.verb == "POST") {
        appended = headers.Append("Expect:") && (callerSetContentType || headers.Append("Content-Type:"));
    }
    if (!appended) {
        return CURLE_OUT_OF_MEMORY;
    }
    // The reset above left the handle without a pointer to the old list.
    m_headers = std::move(headers);

    CURLcode code = CURLE_OK;
    auto set = [&](CURLoption option, auto value) {
        if (code == CURLE_OK) {
            code = curl_easy_setopt(m_easy, option, value);
        }
    };
    set(CURLOPT_URL, url.c_str());
    set(CURLOPT_PRIVATE, static_cast<void*>(this));
    set(CURLOPT_SHARE, m_connection->GetSession().GetShare()->Get());
    // Cookies live in the share; naming an empty cookie file switches the
    // handle's cookie engine on without reading anything.
    set(CURLOPT_COOKIEFILE, "");
    set(CURLOPT_USERAGENT, m_connection->GetSession().GetAgentName().c_str());
    set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    set(CURLOPT_PROTOCOLS_STR, "http,https");
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_FOLLOWLOCATION, 0L); // redirects are followed here, by our own rule
    set(CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
    set(CURLOPT_LOW_SPEED_LIMIT, 1L);
    set(CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    set(CURLOPT_SSL_VERIFYPEER, 1L);
    set(CURLOPT_SSL_VERIFYHOST, 2L);
    if (const SystemTrust& trust = GetSystemTrust(); !trust.hashedDirectory.empty()) {
        set(CURLOPT_CAINFO, static_cast<const char*>(nullptr));
        set(CURLOPT_CAPATH, trust.hashedDirectory.c_str());
    }
    set(CURLOPT_HTTPHEADER, m_headers.Get());
    set(CURLOPT_HEADERFUNCTION, &CurlRequest::OnHeader);
    set(CURLOPT_HEADERDATA, static_cast<void*>(this));
    set(CURLOPT_WRITEFUNCTION, &CurlRequest::OnBody);
    set(CURLOPT_WRITEDATA, static_cast<void*>(this));
    if (m_connection->IsSecure() && HasCertificates(*m_connection->GetExtraCa())) {
        set(CURLOPT_SSL_CTX_FUNCTION, &CurlRequest::OnSslContext);
        set(CURLOPT_SSL_CTX_DATA, static_cast<void*>(this));
    }
    if (m_parameters.verb == "GET") {
        set(CURLOPT_HTTPGET, 1L);
    } else {
        if (m_parameters.verb != "POST") {
            set(CURLOPT_CUSTOMREQUEST, m_parameters.verb.c_str());
        }
        static const char kNoBody[] = "";
        set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(m_parameters.body.size()));
        set(CURLOPT_POSTFIELDS,
            m_parameters.body.empty() ? kNoBody : reinterpret_cast<const char*>(m_parameters.body.data()));
    }
    return code;
}

std::size_t CurlRequest::OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
    auto* request = static_cast<CurlRequest*>(self);
    const std::size_t length = size * count;
    const std::string line(data, length);
    if (line.rfind("HTTP/", 0) == 0) {
        // A new response (an interim 1xx, or the next hop): its headers replace the last.
        request->m_responseHeaders.clear();
        request->m_status = 0;
        request->m_statusText.clear();
        const std::size_t firstBlank = line.find(' ');
        if (firstBlank != std::string::npos) {
            const std::string rest = line.substr(firstBlank + 1);
            const std::size_t secondBlank = rest.find(' ');
            const std::string code = rest.substr(0, secondBlank);
            if (code.size() == 3 &&
                std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; })) {
                request->m_status = static_cast<std::uint32_t>(std::stoul(code));
            }
            if (secondBlank != std::string::npos) {
                request->m_statusText = Trim(rest.substr(secondBlank + 1));
            }
        }
        return length;
    }
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos) {
        request->m_responseHeaders.emplace_back(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
    }
    return length;
}

std::size_t CurlRequest::OnBody(char* data, std::size_t size, std::size_t count, void* self) {
    auto* request = static_cast<CurlRequest*>(self);
    const std::size_t length = size * count;
    if (request->m_discardBody) {
        return length;
    }
    request->m_bodyStarted = true;
    if (!request->m_pending.empty()) {
        // The reader has not taken the last chunk: hold the transfer (libcurl
        // keeps this data and hands it over again when resumed).
        request->m_paused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    request->m_pending.assign(data, length);
    return length;
}

int CurlRequest::OnSslContext(CURL*, void* sslContext, void* self) {
    auto* request = static_cast<CurlRequest*>(self);
    AddExtraCaCertificatesTo(*request->m_connection->GetExtraCa(), sslContext);
    return CURLE_OK;
}

template <class Ready>
CURLcode CurlRequest::PumpUntil(Ready ready) {
    for (;;) {
        if (ready()) {
            return CURLE_OK;
        }
        if (m_done) {
            return m_result;
        }
        if (AbortRequested()) {
            return CURLE_ABORTED_BY_CALLBACK;
        }
        const CURLMcode performed = m_connection->Perform([](CURL* easy, CURLcode result) {
            void* owner = nullptr;
            curl_easy_getinfo(easy, CURLINFO_PRIVATE, &owner);
            if (owner != nullptr) {
                static_cast<CurlRequest*>(owner)->m_done = true;
                static_cast<CurlRequest*>(owner)->m_result = result;
            }
        });
        if (performed != CURLM_OK) {
            return CURLE_RECV_ERROR;
        }
        if (ready()) {
            return CURLE_OK;
        }
        if (m_done) {
            return m_result;
        }
        if (AbortRequested()) {
            return CURLE_ABORTED_BY_CALLBACK;
        }
        if (m_connection->Wait(kWaitSliceMs) != CURLM_OK) {
            return CURLE_RECV_ERROR;
        }
    }
}

bool CurlRequest::IsFollowableRedirect() {
    static const std::uint32_t followed[] = {301, 302, 303, 307, 308};
    if (std::find(std::begin(followed), std::end(followed), m_status) == std::end(followed) ||
        m_redirects >= kMaxRedirects) {
        return false;
    }
    char* target = nullptr;
    if (curl_easy_getinfo(m_easy, CURLINFO_REDIRECT_URL, &target) != CURLE_OK || target == nullptr) {
        return false;
    }
    m_redirectTarget = target;
    // A secure request never continues in clear text.
    return StartsWithNoCase(m_redirectTarget, "https://") ||
           (!m_connection->IsSecure() && StartsWithNoCase(m_redirectTarget, "http://"));
}

CURLcode CurlRequest::SendAndWaitForHeaders() {
    if (const CURLcode configured = Configure(); configured != CURLE_OK) {
        return configured;
    }
    for (;;) {
        if (curl_multi_add_handle(m_connection->GetMulti(), m_easy) != CURLM_OK) {
            return CURLE_FAILED_INIT;
        }
        m_attached = true;
        if (const CURLcode code = PumpUntil([this] { return m_bodyStarted; }); code != CURLE_OK) {
            return code;
        }
        if (!IsFollowableRedirect()) {
            return CURLE_OK;
        }
        // Finish the redirect's own body so the connection stays usable.
        m_discardBody = true;
        m_pending.clear();
        if (m_paused) {
            m_paused = false;
            curl_easy_pause(m_easy, CURLPAUSE_CONT);
        }
        if (const CURLcode code = PumpUntil([] { return false; }); code != CURLE_OK) {
            return code;
        }
        Detach();
        ++m_redirects;
        const bool becomesGet =
            m_status == 303 || ((m_status == 301 || m_status == 302) && m_parameters.verb != "GET");
        CURLcode code = curl_easy_setopt(m_easy, CURLOPT_URL, m_redirectTarget.c_str());
        if (code == CURLE_OK && becomesGet) {
            m_parameters.verb = "GET";
            m_parameters.body.clear();
            code = curl_easy_setopt(m_easy, CURLOPT_HTTPGET, 1L);
        }
        if (code != CURLE_OK) {
            return code;
        }
        m_status = 0;
        m_statusText.clear();
        m_responseHeaders.clear();
        m_bodyStarted = false;
        m_discardBody = false;
        m_done = false;
        m_result = CURLE_OK;
    }
}

CURLcode CurlRequest::ReadChunk(std::string& chunk) {
    chunk.clear();
    if (m_pending.empty()) {
        if (const CURLcode code = PumpUntil([this] { return !m_pending.empty(); }); code != CURLE_OK) {
            return code;
        }
    }
    chunk.swap(m_pending);
    m_pending.clear();
    if (m_paused) {
        m_paused = false;
        if (const CURLcode code = curl_easy_pause(m_easy, CURLPAUSE_CONT); code != CURLE_OK) {
            m_done = true;
            m_result = code;
        }
    }
    return CURLE_OK;
}

const std::string* CurlRequest::FindHeader(const std::string& name) const {
    for (auto it = m_responseHeaders.rbegin(); it != m_responseHeaders.rend(); ++it) {
        if (SameName(it->first, name)) {
            return &it->second;
        }
    }
    return nullptr;
}

long CurlRequest::GetNewConnectionCount() const {
    long count = 0;
    curl_easy_getinfo(m_easy, CURLINFO_NUM_CONNECTS, &count);
    return count;
}

} // namespace Web

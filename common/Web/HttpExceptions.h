#pragma once
// The failures of the HTTP transport. Every one is an Ex::NamedException, so
// callers that only care whether a resource came can catch that.

#include "common/Ex/Exceptions.h"
#include "common/Web/ResourceType.h"
#include "common/Win32/Win32Exception.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Web {

/// Name of the error-text source for libcurl result codes (CURLcode).
inline constexpr const char* kCurlErrorSource = "libcurl";
/// Name of the error-text source for libcurl multi-interface codes (CURLMcode).
inline constexpr const char* kCurlMultiErrorSource = "libcurl-multi";
/// Name of the error-text source for the transport's own header-query codes.
inline constexpr const char* kHeaderErrorSource = "libcurl-header";

/// Codes of the header-query source.
enum HeaderQueryError : std::uint32_t {
    HEADER_NOT_FOUND = 1, // the response has no such header
    HEADER_NOT_NUMBER = 2 // the header's value is not a decimal number
};

/// Registers the texts of the three sources above with Win32::ErrorCodeToText.
/// Called by every constructor below that formats a code; safe to call often.
void RegisterTransportErrorTexts();

/// "Call to FUNCTION failed with (CODE) TEXT", the text looked up in the
/// given source (libcurl's own texts by default).
class WinInetException : public Win32::FormattedException {
public:
    WinInetException(const std::string& function, std::uint32_t errorCode,
                     const std::string& errorSource = kCurlErrorSource, const Ex::Exception* cause = nullptr);
    EX_EXCEPTION_BOILERPLATE(WinInetException)
};

/// "Could not initialize Http connection with server: 'HOST' and server port: 'PORT'"
class CantInitializeHttpException : public Ex::NamedException {
public:
    CantInitializeHttpException(const std::string& host, std::uint16_t port,
                                const Ex::Exception* cause = nullptr);
    EX_EXCEPTION_BOILERPLATE(CantInitializeHttpException)
};

/// "Could not retrieve resource 'OBJECT' of acceptable type(s) 'Text' ... with
/// Http command: 'VERB' and additional header(s): 'HEADERS' from server 'HOST'
/// with server port 'PORT'."
class CantRetrieveResourceException : public Ex::NamedException {
public:
    CantRetrieveResourceException(const std::string& objectName, const std::vector<ResourceType>& types,
                                  const std::string& verb, const std::string& headers,
                                  const std::string& host, std::uint16_t port,
                                  const Ex::Exception* cause = nullptr);
    EX_EXCEPTION_BOILERPLATE(CantRetrieveResourceException)
};

/// "Http connection shut down. "
class HttpShutDownException : public Ex::NamedException {
public:
    explicit HttpShutDownException(const Ex::Exception* cause = nullptr);
    EX_EXCEPTION_BOILERPLATE(HttpShutDownException)
};

/// "Http response contained error status code: STATUS - TEXT."
class HttpStatusCodeErrorException : public Ex::NamedException {
public:
    HttpStatusCodeErrorException(std::uint32_t status, const std::string& statusText,
                                 const Ex::Exception* cause = nullptr);
    std::uint32_t GetStatus() const { return m_status; }
    EX_EXCEPTION_BOILERPLATE(HttpStatusCodeErrorException)

private:
    std::uint32_t m_status;
};

/// " Http response contained redirect status code: STATUS - TEXT." (the
/// leading blank is part of the text).
class HttpStatusCodeRedirectException : public Ex::NamedException {
public:
    HttpStatusCodeRedirectException(std::uint32_t status, const std::string& statusText,
                                    const Ex::Exception* cause = nullptr);
    std::uint32_t GetStatus() const { return m_status; }
    EX_EXCEPTION_BOILERPLATE(HttpStatusCodeRedirectException)

private:
    std::uint32_t m_status;
};

/// "Url: 'URL'."
class InvalidUrlException : public Ex::NamedException {
public:
    explicit InvalidUrlException(const std::string& url, const Ex::Exception* cause = nullptr);
    EX_EXCEPTION_BOILERPLATE(InvalidUrlException)
};

} // namespace Web

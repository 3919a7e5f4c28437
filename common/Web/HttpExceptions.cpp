#include "common/Web/HttpExceptions.h"

#include <curl/curl.h>
#include <mutex>

namespace Web {

void RegisterTransportErrorTexts() {
    static std::once_flag once;
    std::call_once(once, [] {
        Win32::RegisterErrorTextSource(
            kCurlErrorSource, [](std::uint32_t code) -> std::optional<std::string> {
                return std::string(curl_easy_strerror(static_cast<CURLcode>(code)));
            });
        Win32::RegisterErrorTextSource(
            kCurlMultiErrorSource, [](std::uint32_t code) -> std::optional<std::string> {
                return std::string(curl_multi_strerror(static_cast<CURLMcode>(code)));
            });
        Win32::RegisterErrorTextSource(kHeaderErrorSource,
                                       [](std::uint32_t code) -> std::optional<std::string> {
                                           switch (code) {
                                           case HEADER_NOT_FOUND:
                                               return std::string("The requested header was not found");
                                           case HEADER_NOT_NUMBER:
                                               return std::string("The header's value is not a number");
                                           default:
                                               return std::nullopt;
                                           }
                                       });
    });
}

WinInetException::WinInetException(const std::string& function, std::uint32_t errorCode,
                                   const std::string& errorSource, const Ex::Exception* cause)
    : FormattedException(errorCode, cause) {
    RegisterTransportErrorTexts();
    Message() << "Call to " << function << " failed with (" << errorCode << ") "
              << Win32::ErrorCodeToText(errorCode, errorSource);
}

CantInitializeHttpException::CantInitializeHttpException(const std::string& host, std::uint16_t port,
                                                         const Ex::Exception* cause)
    : NamedException(cause) {
    Message() << "Could not initialize Http connection with server: '" << host << "' and server port: '"
              << port << "'";
}

CantRetrieveResourceException::CantRetrieveResourceException(
    const std::string& objectName, const std::vector<ResourceType>& types, const std::string& verb,
    const std::string& headers, const std::string& host, std::uint16_t port, const Ex::Exception* cause)
    : NamedException(cause) {
    Message() << "Could not retrieve resource '" << objectName << "' of acceptable type(s)";
    for (ResourceType type : types) {
        Message() << " '" << type << "'";
    }
    Message() << " with Http command: '" << verb << "' and additional header(s): '" << headers
              << "' from server '" << host << "' with server port '" << port << "'.";
}

HttpShutDownException::HttpShutDownException(const Ex::Exception* cause) : NamedException(cause) {
    Message() << "Http connection shut down. ";
}

HttpStatusCodeErrorException::HttpStatusCodeErrorException(std::uint32_t status,
                                                           const std::string& statusText,
                                                           const Ex::Exception* cause)
    : NamedException(cause), m_status(status) {
    Message() << "Http response contained error status code: " << status << " - " << statusText << ".";
}

HttpStatusCodeRedirectException::HttpStatusCodeRedirectException(std::uint32_t status,
                                                                 const std::string& statusText,
                                                                 const Ex::Exception* cause)
    : NamedException(cause), m_status(status) {
    Message() << " Http response contained redirect status code: " << status << " - " << statusText << ".";
}

InvalidUrlException::InvalidUrlException(const std::string& url, const Ex::Exception* cause)
    : NamedException(cause) {
    Message() << "Url: '" << url << "'.";
}

} // namespace Web

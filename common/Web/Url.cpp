#include "common/Web/Url.h"

#include "common/Web/HttpExceptions.h"

#include <algorithm>
#include <cctype>
#include <curl/curl.h>

namespace Web {

namespace {

bool IsHostCharacter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '-' || c == '.' || c == '_' || c == '~' || c == '%';
}

[[noreturn]] void Reject(const std::string& url, CURLcode code) {
    WinInetException cause("InternetCrackUrl", code);
    throw InvalidUrlException(url, &cause);
}

} // namespace

Url::Url(const std::string& url) {
    try {
        if (std::any_of(url.begin(), url.end(), [](char c) {
                const auto u = static_cast<unsigned char>(c);
                return u <= 0x20 || u == 0x7f;
            })) {
            Reject(url, CURLE_URL_MALFORMAT);
        }
        const std::size_t schemeEnd = url.find("://");
        if (schemeEnd == std::string::npos || schemeEnd == 0) {
            Reject(url, CURLE_URL_MALFORMAT);
        }
        m_scheme = url.substr(0, schemeEnd);
        std::transform(m_scheme.begin(), m_scheme.end(), m_scheme.begin(),
                       [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
        if (m_scheme != "http" && m_scheme != "https") {
            Reject(url, CURLE_UNSUPPORTED_PROTOCOL);
        }
        const std::size_t authorityBegin = schemeEnd + 3;
        std::size_t authorityEnd = url.find_first_of("/?#", authorityBegin);
        if (authorityEnd == std::string::npos) {
            authorityEnd = url.size();
        }
        std::string authority = url.substr(authorityBegin, authorityEnd - authorityBegin);
        if (const std::size_t at = authority.rfind('@'); at != std::string::npos) {
            authority.erase(0, at + 1);
        }
        std::string portText;
        if (!authority.empty() && authority.front() == '[') {
            const std::size_t close = authority.find(']');
            if (close == std::string::npos) {
                Reject(url, CURLE_URL_MALFORMAT);
            }
            m_hostName = authority.substr(1, close - 1);
            const std::string after = authority.substr(close + 1);
            if (!after.empty() && after.front() != ':') {
                Reject(url, CURLE_URL_MALFORMAT);
            }
            portText = after.empty() ? "" : after.substr(1);
            if (m_hostName.empty() || !std::all_of(m_hostName.begin(), m_hostName.end(), [](char c) {
                    return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
                })) {
                Reject(url, CURLE_URL_MALFORMAT);
            }
        } else {
            const std::size_t colon = authority.find(':');
            m_hostName = authority.substr(0, colon);
            portText = colon == std::string::npos ? "" : authority.substr(colon + 1);
            if (m_hostName.empty() || !std::all_of(m_hostName.begin(), m_hostName.end(), IsHostCharacter)) {
                Reject(url, CURLE_URL_MALFORMAT);
            }
        }
        if (portText.empty()) {
            m_port = m_scheme == "https" ? 443 : 80;
        } else {
            if (portText.size() > 5 ||
                !std::all_of(portText.begin(), portText.end(), [](char c) { return c >= '0' && c <= '9'; })) {
                Reject(url, CURLE_URL_MALFORMAT);
            }
            const unsigned long port = std::stoul(portText);
            if (port == 0 || port > 65535) {
                Reject(url, CURLE_URL_MALFORMAT);
            }
            m_port = static_cast<std::uint16_t>(port);
        }
        const std::size_t extraBegin = url.find_first_of("?#", authorityEnd);
        const std::size_t pathEnd = extraBegin == std::string::npos ? url.size() : extraBegin;
        m_urlPath = url.substr(authorityEnd, pathEnd - authorityEnd);
        m_extraInfo = extraBegin == std::string::npos ? "" : url.substr(extraBegin);
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

std::string Url::GetOptionalPart(const char* pointer, std::size_t length) {
    try {
        return pointer == nullptr ? std::string() : std::string(pointer, length);
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

} // namespace Web

#pragma once
// A URL split into the parts a connection and a request need.

#include <cstddef>
#include <cstdint>
#include <string>

namespace Web {

class Url {
public:
    /// Splits an absolute http or https URL: scheme "://" [user "@"] host
    /// [":" port] [path] ["?" query] ["#" fragment]. A host may be an IPv6
    /// address in brackets (kept without them). Throws
    /// Web::InvalidUrlException, caused by a Web::WinInetException for
    /// "InternetCrackUrl", for anything else: another scheme, no host, a
    /// port outside 1..65535, or a blank or control character anywhere.
    explicit Url(const std::string& url);

    const std::string& GetScheme() const { return m_scheme; } // lower case
    const std::string& GetHostName() const { return m_hostName; }
    /// The path, empty when the URL has none.
    const std::string& GetUrlPath() const { return m_urlPath; }
    /// The query with its "?" (and any fragment), empty when absent.
    const std::string& GetExtraInfo() const { return m_extraInfo; }
    /// The port given, else 80 for http and 443 for https.
    std::uint16_t GetPort() const { return m_port; }
    /// True for an https URL.
    bool IsSecure() const { return m_scheme == "https"; }
    /// What a request asks for: the path followed by the extra information.
    std::string GetObjectName() const { return m_urlPath + m_extraInfo; }

    /// The text at pointer, or "" when pointer is null.
    static std::string GetOptionalPart(const char* pointer, std::size_t length);

private:
    std::string m_scheme;
    std::string m_hostName;
    std::string m_urlPath;
    std::string m_extraInfo;
    std::uint16_t m_port = 0;
};

} // namespace Web

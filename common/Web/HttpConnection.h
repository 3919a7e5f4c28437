#pragma once
// A connection to one server and port, through which transactions are made.
// Keep one per server for as long as requests go there: it keeps the TCP
// (and TLS) connection and the loaded CA store alive between requests.

#include "common/Web/HInternet.h"
#include "common/Web/HttpTransaction.h"
#include "common/Web/ResourceType.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Web {

class Url;

class HttpConnection {
public:
    /// Requests go over TLS when secure is true or the port is 443. Throws
    /// Web::CantInitializeHttpException when libcurl cannot be set up.
    HttpConnection(const std::string& agentName, const std::string& serverHost, std::uint16_t serverPort,
                   bool secure = false);
    /// The connection for a URL's scheme, host and port.
    HttpConnection(const std::string& agentName, const Url& url);
    /// Closes the connection handle, then the internet handle; never throws.
    ~HttpConnection();
    HttpConnection(const HttpConnection&) = delete;
    HttpConnection& operator=(const HttpConnection&) = delete;

    /// (Re)opens both handles. Throws Web::CantInitializeHttpException.
    void Connect();

    /// GET of objectName (path and query). Throws Web::HttpShutDownException
    /// when the connection is shut down, Web::CantRetrieveResourceException
    /// (caused by what went wrong) for any other failure, including a status
    /// of 300 or more, and Ex::Precondition for an empty type list.
    std::shared_ptr<HttpTransaction> DoGet(const std::string& objectName,
                                           const std::vector<ResourceType>& resourceTypes,
                                           const std::string& additionalHeaders = "");
    std::shared_ptr<HttpTransaction> DoGet(const std::string& objectName, ResourceType resourceType,
                                           const std::string& additionalHeaders = "");
    /// POST of body; throws as DoGet.
    std::shared_ptr<HttpTransaction> DoPost(const std::string& objectName,
                                            const std::vector<ResourceType>& resourceTypes,
                                            const std::vector<std::uint8_t>& body,
                                            const std::string& additionalHeaders = "");
    /// POST of a text body (its bytes, no terminator), accepting Text only.
    std::shared_ptr<HttpTransaction> DoPost(const std::string& objectName, const std::string& body,
                                            const std::string& additionalHeaders = "");

    /// Aborts the connection from any thread: a request or body read blocked
    /// on it, and every later one, fails with Web::HttpShutDownException.
    void ShutDown();

    const std::string& GetAgentName() const { return m_agentName; }
    const std::string& GetServerHost() const { return m_serverHost; }
    std::uint16_t GetServerPort() const { return m_serverPort; }
    bool IsSecure() const { return m_secure; }

private:
    std::shared_ptr<HttpTransaction> Do(const char* verb, const char* function, const std::string& objectName,
                                        const std::vector<ResourceType>& resourceTypes,
                                        const std::vector<std::uint8_t>& body,
                                        const std::string& additionalHeaders);

    std::string m_agentName;
    std::string m_serverHost;
    std::uint16_t m_serverPort;
    bool m_secure;
    HInternet m_internet{nullptr, true};
    HInternet m_connection{nullptr, true};
};

} // namespace Web

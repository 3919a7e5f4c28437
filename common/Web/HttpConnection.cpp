#include "common/Web/HttpConnection.h"

#include "common/Web/CurlConnection.h"
#include "common/Web/CurlSession.h"
#include "common/Web/HttpExceptions.h"
#include "common/Web/Url.h"

namespace Web {

HttpConnection::HttpConnection(const std::string& agentName, const std::string& serverHost,
                               std::uint16_t serverPort, bool secure)
    : m_agentName(agentName), m_serverHost(serverHost), m_serverPort(serverPort),
      // An https URL on any port is secure, not only port 443: otherwise a
      // private deployment on another port would send passwords in clear.
      m_secure(secure || serverPort == 443) {
    try {
        Connect();
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

HttpConnection::HttpConnection(const std::string& agentName, const Url& url)
    : HttpConnection(agentName, url.GetHostName(), url.GetPort(), url.IsSecure()) {}

HttpConnection::~HttpConnection() {
    try {
        m_connection.Close();
        m_internet.Close();
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Web::HttpConnection::~HttpConnection");
    }
}

void HttpConnection::Connect() {
    try {
        try {
            std::shared_ptr<CurlSession> session;
            try {
                session = std::make_shared<CurlSession>(m_agentName);
            } catch (WinInetException& e) {
                HttpTransaction::CheckForWininetErrorAndShutdown(true, m_internet, "InternetOpen()",
                                                                 e.GetErrorCode());
            }
            m_internet = session;
            HttpTransaction::CheckForWininetErrorAndShutdown(!m_internet.IsValid(), m_internet,
                                                             "InternetOpen()", CURLE_FAILED_INIT);
            std::shared_ptr<CurlConnection> connection;
            try {
                connection = std::make_shared<CurlConnection>(session, m_serverHost, m_serverPort, m_secure);
            } catch (WinInetException& e) {
                HttpTransaction::CheckForWininetErrorAndShutdown(true, m_internet, "InternetConnect()",
                                                                 e.GetErrorCode());
            }
            m_connection = connection;
            HttpTransaction::CheckForWininetErrorAndShutdown(!m_connection.IsValid(), m_internet,
                                                             "InternetConnect()", CURLE_FAILED_INIT);
        } catch (WinInetException& e) {
            throw CantInitializeHttpException(m_serverHost, m_serverPort, &e);
        }
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

std::shared_ptr<HttpTransaction> HttpConnection::Do(const char* verb, const char* function,
                                                    const std::string& objectName,
                                                    const std::vector<ResourceType>& resourceTypes,
                                                    const std::vector<std::uint8_t>& body,
                                                    const std::string& additionalHeaders) {
    try {
        return std::make_shared<HttpTransaction>(objectName, resourceTypes, additionalHeaders, verb, body,
                                                 m_connection);
    } catch (HttpShutDownException&) {
        throw;
    } catch (Ex::ProgrammerException& e) {
        e.AddStackFrame(EX_FRAME.file, function, __LINE__);
        throw;
    } catch (Ex::NamedException& e) {
        throw CantRetrieveResourceException(objectName, resourceTypes, verb, additionalHeaders, m_serverHost,
                                            m_serverPort, &e);
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME.file, function, __LINE__);
        throw;
    } catch (const std::exception& e) {
        Ex::StlException wrapped(e);
        throw CantRetrieveResourceException(objectName, resourceTypes, verb, additionalHeaders, m_serverHost,
                                            m_serverPort, &wrapped);
    }
}

std::shared_ptr<HttpTransaction> HttpConnection::DoGet(const std::string& objectName,
                                                       const std::vector<ResourceType>& resourceTypes,
                                                       const std::string& additionalHeaders) {
    return Do("GET", "Web::HttpConnection::DoGet", objectName, resourceTypes, {}, additionalHeaders);
}

std::shared_ptr<HttpTransaction> HttpConnection::DoGet(const std::string& objectName,
                                                       ResourceType resourceType,
                                                       const std::string& additionalHeaders) {
    return DoGet(objectName, std::vector<ResourceType>{resourceType}, additionalHeaders);
}

std::shared_ptr<HttpTransaction> HttpConnection::DoPost(const std::string& objectName,
                                                        const std::vector<ResourceType>& resourceTypes,
                                                        const std::vector<std::uint8_t>& body,
                                                        const std::string& additionalHeaders) {
    return Do("POST", "Web::HttpConnection::DoPost", objectName, resourceTypes, body, additionalHeaders);
}

std::shared_ptr<HttpTransaction> HttpConnection::DoPost(const std::string& objectName,
                                                        const std::string& body,
                                                        const std::string& additionalHeaders) {
    return DoPost(objectName, std::vector<ResourceType>{Text},
                  std::vector<std::uint8_t>(body.begin(), body.end()), additionalHeaders);
}

void HttpConnection::ShutDown() {
    try {
        m_connection.ShutDown();
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

} // namespace Web

#pragma once
// One HTTP request and its response. The constructor returns once the
// final response's status and headers are known; the body is read
// afterwards, chunk by chunk.

#include "common/Web/DownloadObserver.h"
#include "common/Web/HInternet.h"
#include "common/Web/ResourceType.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Web {

/// Which response header GetHeader reads.
enum HttpQuery : std::uint32_t {
    HTTP_QUERY_CONTENT_TYPE = 1,
    HTTP_QUERY_CONTENT_LENGTH = 5,
    HTTP_QUERY_DATE = 9,
    HTTP_QUERY_STATUS_CODE = 19,
    HTTP_QUERY_STATUS_TEXT = 20,
    HTTP_QUERY_LOCATION = 33,
    HTTP_QUERY_SET_COOKIE = 43,
};

class HttpTransaction {
public:
    /// Sends the request over the connection handle and checks the status.
    /// Throws Ex::Precondition "!resourceTypeStringList.empty()" for an
    /// empty list (nothing is sent); Web::HttpShutDownException when the
    /// connection is shut down meanwhile; Web::WinInetException for
    /// "::HttpOpenRequest" or "::HttpSendRequest" with libcurl's code when
    /// the request cannot be made or sent; and CheckStatusCode's exceptions.
    /// The connection handle must outlive the transaction.
    HttpTransaction(const std::string& objectName, const std::vector<ResourceType>& resourceTypes,
                    const std::string& additionalHeaders, const std::string& verb,
                    const std::vector<std::uint8_t>& body, HInternet& connectionHandle);
    /// Closes the request; a failure to close is ignored.
    ~HttpTransaction();
    HttpTransaction(const HttpTransaction&) = delete;
    HttpTransaction& operator=(const HttpTransaction&) = delete;

    /// The header as a number. Throws Web::WinInetException for
    /// "HttpQueryInfo" when the response has no such header or it is not a
    /// decimal number.
    std::uint32_t GetHeader(HttpQuery query);
    /// The header as text, by query or by header name. Throws as GetHeader.
    std::string GetHeaderText(HttpQuery query);
    std::string GetHeaderText(const std::string& headerName);

    /// Below 300 returns; 300-399 throws Web::HttpStatusCodeRedirectException
    /// (a redirect that was not followed); 400 and above throws
    /// Web::HttpStatusCodeErrorException, both with status and reason phrase.
    void CheckStatusCode();

    /// Reads the rest of the body. Throws Web::HttpShutDownException when the
    /// connection is shut down meanwhile, else Web::WinInetException for
    /// "InternetReadFile" with libcurl's code.
    std::vector<std::uint8_t> GetResponseBody();
    std::string GetResponseBodyAsString();
    /// Streams the rest of the body into a new file (an existing file makes
    /// the open fail, so the caller deletes it first), reporting to observer
    /// as DownloadObserver describes. Throws as GetResponseBody, and
    /// Win32::Win32Exception for "open" or "write" when the file fails.
    void GetResponseBodyIntoFile(const std::string& fileName, DownloadObserver& observer, void* context);

    /// How many new connections this request opened (0 when it reused one).
    long GetNewConnectionCount();

    /// The accept types of the given resource types, in the order given.
    static std::vector<std::string> ContentTypeListToStringList(const std::vector<ResourceType>& types);

    /// Throws Web::HttpShutDownException when the connection handle is shut
    /// down, whatever else; otherwise Web::WinInetException for function and
    /// errorCode when failed; otherwise returns.
    static void CheckForWininetErrorAndShutdown(bool failed, HInternet& connectionHandle,
                                                const std::string& functionName, std::uint32_t errorCode);

private:
    // Next chunk of the body into chunk; empty at the end. Returns libcurl's code.
    std::uint32_t ReadChunk(std::string& chunk);
    const std::string* FindHeader(HttpQuery query, std::string& scratch);

    HInternet m_request{nullptr, false};
    HInternet* m_connectionHandle;
};

} // namespace Web

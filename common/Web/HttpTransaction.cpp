#include "common/Web/HttpTransaction.h"

#include "common/Web/CurlRequest.h"
#include "common/Web/HttpExceptions.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace Web {

namespace {

const char* HeaderNameOf(HttpQuery query) {
    switch (query) {
    case HTTP_QUERY_CONTENT_TYPE:
        return "Content-Type";
    case HTTP_QUERY_CONTENT_LENGTH:
        return "Content-Length";
    case HTTP_QUERY_DATE:
        return "Date";
    case HTTP_QUERY_LOCATION:
        return "Location";
    case HTTP_QUERY_SET_COOKIE:
        return "Set-Cookie";
    default:
        return nullptr;
    }
}

// Owns a file descriptor.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_fd; }
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

void WriteAll(int fd, const std::string& data, const std::string& fileName) {
    std::size_t written = 0;
    while (written < data.size()) {
        const ssize_t result = ::write(fd, data.data() + written, data.size() - written);
        if (result < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw Win32::Win32Exception::FromErrno("write(" + fileName + ")");
        }
        written += static_cast<std::size_t>(result);
    }
}

} // namespace

HttpTransaction::HttpTransaction(const std::string& objectName,
                                 const std::vector<ResourceType>& resourceTypes,
                                 const std::string& additionalHeaders, const std::string& verb,
                                 const std::vector<std::uint8_t>& body, HInternet& connectionHandle)
    : m_connectionHandle(&connectionHandle) {
    try {
        const std::vector<std::string> resourceTypeStringList = ContentTypeListToStringList(resourceTypes);
        EX_PRECONDITION(!resourceTypeStringList.empty());

        std::shared_ptr<CurlConnection> connection = connectionHandle.GetAs<CurlConnection>();
        CheckForWininetErrorAndShutdown(connection == nullptr, connectionHandle, "::HttpOpenRequest",
                                        CURLE_FAILED_INIT);
        std::shared_ptr<CurlRequest> request;
        try {
            request = std::make_shared<CurlRequest>(
                connection,
                CurlRequest::Parameters{verb, objectName, resourceTypeStringList, additionalHeaders, body});
        } catch (WinInetException& e) {
            CheckForWininetErrorAndShutdown(true, connectionHandle, "::HttpOpenRequest", e.GetErrorCode());
        }
        m_request = request;
        const CURLcode sent = request->SendAndWaitForHeaders();
        CheckForWininetErrorAndShutdown(sent != CURLE_OK, connectionHandle, "::HttpSendRequest", sent);
        CheckStatusCode();
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

HttpTransaction::~HttpTransaction() {
    try {
        m_request.Close();
    } catch (...) {
        // A request that cannot be closed cleanly has nothing left to lose.
    }
}

std::vector<std::string>
HttpTransaction::ContentTypeListToStringList(const std::vector<ResourceType>& types) {
    return Web::ContentTypeListToStringList(types);
}

void HttpTransaction::CheckForWininetErrorAndShutdown(bool failed, HInternet& connectionHandle,
                                                      const std::string& functionName,
                                                      std::uint32_t errorCode) {
    if (connectionHandle.IsShutDown()) {
        throw HttpShutDownException();
    }
    if (failed) {
        throw WinInetException(functionName, errorCode);
    }
}

const std::string* HttpTransaction::FindHeader(HttpQuery query, std::string& scratch) {
    std::shared_ptr<CurlRequest> request = m_request.GetAs<CurlRequest>();
    CheckForWininetErrorAndShutdown(request == nullptr, *m_connectionHandle, "HttpQueryInfo",
                                    CURLE_ABORTED_BY_CALLBACK);
    if (query == HTTP_QUERY_STATUS_CODE) {
        scratch = std::to_string(request->GetStatus());
        return &scratch;
    }
    if (query == HTTP_QUERY_STATUS_TEXT) {
        scratch = request->GetStatusText();
        return &scratch;
    }
    const char* name = HeaderNameOf(query);
    const std::string* value = name == nullptr ? nullptr : request->FindHeader(name);
    if (value == nullptr) {
        return nullptr;
    }
    scratch = *value;
    return &scratch;
}

std::uint32_t HttpTransaction::GetHeader(HttpQuery query) {
    try {
        std::string scratch;
        const std::string* value = FindHeader(query, scratch);
        if (value == nullptr) {
            throw WinInetException("HttpQueryInfo", HEADER_NOT_FOUND, kHeaderErrorSource);
        }
        if (value->empty() || value->size() > 10 ||
            value->find_first_not_of("0123456789") != std::string::npos ||
            std::stoull(*value) > 0xFFFFFFFFull) {
            throw WinInetException("HttpQueryInfo", HEADER_NOT_NUMBER, kHeaderErrorSource);
        }
        return static_cast<std::uint32_t>(std::stoull(*value));
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

std::string HttpTransaction::GetHeaderText(HttpQuery query) {
    try {
        std::string scratch;
        const std::string* value = FindHeader(query, scratch);
        if (value == nullptr) {
            throw WinInetException("HttpQueryInfo", HEADER_NOT_FOUND, kHeaderErrorSource);
        }
        return *value;
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

std::string HttpTransaction::GetHeaderText(const std::string& headerName) {
    try {
        std::shared_ptr<CurlRequest> request = m_request.GetAs<CurlRequest>();
        CheckForWininetErrorAndShutdown(request == nullptr, *m_connectionHandle, "HttpQueryInfo",
                                        CURLE_ABORTED_BY_CALLBACK);
        const std::string* value = request->FindHeader(headerName);
        if (value == nullptr) {
            throw WinInetException("HttpQueryInfo", HEADER_NOT_FOUND, kHeaderErrorSource);
        }
        return *value;
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

void HttpTransaction::CheckStatusCode() {
    try {
        const std::uint32_t status = GetHeader(HTTP_QUERY_STATUS_CODE);
        if (status < 300) {
            return;
        }
        const std::string text = GetHeaderText(HTTP_QUERY_STATUS_TEXT);
        if (status < 400) {
            throw HttpStatusCodeRedirectException(status, text);
        }
        throw HttpStatusCodeErrorException(status, text);
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

std::uint32_t HttpTransaction::ReadChunk(std::string& chunk) {
    chunk.clear();
    std::shared_ptr<CurlRequest> request = m_request.GetAs<CurlRequest>();
    if (request == nullptr) {
        return CURLE_ABORTED_BY_CALLBACK;
    }
    return request->ReadChunk(chunk);
}

std::vector<std::uint8_t> HttpTransaction::GetResponseBody() {
    try {
        std::vector<std::uint8_t> body;
        std::string chunk;
        for (;;) {
            const std::uint32_t code = ReadChunk(chunk);
            CheckForWininetErrorAndShutdown(code != CURLE_OK, *m_connectionHandle, "InternetReadFile", code);
            if (chunk.empty()) {
                return body;
            }
            body.insert(body.end(), chunk.begin(), chunk.end());
        }
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

std::string HttpTransaction::GetResponseBodyAsString() {
    try {
        const std::vector<std::uint8_t> body = GetResponseBody();
        return std::string(body.begin(), body.end());
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

void HttpTransaction::GetResponseBodyIntoFile(const std::string& fileName, DownloadObserver& observer,
                                              void* context) {
    try {
        std::uint64_t expected = 0;
        {
            // No Content-Length (a chunked or closing body) means no progress figures.
            std::string scratch;
            const std::string* length = FindHeader(HTTP_QUERY_CONTENT_LENGTH, scratch);
            if (length != nullptr && !length->empty() && length->size() <= 19 &&
                length->find_first_not_of("0123456789") == std::string::npos) {
                expected = std::stoull(*length);
            }
        }
        FileDescriptor file(::open(fileName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
        if (file.Get() < 0) {
            throw Win32::Win32Exception::FromErrno("open(" + fileName + ")");
        }
        std::uint64_t received = 0;
        unsigned lastPercent = 0;
        std::string chunk;
        for (;;) {
            const std::uint32_t code = ReadChunk(chunk);
            if (code != CURLE_OK) {
                observer.OnError(context, "InternetReadFile error: " + std::to_string(code));
                CheckForWininetErrorAndShutdown(true, *m_connectionHandle, "InternetReadFile", code);
            }
            if (chunk.empty()) {
                break;
            }
            received += chunk.size();
            if (expected != 0) {
                // 64-bit arithmetic: a 32-bit product overflows past 42 MB.
                const auto percent =
                    static_cast<unsigned>(std::min<std::uint64_t>(100, received * 100 / expected));
                if (percent != lastPercent) {
                    lastPercent = percent;
                    observer.OnProgress(context, percent);
                }
            }
            WriteAll(file.Get(), chunk, fileName);
        }
        if (::close(file.Release()) != 0) {
            throw Win32::Win32Exception::FromErrno("close(" + fileName + ")");
        }
        observer.OnComplete(context);
    }
    EX_CATCH_ADD_FRAME_AND_RETHROW
}

long HttpTransaction::GetNewConnectionCount() {
    std::shared_ptr<CurlRequest> request = m_request.GetAs<CurlRequest>();
    return request ? request->GetNewConnectionCount() : 0;
}

} // namespace Web

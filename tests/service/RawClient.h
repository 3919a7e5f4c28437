#pragma once

#include <chrono>
#include <string>

namespace ServiceTest {

/// A bare TCP connection to 127.0.0.1, for what a well-behaved client library will not do:
/// idle or trickling connections, pipelined requests, floods of headers.
class RawConnection {
public:
    explicit RawConnection(int port);
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool Connected() const { return m_fd >= 0; }
    /// False when the peer closed or refused the bytes.
    bool Send(const std::string& bytes);
    /// Reads until `count` whole answers (status line, headers, Content-Length body) arrived, the
    /// peer closed, or the deadline passed; returns what arrived.
    std::string ReadAnswers(int count, std::chrono::milliseconds deadline);
    /// True when the peer closes the connection before the deadline.
    bool ClosedWithin(std::chrono::milliseconds deadline);

private:
    int m_fd = -1;
};

/// How many complete answers `text` holds.
int CountAnswers(const std::string& text);

/// A GET of `path` with Host, keeping the connection open.
std::string KeepAliveGet(const std::string& path);

/// The resident memory of a process in KiB (VmRSS), 0 when unknown.
long ResidentKiB(int pid);

} // namespace ServiceTest

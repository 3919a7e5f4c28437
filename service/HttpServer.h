#pragma once

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>

namespace Service {

class AccessLog;
class Routes;

/// What one connection may cost. Every limit is enforced by closing or refusing, never by
/// letting a client hold something the others need.
struct ConnectionLimits {
    /// From the first byte of a request to the end of its header section (and the body after).
    std::chrono::seconds requestTime{10};
    /// Between requests on a kept-alive connection, and for a TLS handshake.
    std::chrono::seconds idleTime{15};
    std::size_t headerBytes = 16 * 1024;
    std::size_t headerCount = 100;
    std::size_t bodyBytes = 64 * 1024;
    /// Open connections beyond this are closed as soon as they are accepted.
    std::size_t connections = 4096;
};

/// A listening port that could not be had: the message names it and the reason.
class ListenError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The HTTP and HTTPS front of the service on 127.0.0.1. Connections are served by a few
/// event-loop threads that never wait on a client; handlers run on a separate pool, so a slow
/// handler cannot stall reading, and a slow client cannot hold a handler thread. Requests on one
/// connection are answered in the order they arrived, pipelined or not.
class HttpServer {
public:
    HttpServer(const Routes& plainRoutes, const Routes& secureRoutes, AccessLog& log,
               ConnectionLimits limits);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    /// Loads the certificate and key for HTTPS: TLS 1.2 and 1.3 with AEAD ciphers only. Throws
    /// std::runtime_error naming the file that cannot be used.
    void UseCertificate(const std::string& certificateFile, const std::string& keyFile);
    /// Binds a port (0: any free one) without sharing it with another process; returns the
    /// port. Throws ListenError naming the port.
    int ListenHttp(int port);
    int ListenHttps(int port);

    /// Serves until Stop: blocks the calling thread.
    void Run();
    /// Callable from any thread: Run returns once the threads have stopped.
    void Stop();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Service

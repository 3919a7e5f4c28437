#pragma once
// A cpp-httplib server on a free loopback port, run on its own thread for
// the lifetime of the object.

#ifndef CPPHTTPLIB_OPENSSL_SUPPORT
#define CPPHTTPLIB_OPENSSL_SUPPORT
#endif
#include <chrono>
#include <httplib.h>
#include <memory>
#include <string>
#include <thread>

namespace WebTest {

class TestServer {
public:
    /// Plain HTTP.
    TestServer() : m_server(std::make_unique<httplib::Server>()) {}
    /// HTTPS with the given certificate and key files.
    TestServer(const std::string& certificateFile, const std::string& keyFile)
        : m_server(std::make_unique<httplib::SSLServer>(certificateFile.c_str(), keyFile.c_str())) {}
    ~TestServer() { Stop(); }
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    httplib::Server& Routes() { return *m_server; }

    /// Binds to a free port and serves until Stop. Returns the port.
    int Start() {
        m_server->set_keep_alive_max_count(1000000);
        m_server->set_tcp_nodelay(true);
        // Stop waits for idle keep-alive connections; keep that wait short.
        m_server->set_keep_alive_timeout(1);
        m_port = m_server->bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server->listen_after_bind(); });
        // stop() is ignored until the accept loop runs, so Stop right after
        // Start would hang on join: wait for the loop (bounded).
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!m_server->is_running() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        return m_port;
    }
    void Stop() {
        if (m_thread.joinable()) {
            m_server->stop();
            m_thread.join();
        }
    }
    int Port() const { return m_port; }

private:
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
};

} // namespace WebTest

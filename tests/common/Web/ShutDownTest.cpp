#include "common/Web/HttpConnection.h"
#include "common/Web/HttpExceptions.h"
#include "tests/support/TestServer.h"

#include <chrono>
#include <condition_variable>
#include <future>
#include <gtest/gtest.h>
#include <mutex>

namespace {

// A server whose handlers stall until released, telling the test when they
// have reached the stall.
class StallingServer {
public:
    StallingServer() {
        m_server.Routes().Get("/stall-body", [this](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider("application/octet-stream",
                                             [this](std::size_t offset, httplib::DataSink& sink) {
                                                 if (offset == 0) {
                                                     const std::string first(20000, 'x');
                                                     sink.write(first.data(), first.size());
                                                     return true;
                                                 }
                                                 Stall();
                                                 sink.done();
                                                 return true;
                                             });
        });
        m_server.Routes().Get("/stall-headers", [this](const httplib::Request&, httplib::Response& res) {
            Stall();
            res.set_content("late", "text/plain");
        });
        m_port = static_cast<std::uint16_t>(m_server.Start());
    }
    ~StallingServer() {
        Release();
        m_server.Stop();
    }
    std::uint16_t Port() const { return m_port; }
    bool WaitUntilStalled() {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(30), [this] { return m_stalled; });
    }
    void Release() {
        std::lock_guard lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }

private:
    void Stall() {
        std::unique_lock lock(m_mutex);
        m_stalled = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_released; });
    }
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stalled = false;
    bool m_released = false;
    WebTest::TestServer m_server;
    std::uint16_t m_port = 0;
};

// What the worker saw: the exception name it ended with.
std::string RunUntilShutDown(StallingServer& server, Web::HttpConnection& connection,
                             std::function<void()> blockingWork) {
    auto worker = std::async(std::launch::async, [&] {
        try {
            blockingWork();
            return std::string("returned");
        } catch (const Ex::Exception& e) {
            return e.GetName();
        }
    });
    EXPECT_TRUE(server.WaitUntilStalled());
    connection.ShutDown();
    EXPECT_EQ(worker.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    return worker.get();
}

TEST(ShutDownTest, AbortsABodyReadStalledMidway) {
    StallingServer server;
    Web::HttpConnection connection("test_web_shutdown", "127.0.0.1", server.Port());
    EXPECT_EQ(RunUntilShutDown(server, connection,
                               [&] { connection.DoGet("/stall-body", Web::Flash)->GetResponseBody(); }),
              "HttpShutDownException");
    // Every later request on the connection fails the same way.
    EXPECT_THROW(connection.DoGet("/stall-body", Web::Text), Web::HttpShutDownException);
}

TEST(ShutDownTest, AbortsARequestWaitingForItsHeaders) {
    StallingServer server;
    Web::HttpConnection connection("test_web_shutdown", "127.0.0.1", server.Port());
    EXPECT_EQ(RunUntilShutDown(server, connection, [&] { connection.DoGet("/stall-headers", Web::Text); }),
              "HttpShutDownException");
}

} // namespace

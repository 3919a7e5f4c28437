#include "common/Web/HttpConnection.h"
#include "common/Web/HttpExceptions.h"
#include "tests/support/TestPki.h"
#include "tests/support/TestServer.h"

#include <fstream>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::size_t kDownloadSize = 300 * 1024;

std::string Pattern(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        data[i] = static_cast<char>('a' + i % 26);
    }
    return data;
}

class RecordingObserver : public Web::DownloadObserver {
public:
    void OnProgress(void* context, unsigned percent) override {
        EXPECT_EQ(context, this);
        percents.push_back(percent);
    }
    void OnComplete(void*) override { ++completions; }
    void OnError(void*, const std::string& message) override { errors.push_back(message); }
    std::vector<unsigned> percents;
    int completions = 0;
    std::vector<std::string> errors;
};

class HttpTransactionTest : public ::testing::Test {
protected:
    void SetUp() override {
        httplib::Server& routes = m_server.Routes();
        routes.Get("/text", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("hello", "text/plain");
        });
        routes.Get("/empty", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("", "text/plain");
        });
        routes.Get("/redirect",
                   [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/text"); });
        routes.Get("/moved", [](const httplib::Request&, httplib::Response& res) { res.status = 301; });
        routes.Get("/missing", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
        routes.Get("/broken", [](const httplib::Request&, httplib::Response& res) {
            res.status = 500;
            res.set_content("details the client never sees", "text/plain");
        });
        routes.Get("/headers", [](const httplib::Request& req, httplib::Response& res) {
            res.set_header("X-Count", "12345");
            res.set_content(req.get_header_value("Accept") + "|" + req.get_header_value("User-Agent") + "|" +
                                req.get_header_value("X-Extra") + "|" + req.get_header_value("X-Other"),
                            "text/plain");
        });
        routes.Post("/echo", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.body + "|" + req.get_header_value("Content-Type"), "text/plain");
        });
        routes.Post("/post-redirect",
                    [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/text", 303); });
        routes.Get("/login", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Set-Cookie", "session=fairy42; Path=/");
            res.set_content("ok", "text/plain");
        });
        routes.Get("/whoami", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.get_header_value("Cookie"), "text/plain");
        });
        routes.Get("/wand/set", [](const httplib::Request& req, httplib::Response& res) {
            res.set_header("Set-Cookie", "wand=" + req.get_param_value("to") + "; Path=/wand");
            res.set_content("ok", "text/plain");
        });
        routes.Get("/wand/show", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.get_header_value("Cookie"), "text/plain");
        });
        routes.Get("/download-length", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(kDownloadSize, "application/octet-stream",
                                     [](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                                         const std::string data = Pattern(kDownloadSize);
                                         sink.write(data.data() + offset,
                                                    std::min<std::size_t>(length, 7000));
                                         return true;
                                     });
        });
        routes.Get("/download-chunked", [](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider(
                "application/octet-stream", [](std::size_t offset, httplib::DataSink& sink) {
                    const std::string data = Pattern(kDownloadSize);
                    if (offset >= data.size()) {
                        sink.done();
                        return true;
                    }
                    sink.write(data.data() + offset, std::min<std::size_t>(data.size() - offset, 9000));
                    return true;
                });
        });
        m_port = static_cast<std::uint16_t>(m_server.Start());
    }

    Web::HttpConnection Connect() { return Web::HttpConnection("test_web_http", "127.0.0.1", m_port); }

    WebTest::TestServer m_server;
    std::uint16_t m_port = 0;
    WebTest::TempDirectory m_directory;
};

// Runs action, which must throw CantRetrieveResourceException caused by Cause; returns both messages.
template <class Cause, class Action>
std::pair<std::string, std::string> ExpectRetrieveFailure(Action action) {
    try {
        action();
    } catch (const Web::CantRetrieveResourceException& e) {
        EXPECT_NE(dynamic_cast<const Cause*>(e.GetCause().get()), nullptr) << e.ToString();
        return {e.GetMessage(), e.GetCause() ? e.GetCause()->GetMessage() : ""};
    }
    ADD_FAILURE() << "no CantRetrieveResourceException";
    return {};
}

TEST_F(HttpTransactionTest, GetsTextHeadersAndEmptyBodies) {
    Web::HttpConnection connection = Connect();
    EXPECT_FALSE(connection.IsSecure());
    EXPECT_EQ(connection.DoGet("/text", Web::Text)->GetResponseBodyAsString(), "hello");

    auto empty = connection.DoGet("/empty", Web::Text);
    EXPECT_TRUE(empty->GetResponseBody().empty());
    auto emptyAgain = connection.DoGet("/empty", Web::Text);
    EXPECT_EQ(emptyAgain->GetResponseBodyAsString(), "");

    auto headers = connection.DoGet("/headers", {Web::Text, Web::Image}, "X-Extra: one\r\nX-Other: two\r\n");
    EXPECT_EQ(headers->GetResponseBodyAsString(), "text/*, image/*|test_web_http|one|two");
    EXPECT_EQ(headers->GetHeader(Web::HTTP_QUERY_STATUS_CODE), 200u);
    EXPECT_EQ(headers->GetHeaderText(Web::HTTP_QUERY_STATUS_TEXT), "OK");
    EXPECT_EQ(headers->GetHeaderText("x-count"), "12345");
    EXPECT_EQ(headers->GetHeaderText(Web::HTTP_QUERY_CONTENT_TYPE), "text/plain");
    EXPECT_THROW(headers->GetHeader(Web::HTTP_QUERY_LOCATION), Web::WinInetException);
    EXPECT_THROW(headers->GetHeader(Web::HTTP_QUERY_CONTENT_TYPE), Web::WinInetException);
}

TEST_F(HttpTransactionTest, PostsBodiesExactlyAsGiven) {
    Web::HttpConnection connection = Connect();
    EXPECT_EQ(connection.DoPost("/echo", std::string("a=1&b=2"))->GetResponseBodyAsString(), "a=1&b=2|");
    const std::vector<std::uint8_t> bytes{'x', 0, 'y'};
    EXPECT_EQ(
        connection.DoPost("/echo", {Web::Text}, bytes, "Content-Type: text/xml")->GetResponseBodyAsString(),
        std::string("x\0y|text/xml", 12));
    // A 303 after a POST continues as a GET of the new place.
    EXPECT_EQ(connection.DoPost("/post-redirect", std::string("z"))->GetResponseBodyAsString(), "hello");
}

TEST_F(HttpTransactionTest, FollowsRedirectsButReportsThoseItCannotFollow) {
    Web::HttpConnection connection = Connect();
    auto followed = connection.DoGet("/redirect", Web::Text);
    EXPECT_EQ(followed->GetHeader(Web::HTTP_QUERY_STATUS_CODE), 200u);
    EXPECT_EQ(followed->GetResponseBodyAsString(), "hello");

    const auto [message, cause] = ExpectRetrieveFailure<Web::HttpStatusCodeRedirectException>(
        [&] { connection.DoGet("/moved", Web::Text); });
    EXPECT_EQ(cause, " Http response contained redirect status code: 301 - Moved Permanently.");
    EXPECT_EQ(message,
              "Could not retrieve resource '/moved' of acceptable type(s) 'Text' with Http command: 'GET' "
              "and additional header(s): '' from server '127.0.0.1' with server port '" +
                  std::to_string(m_port) + "'.");
}

TEST_F(HttpTransactionTest, ErrorStatusesCarryTheirReason) {
    Web::HttpConnection connection = Connect();
    EXPECT_EQ((ExpectRetrieveFailure<Web::HttpStatusCodeErrorException>([&] {
                   connection.DoGet("/missing", Web::Text);
               }).second),
              "Http response contained error status code: 404 - Not Found.");
    EXPECT_EQ((ExpectRetrieveFailure<Web::HttpStatusCodeErrorException>([&] {
                   connection.DoPost("/broken", std::string());
               }).second),
              "Http response contained error status code: 404 - Not Found.");
    EXPECT_EQ((ExpectRetrieveFailure<Web::HttpStatusCodeErrorException>([&] {
                   connection.DoGet("/broken", Web::Text);
               }).second),
              "Http response contained error status code: 500 - Internal Server Error.");
    // The connection is still good afterwards.
    EXPECT_EQ(connection.DoGet("/text", Web::Text)->GetResponseBodyAsString(), "hello");
}

TEST_F(HttpTransactionTest, RefusesAnEmptyTypeListBeforeSending) {
    Web::HttpConnection connection = Connect();
    try {
        connection.DoGet("/text", std::vector<Web::ResourceType>{});
        FAIL() << "sent without accept types";
    } catch (const Ex::Precondition& e) {
        EXPECT_NE(e.GetMessage().find("!resourceTypeStringList.empty()"), std::string::npos);
    }
}

TEST_F(HttpTransactionTest, ReportsARefusedConnection) {
    int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe); // nothing listens there now
    Web::HttpConnection connection("test_web_http", "127.0.0.1", ntohs(address.sin_port));
    const auto [message, cause] =
        ExpectRetrieveFailure<Web::WinInetException>([&] { connection.DoGet("/text", Web::Text); });
    EXPECT_EQ(cause.rfind("Call to ::HttpSendRequest failed with (7) ", 0), 0u) << cause;
}

TEST_F(HttpTransactionTest, ReusesOneConnectionForRepeatedRequests) {
    Web::HttpConnection connection = Connect();
    long opened = 0;
    for (int i = 0; i < 20; ++i) {
        auto transaction = connection.DoGet("/text", Web::Text);
        EXPECT_EQ(transaction->GetResponseBodyAsString(), "hello");
        opened += transaction->GetNewConnectionCount();
    }
    EXPECT_EQ(opened, 1);
}

TEST_F(HttpTransactionTest, CarriesCookiesAcrossConnections) {
    {
        Web::HttpConnection signIn = Connect();
        signIn.DoGet("/login", Web::Text)->GetResponseBodyAsString();
    }
    Web::HttpConnection next = Connect();
    EXPECT_EQ(next.DoGet("/whoami", Web::Text)->GetResponseBodyAsString(), "session=fairy42");
}

// Every request after a connection's first runs on a reused (reset) handle:
// it must still take cookies in and send them, several times over.
TEST_F(HttpTransactionTest, ReusedHandlesKeepTakingAndSendingCookies) {
    static int s_round = 0;
    Web::HttpConnection connection = Connect();
    for (int i = 0; i < 3; ++i) {
        const std::string wand = "wand=" + std::to_string(::getpid()) + "-" + std::to_string(++s_round);
        EXPECT_EQ(connection.DoGet("/wand/show", Web::Text)->GetResponseBodyAsString().find(wand),
                  std::string::npos);
        connection.DoGet("/wand/set?to=" + wand.substr(5), Web::Text)->GetResponseBodyAsString();
        EXPECT_NE(connection.DoGet("/wand/show", Web::Text)->GetResponseBodyAsString().find(wand),
                  std::string::npos)
            << "round " << i;
    }
    Web::HttpConnection next = Connect();
    EXPECT_NE(next.DoGet("/wand/show", Web::Text)
                  ->GetResponseBodyAsString()
                  .find("wand=" + std::to_string(::getpid()) + "-" + std::to_string(s_round)),
              std::string::npos);
}

TEST_F(HttpTransactionTest, DownloadsWithAndWithoutLength) {
    Web::HttpConnection connection = Connect();
    const std::string withLength = m_directory.Path() + "/with-length.bin";
    RecordingObserver observer;
    connection.DoGet("/download-length", Web::Flash)
        ->GetResponseBodyIntoFile(withLength, observer, &observer);
    EXPECT_EQ(observer.completions, 1);
    EXPECT_TRUE(observer.errors.empty());
    ASSERT_FALSE(observer.percents.empty());
    EXPECT_TRUE(std::is_sorted(observer.percents.begin(), observer.percents.end()));
    EXPECT_EQ(std::adjacent_find(observer.percents.begin(), observer.percents.end()),
              observer.percents.end());
    EXPECT_EQ(observer.percents.back(), 100u);
    std::ifstream first(withLength, std::ios::binary);
    std::ostringstream firstContent;
    firstContent << first.rdbuf();
    EXPECT_EQ(firstContent.str(), Pattern(kDownloadSize));

    const std::string chunked = m_directory.Path() + "/chunked.bin";
    RecordingObserver quiet;
    connection.DoGet("/download-chunked", Web::Flash)->GetResponseBodyIntoFile(chunked, quiet, &quiet);
    EXPECT_TRUE(quiet.percents.empty());
    EXPECT_EQ(quiet.completions, 1);
    std::ifstream second(chunked, std::ios::binary);
    std::ostringstream secondContent;
    secondContent << second.rdbuf();
    EXPECT_EQ(secondContent.str(), Pattern(kDownloadSize));

    // An existing file is never overwritten.
    RecordingObserver refused;
    auto again = connection.DoGet("/download-chunked", Web::Flash);
    EXPECT_THROW(again->GetResponseBodyIntoFile(chunked, refused, &refused), Win32::Win32Exception);
    EXPECT_EQ(refused.completions, 0);
}

} // namespace

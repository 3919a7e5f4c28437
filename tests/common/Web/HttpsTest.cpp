#include "common/Web/HttpConnection.h"
#include "common/Web/HttpExceptions.h"
#include "common/Web/TlsTrust.h"
#include "common/Web/Url.h"
#include "tests/support/TestPki.h"
#include "tests/support/TestServer.h"

#include <gtest/gtest.h>

namespace {

class HttpsTest : public ::testing::Test {
protected:
    void TearDown() override { Web::SetExtraCaFile(""); }
    WebTest::TempDirectory m_directory;
};

TEST_F(HttpsTest, TrustsTheExtraAuthorityOnAnyPort) {
    const WebTest::TestPki pki = WebTest::MakeTestPki(m_directory.Path(), "trusted");
    WebTest::TestServer server(pki.certificateFile, pki.keyFile);
    server.Routes().Get("/api/ping", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<pong/>", "text/xml");
    });
    const int port = server.Start();
    Web::SetExtraCaFile(pki.caFile);

    // An https URL on a port other than 443 still goes over TLS.
    const Web::Url url("https://127.0.0.1:" + std::to_string(port) + "/api/");
    Web::HttpConnection connection("test_web_http", url);
    EXPECT_TRUE(connection.IsSecure());
    long opened = 0;
    for (int i = 0; i < 5; ++i) {
        auto transaction = connection.DoGet("/api/ping", Web::Text);
        EXPECT_EQ(transaction->GetResponseBodyAsString(), "<pong/>");
        opened += transaction->GetNewConnectionCount();
    }
    EXPECT_EQ(opened, 1);

    // Port 443 alone also makes a connection secure.
    EXPECT_TRUE(Web::HttpConnection("test_web_http", "127.0.0.1", 443).IsSecure());
}

TEST_F(HttpsTest, RefusesAnUnknownAuthority) {
    const WebTest::TestPki pki = WebTest::MakeTestPki(m_directory.Path(), "stranger");
    WebTest::TestServer server(pki.certificateFile, pki.keyFile);
    server.Routes().Get("/secret", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("never", "text/plain");
    });
    const int port = server.Start();
    // Another authority's file is configured; the server's is not.
    const WebTest::TestPki other = WebTest::MakeTestPki(m_directory.Path(), "other");
    Web::SetExtraCaFile(other.caFile);
    Web::HttpConnection connection("test_web_http", "127.0.0.1", static_cast<std::uint16_t>(port), true);
    try {
        connection.DoGet("/secret", Web::Text);
        FAIL() << "an unknown authority was trusted";
    } catch (const Web::CantRetrieveResourceException& e) {
        const auto* cause = dynamic_cast<const Web::WinInetException*>(e.GetCause().get());
        ASSERT_NE(cause, nullptr) << e.ToString();
        EXPECT_EQ(cause->GetErrorCode(), 60u) << cause->GetMessage(); // peer certificate not verified
    }

    // A missing extra file means the system store alone: still refused.
    Web::SetExtraCaFile(m_directory.Path() + "/absent.pem");
    Web::HttpConnection again("test_web_http", "127.0.0.1", static_cast<std::uint16_t>(port), true);
    EXPECT_THROW(again.DoGet("/secret", Web::Text), Web::CantRetrieveResourceException);
}

} // namespace

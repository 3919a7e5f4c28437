#include "common/Web/Url.h"

#include "common/Web/HttpExceptions.h"
#include "common/Web/RandomToken.h"
#include "common/Web/ResourceType.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

TEST(UrlTest, SplitsHostPathQueryAndPort) {
    const Web::Url full("https://127.0.0.1:18443/api/login?user=a&b=c#top");
    EXPECT_EQ(full.GetHostName(), "127.0.0.1");
    EXPECT_EQ(full.GetPort(), 18443);
    EXPECT_TRUE(full.IsSecure());
    EXPECT_EQ(full.GetUrlPath(), "/api/login");
    EXPECT_EQ(full.GetExtraInfo(), "?user=a&b=c#top");

    const Web::Url bare("http://example.test");
    EXPECT_EQ(bare.GetUrlPath(), "");
    EXPECT_EQ(bare.GetExtraInfo(), "");
    EXPECT_EQ(bare.GetObjectName(), "");
    EXPECT_EQ(bare.GetPort(), 80);
    EXPECT_FALSE(bare.IsSecure());

    EXPECT_EQ(Web::Url("HTTPS://h/p").GetPort(), 443);
    EXPECT_EQ(Web::Url("http://user:pw@h:8080/x").GetHostName(), "h");
    EXPECT_EQ(Web::Url("http://[::1]:9/a").GetHostName(), "::1");
    EXPECT_EQ(Web::Url("http://h/a/b").GetObjectName(), "/a/b");
    EXPECT_EQ(Web::Url("http://h?q=1").GetObjectName(), "?q=1");
}

TEST(UrlTest, RejectsWhatCannotBeRequested) {
    for (const char* text :
         {"", "no-scheme", "ftp://h/x", "http://", "http:///path", "http://h:0/", "http://h:65536/",
          "http://h:12a/", "http://h /x", "http://h/x\r\nInjected: 1", "http://[::1/x", "http://ho<st/"}) {
        try {
            Web::Url url(text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const Web::InvalidUrlException& e) {
            EXPECT_EQ(e.GetMessage(), std::string("Url: '") + text + "'.");
            ASSERT_NE(e.GetCause(), nullptr);
            EXPECT_EQ(e.GetCause()->GetName(), "WinInetException");
            EXPECT_EQ(e.GetCause()->GetMessage().rfind("Call to InternetCrackUrl failed with (", 0), 0u);
        }
    }
    EXPECT_EQ(Web::Url::GetOptionalPart(nullptr, 4), "");
    EXPECT_EQ(Web::Url::GetOptionalPart("abcdef", 3), "abc");
}

TEST(RandomTokenTest, FiveLowerCaseHexNumbersBelow255) {
    for (int i = 0; i < 200; ++i) {
        const std::string token = Web::MakeRandomToken();
        EXPECT_GE(token.size(), 5u);
        EXPECT_LE(token.size(), 10u);
        EXPECT_EQ(token.find_first_not_of("0123456789abcdef"), std::string::npos) << token;
    }
    EXPECT_NE(Web::MakeRandomToken() + Web::MakeRandomToken(),
              Web::MakeRandomToken() + Web::MakeRandomToken());
}

TEST(WebExceptionTest, MessagesAndNames) {
    std::ostringstream names;
    names << Web::Text << Web::Image << Web::Flash << Web::Video;
    EXPECT_EQ(names.str(), "TextImageFlashVideo");
    EXPECT_THROW(names << static_cast<Web::ResourceType>(7), Ex::Assert);
    EXPECT_EQ(Web::ContentTypeListToStringList({Web::Video, Web::Text, Web::Flash, Web::Image}),
              (std::vector<std::string>{"video/*", "text/*", "application/x-shockwave-flash", "image/*"}));

    const Web::HttpStatusCodeRedirectException redirect(301, "Moved Permanently");
    EXPECT_EQ(redirect.GetMessage(),
              " Http response contained redirect status code: 301 - Moved Permanently.");
    const Web::HttpStatusCodeErrorException error(404, "Not Found");
    EXPECT_EQ(error.GetName(), "HttpStatusCodeErrorException");
    const Web::CantRetrieveResourceException retrieve("/a?b", {Web::Text, Web::Image}, "GET", "X: 1", "h", 80,
                                                      &error);
    EXPECT_EQ(retrieve.GetMessage(),
              "Could not retrieve resource '/a?b' of acceptable type(s) 'Text' 'Image' with "
              "Http command: 'GET' and additional header(s): 'X: 1' from server 'h' with "
              "server port '80'.");
    EXPECT_EQ(retrieve.GetCause()->GetName(), "HttpStatusCodeErrorException");
    EXPECT_EQ(Web::CantInitializeHttpException("h", 8).GetMessage(),
              "Could not initialize Http connection with server: 'h' and server port: '8'");
    EXPECT_EQ(Web::HttpShutDownException().GetMessage(), "Http connection shut down. ");
    EXPECT_EQ(Web::WinInetException("::HttpSendRequest", 7).GetMessage(),
              "Call to ::HttpSendRequest failed with (7) Couldn't connect to server");
}

} // namespace

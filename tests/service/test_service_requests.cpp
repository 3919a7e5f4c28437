// The access log: every answered request is on record, and nothing in it lets a reader act as
// a user.
#include "AccessLog.h"
#include "ServiceFixture.h"

#include <gtest/gtest.h>

namespace ServiceTest {
namespace {

class ServiceRequests : public ServiceFixture {};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

TEST_F(ServiceRequests, EveryRequestIsRecordedWithoutSecrets) {
    std::string fairyId;
    const std::string login = NewAccount("logged", nullptr, &fairyId);
    Player player(Service());
    ASSERT_FALSE(player.SignIn(login, "secret1").empty());
    const std::string cookie = player.Cookie();
    ASSERT_FALSE(cookie.empty());
    const std::string token =
        player.Post("/api/SessionTransferRequest", "").Value("/SessionTransferResponse/session");
    ASSERT_FALSE(token.empty());
    player.Get("/api/ClickResetRequest?click_id=1&reset_code=SECRETCODE");
    player.Get("/glimmeries.html?sessiontoken=" + token + "&fairy_id=" + fairyId);
    player.Get("/api/NoSuchRequest");

    const std::string log = Admin({"requests"});
    const auto lines = Lines(log);
    const auto find = [&lines](const std::string& piece) {
        for (const auto& line : lines) {
            if (line.find(piece) != std::string::npos) {
                return line;
            }
        }
        return std::string();
    };
    // time method target status duration
    const std::string signIn = find(" POST /api/AccountLoginRequest ");
    ASSERT_FALSE(signIn.empty()) << log;
    EXPECT_NE(signIn.find(" 200 "), std::string::npos) << signIn;
    EXPECT_EQ(signIn.back(), 's') << signIn;
    EXPECT_EQ(signIn[4], '-') << signIn;
    EXPECT_NE(find(" GET /api/NoSuchRequest 404 "), "") << log;
    EXPECT_NE(find("/api/ClickResetRequest?click_id=1&reset_code=- 200"), "") << log;
    EXPECT_NE(find("/glimmeries.html?sessiontoken=-&fairy_id=" + fairyId + " "), "") << log;

    EXPECT_EQ(log.find("secret1"), std::string::npos);
    EXPECT_EQ(log.find("SECRETCODE"), std::string::npos);
    EXPECT_EQ(log.find(token), std::string::npos);
    EXPECT_EQ(log.find(cookie.substr(cookie.find('=') + 1)), std::string::npos);
}

TEST(AccessLogText, MasksSecretsAndEscapesControlBytes) {
    EXPECT_EQ(Service::AccessLog::Redacted("/a?Password=x&id=3&session=&dna"),
              "/a?Password=-&id=3&session=-&dna");
    EXPECT_EQ(Service::AccessLog::Redacted("/p\x1b[2J\n?x=\x07"), "/p\\x1b[2J\\x0a?x=\\x07");
    EXPECT_EQ(Service::AccessLog::Redacted("/back\\slash"), "/back\\\\slash");
}

} // namespace
} // namespace ServiceTest

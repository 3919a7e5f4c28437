// Percent-encoded queries and forms: the decoding rules on their own, then through the running
// service (sign-in, queries of the web service, web pages, the beacon).
#include "RequestText.h"
#include "ServiceFixture.h"

#include <httplib.h>

using namespace ServiceTest;
using Service::DecodedFields;
using Service::Fields;
using Service::PercentDecoded;
using Service::Plus;

namespace {

// What the application's client does to every value: all but letters, digits, -._~ and ",".
std::string Encode(const std::string& value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : value) {
        const auto c = static_cast<unsigned char>(ch);
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == ',') {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

const std::string kAwkward = "p&ss=w+rd %41#";

} // namespace

TEST(RequestText, EscapesDecodeToTheirBytesAndPlusDependsOnTheKindOfText) {
    EXPECT_EQ(PercentDecoded(Encode(kAwkward), Plus::Kept), kAwkward);
    EXPECT_EQ(PercentDecoded(Encode(kAwkward), Plus::Blank), kAwkward);
    EXPECT_EQ(PercentDecoded("%e2%9C%A8", Plus::Kept), "\xE2\x9C\xA8"); // either case of hex digits
    EXPECT_EQ(PercentDecoded("%00x", Plus::Kept), std::string("\0x", 2));
    EXPECT_EQ(PercentDecoded("a+b%2B", Plus::Kept), "a+b+");
    EXPECT_EQ(PercentDecoded("a+b%2B", Plus::Blank), "a b+");
    EXPECT_EQ(PercentDecoded("%2541", Plus::Kept), "%41"); // decoded once, never twice
    EXPECT_EQ(PercentDecoded("", Plus::Kept), "");
    for (const char* broken : {"%", "%4", "a%G1", "%1G", "%%41", "ab%", "%u0041", "% 1"}) {
        EXPECT_FALSE(PercentDecoded(broken, Plus::Kept)) << broken;
        EXPECT_FALSE(PercentDecoded(broken, Plus::Blank)) << broken;
    }
}

TEST(RequestText, FieldsAreSplitOnTheRawSeparatorsBeforeDecoding) {
    const auto fields = DecodedFields(
        "username=" + Encode("a&b=c") + "&password=" + Encode(kAwkward) + "&flag&&x=1=2", Plus::Blank);
    ASSERT_TRUE(fields);
    EXPECT_EQ(*fields, (Fields{{"username", "a&b=c"}, {"password", kAwkward}, {"flag", ""}, {"x", "1=2"}}));

    // An encoded "&password=" stays inside the user name and cannot add a second password.
    const auto smuggled =
        DecodedFields("username=" + Encode("hazel&password=x") + "&password=y", Plus::Blank);
    ASSERT_TRUE(smuggled);
    EXPECT_EQ(smuggled->at("username"), "hazel&password=x");
    EXPECT_EQ(smuggled->at("password"), "y");

    // The first occurrence wins, also when a later key only matches once decoded; blanks are kept.
    EXPECT_EQ(DecodedFields("a=1&%61=2& b = c ", Plus::Kept), (Fields{{"a", "1"}, {" b ", " c "}}));
    EXPECT_EQ(DecodedFields("", Plus::Kept), Fields{});
    EXPECT_FALSE(DecodedFields("good=1&bad=%G1", Plus::Kept));
    EXPECT_FALSE(DecodedFields("%zz=1", Plus::Kept));
}

TEST(RequestText, PlusIsABlankOnlyInFormBodies) {
    httplib::Request request;
    request.body = "password=a+b%20c";
    EXPECT_EQ(Service::DecodedBody(request)->at("password"), "a+b c");
    request.headers.emplace("Content-Type", "Application/X-WWW-Form-Urlencoded; charset=utf-8");
    EXPECT_EQ(Service::DecodedBody(request)->at("password"), "a b c");
    request.target = "/api/X?v=a+b%20c&w=%26";
    EXPECT_EQ(Service::DecodedQuery(request, Plus::Kept), (Fields{{"v", "a+b c"}, {"w", "&"}}));
    request.target = "/api/X";
    EXPECT_EQ(Service::DecodedQuery(request, Plus::Kept), Fields{});
    request.target = "/api/X?v=%";
    EXPECT_FALSE(Service::DecodedQuery(request, Plus::Kept));
}

class ServiceEncoding : public ServiceFixture {};

TEST_F(ServiceEncoding, PasswordsAndAccountIdsWithSeparatorsSignInWhenEncoded) {
    const std::string login = "awkward" + std::to_string(++s_counter);
    const std::string added = Admin({"account", "add", login, kAwkward});
    const std::string userId = added.substr(added.rfind(' ') + 1, added.size() - added.rfind(' ') - 2);
    Player player(Service());
    const auto signIn = [&player](const std::string& body) {
        const Answer answer = player.Post("/api/AccountLoginRequest", body);
        const std::string code = answer.Value("/AccountLoginResponse/error/@code");
        return code.empty() ? answer.Value("/AccountLoginResponse/account/@account_id") : code;
    };
    EXPECT_EQ(signIn("username=" + login + "&password=" + Encode(kAwkward)), userId);
    // Sent as it is, the "&" ends the password early.
    EXPECT_EQ(signIn("username=" + login + "&password=" + kAwkward), "INVALID_PASSWORD");
    // In a form a "+" is a blank, so this is a different password.
    EXPECT_EQ(signIn("username=" + login + "&password=p%26ss%3Dw+rd+%2541%23"), "INVALID_PASSWORD");
    EXPECT_EQ(signIn("username=" + login + "&password=p%26ss%3Dw%2Brd+%2541%23"), userId);

    // Account ids keep to letters, digits and "_"; such a name is refused, not half-created.
    for (const std::string& bad : {login + "&x=y", login + " %41", login + "+#"}) {
        const CommandResult refused = RunService(
            {"--data", s_data->Path(), "--password-iterations", "1000", "account", "add", bad, kAwkward});
        EXPECT_EQ(refused.exitCode, 1) << bad;
        EXPECT_NE(refused.err.find("INVALID_ACCOUNT_NAME"), std::string::npos) << refused.err;
        EXPECT_EQ(signIn("username=" + Encode(bad) + "&password=" + Encode(kAwkward)), "INVALID_ACCOUNT")
            << bad;
    }
    // An account id carrying its own encoded "&password=" is one unknown name, not a second field.
    EXPECT_EQ(signIn("username=" + Encode(login + "&password=" + kAwkward) + "&password=wrong1"),
              "INVALID_ACCOUNT");
}

TEST_F(ServiceEncoding, QueryValuesAreDecodedAfterSplitting) {
    std::string userId;
    std::string fairyId;
    const std::string login = NewAccount("query", &userId, &fairyId);
    std::string otherId;
    NewAccount("queryother", &otherId);
    Player player(Service());
    ASSERT_EQ(player.SignIn(login, "secret1"), userId);

    std::string digits;
    for (const char c : fairyId) {
        digits += "%3" + std::string(1, c);
    }
    EXPECT_EQ(player.Get("/api/FairiesProfileRequest?fairy_id=" + digits)
                  .Value("/FairiesProfileResponse/fairies/fairy/@fairy_id"),
              fairyId);
    // %2C is a comma once decoded, so the list still has two ids.
    EXPECT_EQ(player.Get("/api/WhoAreTheyRequest?userids=" + userId + "%2C" + otherId)
                  .Count("/WhoAreTheyResponse/user_info"),
              2);
    // An encoded "&" stays in the value: "<id>&dna" is no id, and no "dna" field appears.
    const Answer joined = player.Get("/api/FairiesProfileRequest?fairy_id=" + fairyId + "%26dna");
    EXPECT_EQ(joined.Value("/FairiesProfileResponse/error/@code"), "NOT_FOUND");
    EXPECT_EQ(player.Get("/api/WhoAreTheyRequest?userids=" + userId + "%26clickids%3D1")
                  .Value("/WhoAreTheyResponse/error/@code"),
              "NOT_FOUND");
}

TEST_F(ServiceEncoding, BrokenEscapesAreRefusedAndTheServiceCarriesOn) {
    std::string userId;
    std::string fairyId;
    const std::string login = NewAccount("broken", &userId, &fairyId);
    Player player(Service());
    const Answer form = player.Post("/api/AccountLoginRequest", "username=" + login + "&password=secret1%G1");
    EXPECT_EQ(form.status, 400);
    EXPECT_EQ(form.Value("/AccountLoginResponse/error/@code"), "INVALID_ENCODING");
    EXPECT_EQ(player.Post("/api/AccountLoginRequest", "username=" + login + "&password=secret1%")
                  .Value("/AccountLoginResponse/error/@code"),
              "INVALID_ENCODING");
    EXPECT_TRUE(player.Cookie().empty());
    ASSERT_EQ(player.SignIn(login, "secret1"), userId);

    const Answer query = player.Get("/api/ClickSetupRequest?type=bracelet&fairy_id=%G1");
    EXPECT_EQ(query.status, 400);
    EXPECT_EQ(query.Value("/ClickSetupResponse/error/@code"), "INVALID_ENCODING");
    EXPECT_EQ(player.Get("/api/ClickInventoryRequest?fairy_id=" + fairyId + "&x=%")
                  .Value("/ClickInventoryResponse/error/@code"),
              "INVALID_ENCODING");
    // Nothing was set up by the refused request.
    EXPECT_EQ(player.Get("/api/ClickSetupRequest?type=bracelet&fairy_id=" + fairyId)
                  .Value("/ClickSetupResponse/success"),
              "true");
}

TEST_F(ServiceEncoding, PagesFormsAndBeaconDecodeTheSameWay) {
    auto http = Service().Http();
    http->set_url_encode(false); // the "+" below must arrive as it is
    const auto hold = http->Get("/guestservices/your_account/account_hold?bannedUsername=a%26b%3Dc+d");
    ASSERT_TRUE(hold);
    EXPECT_NE(hold->body.find("&quot;a&amp;b=c d&quot;"), std::string::npos) << hold->body;
    const auto brokenPage = http->Get("/glimmeries.html?page=faq&x=%ZZ");
    ASSERT_TRUE(brokenPage);
    EXPECT_EQ(brokenPage->status, 400);
    EXPECT_NE(brokenPage->body.find("broken %-escape"), std::string::npos);

    const auto form = "application/x-www-form-urlencoded";
    const std::string login = "formed" + std::to_string(++s_counter);
    const auto broken =
        http->Post("/bramblemere/registration", "account=" + login + "&password=abc%zz12", form);
    ASSERT_TRUE(broken);
    EXPECT_EQ(broken->status, 400);
    EXPECT_NE(broken->body.find("The form arrived damaged."), std::string::npos);
    // Nothing was created: the same account id is still free.
    EXPECT_EQ(
        http->Post("/bramblemere/registration", "account=" + login + "&password=" + Encode(kAwkward), form)
            ->status,
        200);
    EXPECT_FALSE(Player(Service()).SignIn(login, Encode(kAwkward)).empty());

    EXPECT_EQ(http->Get("/b/ss/glmdesktopapp/1/badescape?gn=glimmeries:desktop:%G1")->status, 400);
    EXPECT_EQ(http->Get("/b/ss/glmdesktopapp/1/goodescape?gn=glimmeries%3Adesktop%3Acharm%20list")->status,
              200);
    const std::string reports = Admin({"reports"});
    EXPECT_EQ(reports.find("badescape"), std::string::npos);
    EXPECT_NE(reports.find(" charm list goodescape\n"), std::string::npos) << reports;
}

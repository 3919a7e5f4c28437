// The client against a small server that answers what the game service
// never would: missing elements, text that is not XML, error statuses,
// unknown friendship states. Also the exact log lines, the busy indicator,
// the request forms and the encoding of inserted values.

#include "FakeHttpServer.h"
#include "WebApiTestSupport.h"
#include "common/Mod/Mod.h"
#include "common/UI/Messages.h"
#include "common/UI/RecordingMessageTarget.h"
#include "device/BusyIndicator.h"
#include "device/SupportedToys.h"
#include "device/Toy.h"
#include "tests/support/TempDir.h"
#include "webapi/WebApi.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <unistd.h>

namespace {

using WebApiTest::RecordingLogger;

using Seen = WebApiTest::SeenRequest;

class FakeService {
public:
    void Answer(const std::string& request, const std::string& xml) { m_server.Put("/api/" + request, xml); }
    std::vector<Seen> Requests() const { return m_server.Requests(); }
    std::string BaseUrl() const { return m_server.Origin() + "/api/"; }

private:
    WebApiTest::FakeHttpServer m_server;
};

class WebApiFake : public ::testing::Test {
protected:
    void SetUp() override { m_api.Init(&m_window, m_fake.BaseUrl(), "1"); }

    std::vector<std::uint32_t> MessageIds() const {
        std::vector<std::uint32_t> ids;
        for (const UI::Message& message : m_window.Messages()) {
            EXPECT_EQ(message.wParam, 0u);
            EXPECT_EQ(message.lParam, 0);
            ids.push_back(message.id);
        }
        return ids;
    }

    RecordingLogger m_log;
    Ex::ScopedLogger m_scoped{&m_log};
    UI::RecordingMessageTarget m_window;
    FakeService m_fake;
    Glm::WebApi m_api;
};

const char* kProfile = "<FairiesProfileResponse><success>true</success><user_name>Ivy Fen</user_name>"
                       "<fairies><fairy fairy_id=\"77\"><user_id>501</user_id><name>Nettle</name>"
                       "<bracelet><message_id>4</message_id></bracelet>%GIFT%</fairy></fairies>"
                       "</FairiesProfileResponse>";

std::string Profile(const std::string& gift) {
    std::string text = kProfile;
    text.replace(text.find("%GIFT%"), 6, gift);
    return text;
}

TEST_F(WebApiFake, AnswerWithoutSuccessIsAResponseError) {
    m_fake.Answer("AccountLoginRequest",
                  "<AccountLoginResponse><status>logged_in</status></AccountLoginResponse>");
    std::string account = "kept";
    std::string code = "kept";
    EXPECT_EQ(m_api.SignIn("ivy", "secret", account, code), 1);
    EXPECT_EQ(account, "kept");
    EXPECT_EQ(code, "kept");
    EXPECT_EQ(MessageIds(), std::vector<std::uint32_t>{UI::WM_GLM_RESPONSE_ERROR});
    EXPECT_TRUE(m_log.Contains("Glm::WebApi::SignIn (webapi/WebApiAccount.cpp:"));
    EXPECT_TRUE(m_log.Contains("XmlCantFindSingleNodeException"));
    EXPECT_TRUE(m_log.Contains("AccountLoginResponse/success"));
}

TEST_F(WebApiFake, OutputsReadBeforeAMissingNodeKeepTheirValues) {
    m_fake.Answer("FairiesProfileRequest", Profile(""));
    std::string fairyId, userId, fairyName, userName, giftId = "old", messageId = "old", code;
    EXPECT_EQ(m_api.ObtainFairyProfileByClickId(3000000000u, fairyId, userId, fairyName, userName, giftId,
                                                messageId, code),
              1);
    EXPECT_EQ(userName, "Ivy Fen");
    EXPECT_EQ(fairyId, "77");
    EXPECT_EQ(userId, "501");
    EXPECT_EQ(fairyName, "Nettle");
    EXPECT_EQ(giftId, "old");
    EXPECT_EQ(messageId, "old");
    EXPECT_EQ(MessageIds(), std::vector<std::uint32_t>{UI::WM_GLM_RESPONSE_ERROR});
    ASSERT_FALSE(m_fake.Requests().empty());
    EXPECT_EQ(m_fake.Requests().back().target, "/api/FairiesProfileRequest?click_id=3000000000");

    m_fake.Answer("FairiesProfileRequest", Profile("<gift_id>2004</gift_id>"));
    Glm::FriendRecord record;
    EXPECT_EQ(m_api.GetUser(5, record), 0);
    EXPECT_EQ(record.giftId, "2004");
    EXPECT_EQ(record.messageId, "4"); // any descendant named message_id
    std::string onlyFairy;
    EXPECT_EQ(m_api.GetUser(5, onlyFairy), 0);
    EXPECT_EQ(onlyFairy, "77");
}

TEST_F(WebApiFake, TextThatIsNotXmlIsLoggedWithoutAMessage) {
    m_fake.Answer("SessionTransferRequest", "<html>oops");
    std::string token, code;
    EXPECT_EQ(m_api.GetSessionTranferToken(token, code), 1);
    EXPECT_TRUE(m_window.Messages().empty());
    EXPECT_TRUE(m_log.Contains("XmlParseErrorException"));
    EXPECT_TRUE(m_log.Contains("Glm::WebApi::GetSessionTranferToken (webapi/WebApiAccount.cpp:"));
    // The call's name is added to the trace of other failures.
    EXPECT_TRUE(m_log.Contains("Glm::WebApi::GetSessionTranferToken"));
}

TEST_F(WebApiFake, TransportFailuresAreConnectErrors) {
    std::vector<std::string> ids;
    EXPECT_EQ(m_api.GetIDsOfFairies("12", ids), 1); // 404: nothing answers there
    EXPECT_EQ(MessageIds(), std::vector<std::uint32_t>{UI::WM_GLM_CONNECT_ERROR});
    EXPECT_TRUE(m_log.Contains("CantRetrieveResourceException"));
    EXPECT_TRUE(m_log.Contains("Glm::WebApi::GetIDsOfFairies (webapi/WebApiAccount.cpp:"));

    const int closedPort = WebApiTest::FakeHttpServer::ClosedPort();
    m_window.Clear();
    m_api.Init(&m_window, "http://127.0.0.1:" + std::to_string(closedPort) + "/api/", "0");
    std::string name;
    EXPECT_EQ(m_api.ObtainWhoAreThey(7u, name), 1);
    EXPECT_EQ(MessageIds(), std::vector<std::uint32_t>{UI::WM_GLM_CONNECT_ERROR});
}

TEST_F(WebApiFake, AnUnusableBaseUrlFailsEveryCallQuietly) {
    m_api.Init(&m_window, "not a url", "");
    EXPECT_TRUE(m_log.Contains("InvalidUrlException"));
    EXPECT_EQ(m_api.SignOut(), 1);
    EXPECT_TRUE(m_window.Messages().empty());
}

TEST_F(WebApiFake, FriendsWithAnUnknownStatusAreSkipped) {
    m_fake.Answer("ClickInventoryRequest",
                  "<ClickInventoryResponse><success>true</success><fairy_id>"
                  "<friends>"
                  "<friend dname=\"Ann\"><gift>2001</gift><message>3</message><fairy><user_id>1</user_id>"
                  "<name>Alder</name></fairy><friend_id>11</friend_id><status>MADE</status></friend>"
                  "<friend dname=\"Bob\"><gift/><message/><fairy><user_id>2</user_id>"
                  "<name>Birch</name></fairy><friend_id>12</friend_id><status>BLOCKED</status></friend>"
                  "<friend dname=\"Cy\"><gift/><message/><fairy><user_id>3</user_id>"
                  "<name>Cedar</name></fairy><friend_id>13</friend_id><status>PENDING</status></friend>"
                  "</friends><charms><charm id=\"1004\"/><charm id=\"x\"/></charms></fairy_id>"
                  "</ClickInventoryResponse>");
    std::vector<Glm::FriendRecord> friends;
    std::vector<std::int32_t> charms;
    EXPECT_EQ(m_api.ObtainGlimmeriesInventory("9", friends, charms), 0);
    ASSERT_EQ(friends.size(), 2u);
    EXPECT_EQ(friends[0].userName, "Ann");
    EXPECT_EQ(friends[0].giftId, "2001");
    EXPECT_EQ(friends[0].messageId, "3");
    EXPECT_EQ(friends[0].userId, "1");
    EXPECT_EQ(friends[0].fairyId, "11");
    EXPECT_EQ(friends[0].fairyName, "Alder");
    EXPECT_EQ(friends[0].status, Glm::FRIENDSHIP_MADE);
    EXPECT_EQ(friends[1].fairyName, "Cedar");
    EXPECT_EQ(friends[1].status, Glm::FRIENDSHIP_PENDING);
    EXPECT_EQ(charms, (std::vector<std::int32_t>{1004, 0}));
    EXPECT_EQ(m_fake.Requests().back().target, "/api/ClickInventoryRequest?fairy_id=9");

    // Without a Fairy: the account's friends, and the charm list is still the Fairy's path.
    std::vector<Glm::FriendRecord> all;
    EXPECT_EQ(m_api.ObtainGlimmeriesInventory("", all), 0);
    EXPECT_TRUE(all.empty());
    EXPECT_EQ(m_fake.Requests().back().target, "/api/ClickInventoryRequest?with_friends");
}

TEST_F(WebApiFake, AFairyWithoutATagalongHasButterflyZero) {
    m_fake.Answer("FairiesProfileRequest", "<FairiesProfileResponse><success>true</success><fairies>"
                                           "<fairy fairy_id=\"4\"><avatar><skin/></avatar></fairy></fairies>"
                                           "</FairiesProfileResponse>");
    std::string butterfly = "x", ttl = "y";
    EXPECT_EQ(m_api.GetButterflyInfo("4", butterfly, ttl), 0);
    EXPECT_EQ(butterfly, "0");
    EXPECT_EQ(ttl, "0");
    EXPECT_TRUE(m_window.Messages().empty());
    EXPECT_EQ(m_fake.Requests().back().target, "/api/FairiesProfileRequest?fairy_id=4&dna");

    m_fake.Answer("FairiesProfileRequest", "<FairiesProfileResponse><success>true</success><fairies>"
                                           "<fairy fairy_id=\"4\"><avatar><tagalong ttl=\"5\">3</tagalong>"
                                           "</avatar></fairy></fairies></FairiesProfileResponse>");
    EXPECT_EQ(m_api.GetButterflyInfo("4", butterfly, ttl), 0);
    EXPECT_EQ(butterfly, "3");
    EXPECT_EQ(ttl, "5");
}

TEST_F(WebApiFake, UploadRefusalsReadTheCharmErrorCode) {
    m_fake.Answer("ClickUploadRequest",
                  "<ClickUploadResponse><success>true</success>"
                  "<points><success>false</success></points>"
                  "<charm><error code=\"INVALID_POINTS\"/></charm></ClickUploadResponse>");
    std::string code;
    EXPECT_EQ(m_api.UploadGlintPoints("<ClickUploadRequest/>", code), 1);
    EXPECT_EQ(code, "INVALID_POINTS");
    const std::string url = m_fake.BaseUrl() + "ClickUploadRequest";
    EXPECT_EQ(m_log.Count("WebApi Error: " + url + ": INVALID_POINTS"), 1u);
    EXPECT_EQ(m_fake.Requests().back().body, "<ClickUploadRequest/>"); // the body as built
    code.clear();
    EXPECT_EQ(m_api.Upload("hats", "<x/>", code), 1); // an unknown kind never succeeds
    EXPECT_EQ(code, "INVALID_POINTS");
    EXPECT_TRUE(m_window.Messages().empty());

    m_fake.Answer("ClickUploadFriendsRequest", "<ClickUploadFriendsResponse><success>true</success>"
                                               "<friend><success>false</success><error code=\"NOT_FOUND\"/>"
                                               "</friend></ClickUploadFriendsResponse>");
    EXPECT_EQ(m_api.UploadFriend("<x/>", code), 1);
    EXPECT_EQ(code, "NOT_FOUND");
}

TEST_F(WebApiFake, LogLinesAndTheBusyIndicator) {
    m_fake.Answer(
        "ClickResetRequest",
        "<ClickResetResponse><success>false</success><error code=\"INVALID_CODE\"/></ClickResetResponse>");
    const Glm::BusyHook previous = Glm::SetBusyHook(&WebApiTest::BusyCounter::Hook);
    WebApiTest::BusyCounter::s_shown = 0;
    Glm::Toy toy(4000, GlmDev::kBraceletProductId);
    Glm::Toy::Memory image{};
    Glm::Toy::SetWord(image, 0, 99);
    toy.SetImage(image);
    std::string code;
    EXPECT_EQ(m_api.ResetDevice(toy, "a&b=c d", code), 1);
    Glm::SetBusyHook(previous);
    EXPECT_EQ(code, "INVALID_CODE");
    EXPECT_FALSE(toy.IsResetPending());
    EXPECT_EQ(WebApiTest::BusyCounter::s_shown, 1);
    EXPECT_EQ(WebApiTest::BusyCounter::s_depth, 0);
    const std::string url = m_fake.BaseUrl() + "ClickResetRequest?click_id=99&reset_code=a%26b%3Dc%20d";
    const std::vector<std::string> records = m_log.Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], "<date and time suppressed> - Calling into " + url);
    EXPECT_EQ(records[1], "<date and time suppressed> - WebApi Error: " + url + ": INVALID_CODE");
    EXPECT_EQ(m_fake.Requests().back().params.find("reset_code")->second, "a&b=c d");

    // Log level 0: no "Calling into".
    m_api.Init(&m_window, m_fake.BaseUrl(), "0");
    EXPECT_EQ(m_api.ResetDevice(toy, "x", code), 1);
    EXPECT_EQ(m_log.Count("Calling into"), 1u);
    // A toy that was never set up is not sent.
    const std::size_t sent = m_fake.Requests().size();
    Glm::Toy fresh(4000, GlmDev::kBraceletProductId);
    EXPECT_EQ(m_api.ResetDevice(fresh, "x", code), 1);
    EXPECT_EQ(m_fake.Requests().size(), sent);
}

TEST_F(WebApiFake, SignInSendsEveryFieldUnchanged) {
    m_fake.Answer("AccountLoginRequest",
                  "<AccountLoginResponse><success>true</success><status>pending</status>"
                  "<account account_id=\"1\"/></AccountLoginResponse>");
    const std::string password = "p&ss=w+rd %41#";
    std::string account = "unchanged", code;
    EXPECT_EQ(m_api.SignIn("ivy&admin=1", password, account, code), 0);
    EXPECT_EQ(account, "unchanged"); // not logged in: the id is not taken
    const Seen seen = m_fake.Requests().back();
    EXPECT_EQ(seen.method, "POST");
    EXPECT_EQ(seen.params.size(), 3u);
    EXPECT_EQ(seen.params.find("username")->second, "ivy&admin=1");
    EXPECT_EQ(seen.params.find("password")->second, password);
    EXPECT_EQ(seen.params.find("affiliate")->second, "tallow_bmglimmeries");
    EXPECT_FALSE(m_log.Contains("w+rd")); // the body is never logged
}

TEST_F(WebApiFake, SetupDeviceNamesTheToyByKindOrClickId) {
    m_fake.Answer("FairiesProfileRequest", Profile(""));
    std::string code;

    // A new bracelet with nothing else to say; the toy is not on any bus,
    // so the write of the new id fails and the window hears of it.
    Glm::Toy bracelet(4000, GlmDev::kBraceletProductId);
    m_fake.Answer("ClickSetupRequest",
                  "<ClickSetupResponse><success>true</success><bracelet id=\"123\"/></ClickSetupResponse>");
    EXPECT_NE(m_api.SetupDevice(bracelet, 0, 0, code), 0);
    EXPECT_EQ(m_fake.Requests().back().target, "/api/ClickSetupRequest?type=bracelet");
    EXPECT_EQ(MessageIds(), std::vector<std::uint32_t>{UI::WM_GLM_DEVICE_ERROR});

    // A reset game toy with a Fairy, a message and a gift id above 2^31.
    Glm::Toy game(4000, GlmDev::kGameProductId);
    Glm::Toy::Memory image{};
    Glm::Toy::SetWord(image, 0, 55);
    game.SetImage(image);
    game.SetResetPending(true);
    game.SetFairyId("8");
    m_fake.Answer(
        "ClickSetupRequest",
        "<ClickSetupResponse><success>true</success><game id=\"2147483647\"/></ClickSetupResponse>");
    EXPECT_NE(m_api.SetupDevice(game, 3, 4000000000u, code), 0);
    EXPECT_EQ(m_fake.Requests().back().target,
              "/api/ClickSetupRequest?type=game&fairy_id=8&message_id=3&gift_id=4000000000&reset=1");
    EXPECT_FALSE(game.IsResetPending());

    // A registered toy is named by its click id and gets its Fairy's name.
    Glm::Toy box(4000, GlmDev::kJewelryBoxProductId);
    Glm::Toy::SetWord(image, 0, -5);
    box.SetImage(image);
    box.SetFairyId("77");
    m_window.Clear();
    EXPECT_EQ(m_api.SetupDevice(box, 0, 0, code), 0);
    const std::vector<Seen> seen = m_fake.Requests();
    EXPECT_EQ(seen[seen.size() - 2].target, "/api/ClickSetupRequest?click_id=4294967291&fairy_id=77");
    EXPECT_EQ(seen.back().target, "/api/FairiesProfileRequest?fairy_id=77");
    EXPECT_EQ(box.GetFairyName(), "Nettle");
    EXPECT_TRUE(m_window.Messages().empty());
}

TEST_F(WebApiFake, FriendsOfTheSignedInAccountAskForCurrent) {
    m_fake.Answer("FairiesFriendsRequest", "<FairiesFriendsResponse><success>true</success><account_friends>"
                                           "<account_friend user_id=\"3\">Cy</account_friend>"
                                           "<account_friend user_id=\"4\">Di</account_friend>"
                                           "</account_friends></FairiesFriendsResponse>");
    std::vector<Glm::FriendRecord> friends;
    EXPECT_EQ(m_api.GetFriends("", friends), 0);
    EXPECT_EQ(m_fake.Requests().back().target, "/api/FairiesFriendsRequest?current");
    ASSERT_EQ(friends.size(), 2u);
    EXPECT_EQ(friends[1].userId, "4");
    EXPECT_EQ(friends[1].userName, "Di");
}

// Avatars -------------------------------------------------------------------

const char* kTwoFairies = "<FairiesProfileResponse><success>true</success><fairies>"
                          "<fairy fairy_id=\"31\"><name>Lark</name><avatar><skin c=\"1\"/></avatar></fairy>"
                          "<fairy fairy_id=\"32\"><name>Rue</name><avatar><skin c=\"2\"/></avatar></fairy>"
                          "</fairies></FairiesProfileResponse>";

const char* kOneFairy = "<FairiesProfileResponse><success>true</success><fairies>"
                        "<fairy fairy_id=\"31\"><name>Lark</name><avatar><skin/></avatar>"
                        "</fairy></fairies></FairiesProfileResponse>";

class Avatars : public WebApiFake {
protected:
    void SetUp() override {
        WebApiFake::SetUp();
        m_fake.Answer("FairiesProfileRequest", kTwoFairies);
        m_movie = "webapi-test-" + std::to_string(::getpid()) + ".swf";
        m_moviePath = (std::filesystem::path(Mod::GetExecutableDirectory()) / m_movie).string();
        std::filesystem::remove(m_moviePath);
    }
    void TearDown() override { std::filesystem::remove(m_moviePath); }

    std::string m_movie;
    std::string m_moviePath;
};

TEST_F(Avatars, EachFairyGetsAViewBesideThePrevious) {
    WebApiTest::RecordingView first, second, third;
    Glm::AvatarView* views[] = {&first, &second, &third};
    EXPECT_EQ(m_api.DisplayFairies(nullptr, 1575, m_movie, views, QRect(QPoint(193, 158), QPoint(298, 317)),
                                   133, "600"),
              0);
    EXPECT_EQ(m_fake.Requests().back().target, "/api/FairiesProfileRequest?user_id=600&dna");
    ASSERT_EQ(first.calls.size(), 3u);
    EXPECT_EQ(first.calls[0].what, "Create");
    EXPECT_EQ(first.calls[0].rect, QRect(QPoint(193, 158), QPoint(298, 317)));
    EXPECT_EQ(first.calls[1].what, "SetAvatar");
    EXPECT_EQ(first.calls[1].wParam, 0u);
    EXPECT_EQ(first.calls[1].flashVars,
              "&&fairyDNA=<avatar><skin c=\"1\"/></avatar>&fairyName=Lark&useButterfly=1");
    EXPECT_EQ(first.calls[1].lParam, 31);
    EXPECT_EQ(first.calls[1].clickMessage, 1575u);
    EXPECT_EQ(first.calls[1].background, 0xD3B0D2u);
    EXPECT_EQ(first.calls[2].what, "LoadUrl");
    EXPECT_EQ(first.calls[2].path, m_moviePath);
    ASSERT_EQ(second.calls.size(), 3u);
    EXPECT_EQ(second.calls[0].rect, QRect(QPoint(326, 158), QPoint(431, 317)));
    EXPECT_EQ(second.calls[1].wParam, 1u);
    EXPECT_EQ(second.calls[1].lParam, 32);
    EXPECT_TRUE(third.calls.empty());
    // The movie came out of the resources because it was missing.
    EXPECT_EQ(GlmTest::ReadFile(m_moviePath), "avatar and butterfly movie for tests\n");

    // More Fairies than views: the views given are used, nothing else.
    WebApiTest::RecordingView only;
    Glm::AvatarView* one[] = {&only};
    EXPECT_EQ(m_api.DisplayFairies(nullptr, 1575, m_movie, one, QRect(), 10, "600"), 0);
    EXPECT_EQ(only.calls.size(), 3u);
    // No views: only the look-up.
    EXPECT_EQ(m_api.DisplayFairies(nullptr, 1575, m_movie, {}, QRect(), 10, "600"), 0);
}

TEST_F(Avatars, OneFairyFullSizeKeepsAnExistingMovie) {
    {
        std::ofstream existing(m_moviePath);
        existing << "patched";
    }
    m_fake.Answer("FairiesProfileRequest", kOneFairy);
    WebApiTest::RecordingView view;
    EXPECT_EQ(m_api.DisplayFairy(nullptr, 1574, m_movie, view, "31", QRect(10, 20, 100, 150)), 0);
    EXPECT_EQ(m_fake.Requests().back().target, "/api/FairiesProfileRequest?fairy_id=31&dna");
    ASSERT_EQ(view.calls.size(), 3u);
    EXPECT_EQ(view.calls[0].rect, QRect(10, 20, 100, 150));
    EXPECT_EQ(view.calls[1].flashVars, "&&fairyDNA=<avatar><skin/></avatar>&fairyName=Lark");
    EXPECT_EQ(view.calls[1].background, 0xA05EA1u);
    EXPECT_EQ(view.calls[1].lParam, 31);
    EXPECT_EQ(view.calls[2].path, m_moviePath);
    EXPECT_EQ(GlmTest::ReadFile(m_moviePath), "patched");
}

TEST_F(Avatars, AViewThatCannotBeMadeIsAFlashUpdate) {
    WebApiTest::RecordingView broken;
    broken.failCreation = true;
    Glm::AvatarView* views[] = {&broken};
    EXPECT_EQ(m_api.DisplayFairies(nullptr, 1575, m_movie, views, QRect(), 10, "600"), 1);
    EXPECT_EQ(MessageIds(), std::vector<std::uint32_t>{UI::WM_GLM_FLASH_UPDATE});
    EXPECT_TRUE(m_log.Contains("CantCreateFlashWindowException"));
    EXPECT_TRUE(m_log.Contains("Glm::WebApi::DisplayFairies (webapi/WebApiAvatars.cpp:"));
    m_window.Clear();
    EXPECT_EQ(m_api.DisplayFairy(nullptr, 1574, m_movie, broken, "31", QRect()), 1);
    EXPECT_EQ(MessageIds(), std::vector<std::uint32_t>{UI::WM_GLM_FLASH_UPDATE});
}

TEST_F(Avatars, AMissingMovieResourceFailsTheCall) {
    m_fake.Answer("FairiesProfileRequest", kOneFairy);
    WebApiTest::RecordingView view;
    // The full-size movie is not among this test's resources.
    EXPECT_EQ(m_api.DisplayFairy(nullptr, 1574, m_movie, view, "31", QRect()), 1);
    EXPECT_TRUE(m_log.Contains("CantExtractResourceToDiskException"));
    EXPECT_TRUE(m_window.Messages().empty());
}

} // namespace

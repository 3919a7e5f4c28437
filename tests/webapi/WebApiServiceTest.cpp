// The client end to end: the real glimmeries-service over HTTPS (its own
// authority trusted as the extra CA) and virtual toys on a temporary bus.

#include "WebApiTestSupport.h"
#include "common/UI/RecordingMessageTarget.h"
#include "common/Web/TlsTrust.h"
#include "device/DeviceLibrary.h"
#include "device/SupportedToys.h"
#include "device/Toy.h"
#include "tests/device/DeviceTestSupport.h"
#include "tests/support/ServiceProcess.h"
#include "webapi/ButterflyInventory.h"
#include "webapi/CharmInventory.h"
#include "webapi/UploadBodies.h"
#include "webapi/WebApi.h"

#include <csignal>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sstream>

namespace {

using namespace std::chrono_literals;

struct World {
    GlmTest::TempDir data;
    std::unique_ptr<ServiceTest::ServiceProcess> service;
    int httpPort = 0;
    int httpsPort = 0;
    std::string apiUrl;
    std::string contentUrl;
    // The demo world: login -> password, and the lines it printed.
    std::map<std::string, std::string> demoPasswords;
    std::string demo;
};

World* g_world = nullptr;

std::string Admin(const std::vector<std::string>& arguments, int expectedExit = 0) {
    std::vector<std::string> argv = {"--data", g_world->data.Path(), "--password-iterations", "1000"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const ServiceTest::CommandResult result = ServiceTest::RunService(argv);
    EXPECT_EQ(result.exitCode, expectedExit) << result.err;
    return result.out;
}

// The word after key in text ("user_id 12" -> "12").
std::string WordAfter(const std::string& text, const std::string& key) {
    const std::size_t at = text.find(key + " ");
    if (at == std::string::npos) {
        return "";
    }
    std::istringstream rest(text.substr(at + key.size() + 1));
    std::string word;
    rest >> word;
    return word;
}

class ServiceEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        g_world = new World();
        g_world->service = std::make_unique<ServiceTest::ServiceProcess>(
            g_world->data.Path(),
            std::vector<std::string>{"--password-iterations", "1000", "--max-toys", "4"});
        g_world->httpPort = g_world->service->HttpPort();
        g_world->httpsPort = g_world->service->HttpsPort();
        g_world->apiUrl = "https://127.0.0.1:" + std::to_string(g_world->httpsPort) + "/api/";
        g_world->contentUrl = "http://127.0.0.1:" + std::to_string(g_world->httpPort) + "/bramblemere/game/";
        Web::SetExtraCaFile(g_world->data.Path() + "/ca.pem");
        g_world->demo = Admin({"seed", "demo"});
        std::istringstream lines(g_world->demo);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("account ", 0) == 0) {
                g_world->demoPasswords[WordAfter(line, "account")] = WordAfter(line, "password");
            }
        }
    }
    static void TearDownTestSuite() {
        Web::SetExtraCaFile("");
        delete g_world;
        g_world = nullptr;
    }

    void SetUp() override { m_api.Init(&m_window, g_world->apiUrl, "1"); }

    // A new account with one Fairy, signed in; returns the Fairy id.
    std::string NewSignedInAccount(const std::string& login, std::string* userId = nullptr) {
        const std::string added = Admin({"account", "add", login, "secret1"});
        const std::string fairy = Admin({"fairy", "add", login, "Fairy of " + login});
        if (userId != nullptr) {
            *userId = WordAfter(added, "user_id");
        }
        std::string account, code;
        EXPECT_EQ(m_api.SignIn(login, "secret1", account, code), 0) << code;
        return WordAfter(fairy, "fairy");
    }

    std::uint32_t DemoId(const std::string& key) {
        return static_cast<std::uint32_t>(std::stoul(WordAfter(g_world->demo, key)));
    }

    WebApiTest::RecordingLogger m_log;
    Ex::ScopedLogger m_scoped{&m_log};
    UI::RecordingMessageTarget m_window;
    Glm::WebApi m_api;
};

TEST_F(ServiceEndToEnd, SignInWithRightWrongAndBannedAccounts) {
    std::string userId;
    Admin({"account", "add", "hazel", "secret1"});
    std::string account, code;
    EXPECT_EQ(m_api.SignIn("hazel", "wrong-one", account, code), 1);
    EXPECT_EQ(code, "INVALID_PASSWORD");
    EXPECT_EQ(m_api.SignIn("nobody", "secret1", account, code), 1);
    EXPECT_EQ(code, "INVALID_ACCOUNT");
    EXPECT_TRUE(m_log.Contains("WebApi Error: " + g_world->apiUrl + "AccountLoginRequest: INVALID_ACCOUNT"));
    EXPECT_EQ(m_api.SignIn("hazel", "secret1", account, code), 0);
    EXPECT_FALSE(account.empty());
    EXPECT_FALSE(m_log.Contains("secret1")); // passwords never reach the log
    EXPECT_EQ(m_api.SignOut(), 0);
    Admin({"account", "ban", "hazel"});
    EXPECT_EQ(m_api.SignIn("hazel", "secret1", account, code), 1);
    EXPECT_EQ(code, "BANNED");
    EXPECT_TRUE(m_window.Messages().empty());
}

TEST_F(ServiceEndToEnd, APasswordWithAmpersandAndEqualsSignsIn) {
    const std::string password = "a&b=c+d %x";
    Admin({"account", "add", "sorrel", password});
    std::string account, code;
    const std::int32_t result = m_api.SignIn("sorrel", password, account, code);
    EXPECT_EQ(result, 0) << code;
    EXPECT_FALSE(account.empty());
}

TEST_F(ServiceEndToEnd, FairiesProfilesAndSessionTokens) {
    std::string userId;
    const std::string fairyId = NewSignedInAccount("tamsin", &userId);
    Admin({"fairy", "add", "tamsin", "Second Wing"});
    std::vector<std::string> fairies;
    EXPECT_EQ(m_api.GetIDsOfFairies(userId, fairies), 0);
    ASSERT_EQ(fairies.size(), 2u);
    EXPECT_EQ(fairies[0], fairyId);
    std::uint32_t count = 0;
    EXPECT_EQ(m_api.GetIDsOfFairies(userId, count), 0);
    EXPECT_EQ(count, 2u);
    std::string owner, name;
    EXPECT_EQ(m_api.ObtainFairyProfileByFairyId(fairyId, owner, name), 0);
    EXPECT_EQ(owner, userId);
    EXPECT_EQ(name, "Fairy of tamsin");
    std::string token, code;
    EXPECT_EQ(m_api.GetSessionTranferToken(token, code), 0) << code;
    EXPECT_FALSE(token.empty());
    EXPECT_EQ(m_api.SignOut(), 0);
    EXPECT_EQ(m_api.GetSessionTranferToken(token, code), 1);
    EXPECT_EQ(code, "NOT_SIGNED_IN");
}

TEST_F(ServiceEndToEnd, ToysAreSetUpResetChargedAndRedeemed) {
    DeviceTest::TempDir bus;
    DeviceTest::ScopedEnv env("GLIMMERIES_TOY_DIR", bus.Path());
    DeviceTest::InProcessToy boxToy(DeviceTest::ToyOptions(bus.Path(), GlmDev::kJewelryBoxProductId, "box"));
    DeviceTest::InProcessToy gameToy(DeviceTest::ToyOptions(bus.Path(), GlmDev::kGameProductId, "game"));
    ASSERT_EQ(GlmDev::GlmDevStart(nullptr, nullptr), 0);
    std::uint32_t boxId = 0, gameId = 0;
    for (const auto& record : GlmDev::GlmDevGetDeviceList().List()) {
        (record.productId == GlmDev::kJewelryBoxProductId ? boxId : gameId) = record.id;
    }

    std::string userId;
    const std::string fairyId = NewSignedInAccount("bryony", &userId);
    Glm::Toy box(boxId, GlmDev::kJewelryBoxProductId);
    ASSERT_EQ(box.ReadMemory(), 0);
    box.SetFairyId(fairyId);
    std::string code;
    ASSERT_EQ(m_api.SetupDevice(box, 0, 0, code), 0) << code << m_log.All();
    EXPECT_TRUE(m_log.Contains("Calling into " + g_world->apiUrl +
                               "ClickSetupRequest?type=jewelrybox&fairy_id=" + fairyId));
    const std::int32_t clickId = box.GetClickId();
    EXPECT_GT(clickId, 0);
    std::uint8_t memory[128] = {0};
    ASSERT_EQ(GlmDev::GlmDevReadMemory(boxId, memory), 0);
    EXPECT_EQ(Glm::Toy::GetWord(box.GetImage(), 0), clickId);
    EXPECT_EQ(memory[0] | memory[1] << 8 | memory[2] << 16 | memory[3] << 24, clickId); // the toy carries it

    // Registered now: set-up names it by click id and refreshes the Fairy's name.
    EXPECT_EQ(m_api.SetupDevice(box, 0, 0, code), 0) << code;
    EXPECT_EQ(box.GetFairyName(), "Fairy of bryony");
    std::string profileFairy, profileUser, fairyName, userName, gift, message;
    EXPECT_EQ(m_api.ObtainFairyProfileByClickId(static_cast<std::uint32_t>(clickId), profileFairy,
                                                profileUser, fairyName, userName, gift, message, code),
              0)
        << code << m_log.All();
    EXPECT_EQ(profileFairy, fairyId);
    std::string whoUser, whoName;
    EXPECT_EQ(m_api.ObtainWhoAreThey(static_cast<std::uint32_t>(clickId), whoUser, code), 0);
    EXPECT_EQ(whoUser, userId);
    EXPECT_EQ(m_api.ObtainWhoAreThey(userId, whoName), 0);
    EXPECT_FALSE(whoName.empty());

    // A charm from the box, then the same again.
    EXPECT_EQ(m_api.UploadCharms(
                  Glm::BuildCharmUploadBody(fairyId, static_cast<std::uint32_t>(clickId), 1005), code),
              0)
        << code;
    std::vector<Glm::FriendRecord> friends;
    std::vector<std::int32_t> charms;
    EXPECT_EQ(m_api.ObtainGlimmeriesInventory(fairyId, friends, charms), 0);
    EXPECT_EQ(charms, std::vector<std::int32_t>{1005});
    EXPECT_EQ(m_api.UploadCharms(
                  Glm::BuildCharmUploadBody(fairyId, static_cast<std::uint32_t>(clickId), 1005), code),
              1);
    EXPECT_EQ(code, "INVENTORY_ALREADY_OWNED");

    // Reset with the toy's code; the next set-up asks by kind with reset=1 and writes a new id.
    const std::string resetCode = Admin({"toy", "reset-code", std::to_string(clickId)});
    EXPECT_EQ(m_api.ResetDevice(box, "wrong", code), 1);
    EXPECT_EQ(code, "INVALID_CODE");
    EXPECT_EQ(m_api.ResetDevice(box, resetCode.substr(0, resetCode.find('\n')), code), 0) << code;
    EXPECT_TRUE(box.IsResetPending());
    EXPECT_EQ(m_api.SetupDevice(box, 0, 0, code), 0) << code;
    EXPECT_TRUE(m_log.Contains("ClickSetupRequest?type=jewelrybox&fairy_id=" + fairyId + "&reset=1"));
    EXPECT_FALSE(box.IsResetPending());
    EXPECT_NE(box.GetClickId(), clickId);
    ASSERT_EQ(GlmDev::GlmDevReadMemory(boxId, memory), 0);
    EXPECT_EQ(memory[0] | memory[1] << 8 | memory[2] << 16 | memory[3] << 24, box.GetClickId());

    // Points from the handheld game, and a butterfly bought with them.
    Glm::Toy game(gameId, GlmDev::kGameProductId);
    ASSERT_EQ(game.ReadMemory(), 0);
    game.SetFairyId(fairyId);
    ASSERT_EQ(m_api.SetupDevice(game, 0, 0, code), 0) << code;
    const auto gameClick = static_cast<std::uint32_t>(game.GetClickId());
    EXPECT_EQ(m_api.UploadGlintPoints(Glm::BuildPointsUploadBody(fairyId, gameClick, 250), code), 0) << code;
    std::string points;
    EXPECT_EQ(m_api.GetGlintPoints(fairyId, points, code), 0);
    EXPECT_EQ(points, "250");
    std::string butterfly = "x", ttl = "x";
    EXPECT_EQ(m_api.GetButterflyInfo(fairyId, butterfly, ttl), 0);
    EXPECT_EQ(butterfly, "0");
    EXPECT_EQ(ttl, "0");
    EXPECT_EQ(m_api.RedeemGlintPoints(fairyId, "750", "8", code), 1);
    EXPECT_EQ(code, "NOT_ENOUGH_POINTS");
    EXPECT_EQ(m_api.RedeemGlintPoints(fairyId, "200", "3", code), 0) << code;
    EXPECT_EQ(m_api.GetButterflyInfo(fairyId, butterfly, ttl), 0);
    EXPECT_EQ(butterfly, "3");
    EXPECT_EQ(ttl, "5");
    EXPECT_EQ(m_api.GetGlintPoints(fairyId, points, code), 0);
    EXPECT_EQ(points, "50");
    EXPECT_TRUE(m_window.Messages().empty());
    GlmDev::GlmDevStop();
}

TEST_F(ServiceEndToEnd, TheDemoWorldsFriendshipsGiftsAndAvatars) {
    std::string account, code;
    ASSERT_EQ(m_api.SignIn("moonpetal", g_world->demoPasswords["moonpetal"], account, code), 0) << code;
    std::vector<std::string> fairies;
    ASSERT_EQ(m_api.GetIDsOfFairies(account, fairies), 0);
    ASSERT_EQ(fairies.size(), 2u);

    std::vector<Glm::FriendRecord> friends;
    ASSERT_EQ(m_api.ObtainGlimmeriesInventory(fairies[0], friends), 0);
    std::map<Glm::FriendshipStatus, int> statuses;
    for (const Glm::FriendRecord& record : friends) {
        ++statuses[record.status];
        EXPECT_FALSE(record.fairyId.empty());
        EXPECT_FALSE(record.fairyName.empty());
    }
    EXPECT_EQ(statuses[Glm::FRIENDSHIP_MADE], 1);
    EXPECT_EQ(statuses[Glm::FRIENDSHIP_PENDING], 1);
    EXPECT_EQ(statuses[Glm::FRIENDSHIP_DECLINED], 1);
    std::vector<Glm::FriendRecord> all;
    EXPECT_EQ(m_api.ObtainGlimmeriesInventory("", all), 0);
    EXPECT_GE(all.size(), friends.size());
    std::vector<Glm::FriendRecord> accountFriends;
    EXPECT_EQ(m_api.GetFriends("", accountFriends), 0);
    EXPECT_FALSE(accountFriends.empty());

    // The bracelet's gifts and the message and gift texts.
    const std::uint32_t bracelet = DemoId("bracelet");
    std::vector<std::int32_t> giftIds;
    std::vector<std::string> giftTexts;
    EXPECT_EQ(m_api.GetFriendGifts(bracelet, g_world->contentUrl, giftIds, giftTexts), 0) << m_log.All();
    ASSERT_FALSE(giftIds.empty());
    EXPECT_EQ(giftIds.front(), 2001);
    EXPECT_EQ(giftIds.size(), giftTexts.size());
    std::vector<std::int32_t> messageIds;
    std::vector<std::string> messageTexts;
    EXPECT_EQ(m_api.GetFriendMessages(g_world->contentUrl, messageIds, messageTexts), 0);
    EXPECT_EQ(messageIds.size(), 20u);
    std::string text;
    EXPECT_EQ(m_api.GetFriendMessage("20", g_world->contentUrl, text), 0);
    EXPECT_EQ(text, messageTexts.back());
    EXPECT_EQ(m_api.GetFriendGift("2001", g_world->contentUrl, text), 0);
    EXPECT_EQ(text, giftTexts.front());

    // The friendship answer: decline the pending invitation seen from the other side.
    Glm::FriendRecord invited;
    for (const Glm::FriendRecord& record : friends) {
        if (record.status == Glm::FRIENDSHIP_MADE) {
            invited = record;
        }
    }
    EXPECT_EQ(m_api.UploadFriend(Glm::BuildFriendUploadBody(fairies[0], 0, "giftonly", invited), code), 0)
        << code << m_log.All();

    // The avatars of the account's Fairies.
    WebApiTest::RecordingView first, second;
    Glm::AvatarView* views[] = {&first, &second};
    EXPECT_EQ(m_api.DisplayFairies(nullptr, 1575, "webapi-e2e-" + std::to_string(::getpid()) + ".swf", views,
                                   QRect(214, 203, 106, 160), 133, account),
              0);
    ASSERT_EQ(second.calls.size(), 3u);
    EXPECT_NE(second.calls[1].flashVars.find("&&fairyDNA=<avatar"), std::string::npos)
        << second.calls[1].flashVars;
    EXPECT_NE(second.calls[1].flashVars.find("&fairyName=Tansy Quill&useButterfly=1"), std::string::npos);
    std::remove(second.calls[2].path.c_str());
    EXPECT_TRUE(m_window.Messages().empty());
}

TEST_F(ServiceEndToEnd, TheFourCatalogues) {
    Glm::CharmInventory charms(&m_window);
    ASSERT_EQ(charms.Load(g_world->contentUrl), 0) << m_log.All();
    EXPECT_EQ(charms.GetCharms().size(), 40u);
    std::string name;
    EXPECT_TRUE(charms.FindCharmName(1001, name));
    EXPECT_EQ(name, "Dewdrop Lantern");
    Glm::ButterflyInventory butterflies(&m_window);
    std::vector<Glm::ButterflyRecord> list;
    ASSERT_EQ(butterflies.Init(g_world->contentUrl, list), 0);
    ASSERT_EQ(list.size(), 8u);
    EXPECT_EQ(list[2].name, "Sky Sailor");
    EXPECT_EQ(list[2].points, 200);
    std::string gift;
    EXPECT_EQ(m_api.GetFriendGift("2030", g_world->contentUrl, gift), 0);
    EXPECT_FALSE(gift.empty());
    EXPECT_TRUE(m_window.Messages().empty());
}

} // namespace

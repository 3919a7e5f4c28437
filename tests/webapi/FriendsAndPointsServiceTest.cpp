// The friendship list, friendship answers and the points hand-over against
// the real glimmeries-service, with virtual toys on a temporary bus.

#include "LiveService.h"
#include "WebApiTestSupport.h"
#include "common/UI/RecordingMessageTarget.h"
#include "device/DeviceLibrary.h"
#include "device/SupportedToys.h"
#include "device/Toy.h"
#include "tests/device/DeviceTestSupport.h"
#include "webapi/FriendCollector.h"
#include "webapi/PointsHandOver.h"
#include "webapi/WebApi.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using namespace std::chrono_literals;
using WebApiTest::LiveService;

class FriendsAndPoints : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_service = new LiveService(); }
    static void TearDownTestSuite() {
        delete s_service;
        s_service = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(s_service->IsRunning());
        m_api.Init(&m_window, s_service->ApiUrl(), "1");
    }

    // A new account with one Fairy, signed in: its Fairy id.
    std::string NewAccount(const std::string& login, std::string* userId = nullptr) {
        const std::string added = s_service->Admin({"account", "add", login, "secret1"});
        const std::string fairy = s_service->Admin({"fairy", "add", login, "Fairy of " + login});
        if (userId != nullptr) {
            *userId = LiveService::WordAfter(added, "user_id");
        }
        SignIn(login);
        return LiveService::WordAfter(fairy, "fairy");
    }
    void SignIn(const std::string& login, const std::string& password = "secret1") {
        std::string account, code;
        ASSERT_EQ(m_api.SignIn(login, password, account, code), 0) << code;
    }
    std::size_t Logged(const std::string& text) const { return m_log.Count(text); }

    static LiveService* s_service;
    WebApiTest::RecordingLogger m_log;
    Ex::ScopedLogger m_scoped{&m_log};
    UI::RecordingMessageTarget m_window;
    Glm::WebApi m_api;
};

LiveService* FriendsAndPoints::s_service = nullptr;

// The devices of the simulated bus, by product id.
std::uint32_t DeviceOf(std::uint16_t productId) {
    std::uint32_t id = 0;
    EXPECT_TRUE(DeviceTest::WaitUntil([&] {
        for (const auto& record : GlmDev::GlmDevGetDeviceList().List()) {
            if (record.productId == productId) {
                id = record.id;
                return true;
            }
        }
        return false;
    }));
    return id;
}

TEST_F(FriendsAndPoints, TheDemoListHoldsOneEntryPerAccountAndLeavesUnknownBraceletFriendsOut) {
    const std::string demo = s_service->Admin({"seed", "demo"});
    std::string passwordLine = demo.substr(demo.find("account moonpetal"));
    SignIn("moonpetal", LiveService::WordAfter(passwordLine, "password"));
    Glm::Toy bracelet(1, GlmDev::kBraceletProductId);
    Glm::Toy::Memory memory{};
    Glm::Toy::SetWord(memory, 0, std::stoi(LiveService::WordAfter(passwordLine, "bracelet")));
    Glm::Toy::SetWord(memory, 2, static_cast<std::int32_t>(0x80000001u)); // no bracelet has this id
    bracelet.SetImage(memory);
    bracelet.SetOwnerUserId(LiveService::WordAfter(passwordLine, "user_id"));

    ASSERT_EQ(Glm::LearnToyFairy(m_api, bracelet), 0);
    EXPECT_EQ(bracelet.GetFairyName(), "Lirabelle");
    std::vector<Glm::FriendRecord> friends;
    Glm::CollectStatistics statistics;
    ASSERT_EQ(Glm::CollectFriends(m_api, bracelet, friends, &statistics), 0);
    // Lirabelle's friendships: Wren (made) and Hollyhock (declined) are both
    // of the Fernwhistle account, so only the first is listed; Poppy pending.
    ASSERT_EQ(friends.size(), 2u) << m_log.All();
    EXPECT_EQ(friends[0].fairyName, "Wren Mistle");
    EXPECT_EQ(friends[0].status, Glm::FRIENDSHIP_MADE);
    EXPECT_EQ(friends[1].fairyName, "Poppy Glimmerwing");
    EXPECT_EQ(friends[1].status, Glm::FRIENDSHIP_PENDING);
    EXPECT_EQ(friends[1].clickId, 0u);
    EXPECT_EQ(statistics.profileRequests, 1);
    EXPECT_EQ(statistics.accountFriendRequests, 0);
    EXPECT_EQ(statistics.inventoryRequests, 1);
    EXPECT_TRUE(m_window.Messages().empty());
}

TEST_F(FriendsAndPoints, FriendshipAnswersNameBraceletsAboveBit31AndTheServiceKeepsThem) {
    DeviceTest::TempDir bus;
    DeviceTest::ScopedEnv env("GLIMMERIES_TOY_DIR", bus.Path());
    DeviceTest::InProcessToy first(DeviceTest::ToyOptions(bus.Path(), GlmDev::kBraceletProductId, "first"));
    ASSERT_EQ(GlmDev::GlmDevStart(nullptr, nullptr), 0);
    Glm::Toy bracelet(DeviceOf(GlmDev::kBraceletProductId), GlmDev::kBraceletProductId);
    ASSERT_EQ(bracelet.ReadMemory(), 0);

    // Two accounts, each with a set-up bracelet (the second one's only on
    // the service).
    std::string otherUser;
    const std::string otherFairy = NewAccount("thistle", &otherUser);
    Glm::Toy otherBracelet(99, GlmDev::kBraceletProductId);
    otherBracelet.SetFairyId(otherFairy);
    std::string code;
    // There is no device 99: the service registers the toy, the write fails
    // and the new id stays in the outgoing copy.
    ASSERT_NE(m_api.SetupDevice(otherBracelet, 0, 0, code), 0);
    const std::uint32_t otherClick = static_cast<std::uint32_t>(
        otherBracelet.GetOutgoing()[0] | otherBracelet.GetOutgoing()[1] << 8 |
        otherBracelet.GetOutgoing()[2] << 16 | otherBracelet.GetOutgoing()[3] << 24);
    ASSERT_GT(otherClick, 0u);
    m_window.Clear();
    const std::string ownFairy = NewAccount("burdock");
    bracelet.SetFairyId(ownFairy);
    ASSERT_EQ(m_api.SetupDevice(bracelet, 0, 0, code), 0) << code;

    // burdock's bracelet touched thistle's: accepting invites thistle.
    Glm::FriendRecord touched;
    touched.clickId = otherClick | 0x80000000u;
    EXPECT_EQ(Glm::UploadFriendAnswer(m_api, &bracelet, touched, "accept", code), 0) << code << m_log.All();
    std::vector<Glm::FriendRecord> friendships;
    ASSERT_EQ(m_api.ObtainGlimmeriesInventory(ownFairy, friendships), 0);
    ASSERT_EQ(friendships.size(), 1u);
    EXPECT_EQ(friendships[0].fairyId, otherFairy);
    EXPECT_EQ(friendships[0].status, Glm::FRIENDSHIP_PENDING);

    // Cancelling it by Fairy id, as the answer letter does.
    EXPECT_EQ(Glm::UploadFriendAnswer(m_api, &bracelet, friendships[0], "decline", code), 0) << code;
    // A bracelet nobody owns.
    Glm::FriendRecord stranger;
    stranger.clickId = 0x80000001u;
    EXPECT_EQ(Glm::UploadFriendAnswer(m_api, &bracelet, stranger, "accept", code), 1);
    EXPECT_EQ(code, "NOT_FOUND");
    EXPECT_TRUE(m_window.Messages().empty());
    GlmDev::GlmDevStop();
}

class PointsHandOverTest : public FriendsAndPoints {
protected:
    std::int32_t Balance(const std::string& fairyId) {
        std::string points, code;
        EXPECT_EQ(m_api.GetGlintPoints(fairyId, points, code), 0) << code;
        return std::stoi(points);
    }
    std::string JournalText(const Glm::PointsJournal& journal) const {
        std::ifstream in(journal.GetPath());
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(PointsHandOverTest, AToyUnpluggedBetweenTheUploadAndTheClearIsNotCreditedTwice) {
    DeviceTest::TempDir bus, state, data;
    DeviceTest::ScopedEnv env("GLIMMERIES_TOY_DIR", bus.Path());
    Toys::VirtualToyOptions options = DeviceTest::ToyOptions(bus.Path(), GlmDev::kGameProductId, "game");
    options.statePath = state.Path() + "/game.state";
    auto virtualGame = std::make_unique<DeviceTest::InProcessToy>(options);
    ASSERT_EQ(GlmDev::GlmDevStart(nullptr, nullptr), 0);

    const std::string fairy = NewAccount("marigold");
    const std::string otherFairy =
        LiveService::WordAfter(s_service->Admin({"fairy", "add", "marigold", "Second Sister"}), "fairy");
    auto game = std::make_unique<Glm::Toy>(DeviceOf(GlmDev::kGameProductId), GlmDev::kGameProductId);
    ASSERT_EQ(game->ReadMemory(), 0);
    game->SetFairyId(fairy);
    std::string code;
    ASSERT_EQ(m_api.SetupDevice(*game, 0, 0, code), 0) << code;
    // Set-up writes a fresh memory; the game earns its points afterwards.
    virtualGame->Command("points 370");
    ASSERT_TRUE(DeviceTest::WaitUntil([&] { return game->ReadMemory() == 0 && game->GetPoints() == 370; }));
    const std::int32_t before = Balance(fairy);

    // Read, then unplugged: the service takes the points, the clear fails.
    virtualGame->Unplug();
    Glm::PointsJournal journal(data.Path() + "/app");
    Glm::PointsHandOver first = Glm::GivePoints(m_api, *game, fairy, journal);
    EXPECT_EQ(first.outcome, Glm::PointsHandOver::ClearFailed);
    EXPECT_TRUE(first.uploaded);
    EXPECT_NE(first.deviceResult, 0);
    EXPECT_EQ(Balance(fairy), before + 370);
    const std::optional<Glm::PointsRecord> kept =
        Glm::PointsJournal(data.Path() + "/app").Find(static_cast<std::uint32_t>(game->GetClickId()));
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->points, 370);
    EXPECT_EQ(kept->state, Glm::PointsRecord::Accepted);
    EXPECT_EQ(kept->fairyId, fairy);

    // Plugged again (a new toy object, as discovery makes one), the other
    // Fairy chosen this time: the toy is cleared, nothing is uploaded.
    virtualGame = std::make_unique<DeviceTest::InProcessToy>(options);
    GlmDev::GlmDevStop();
    ASSERT_EQ(GlmDev::GlmDevStart(nullptr, nullptr), 0);
    game = std::make_unique<Glm::Toy>(DeviceOf(GlmDev::kGameProductId), GlmDev::kGameProductId);
    ASSERT_EQ(game->ReadMemory(), 0);
    ASSERT_EQ(game->GetPoints(), 370);
    const std::size_t uploads = Logged("ClickUploadRequest");
    Glm::PointsJournal restarted(data.Path() + "/app");
    const Glm::PointsHandOver second = Glm::GivePoints(m_api, *game, otherFairy, restarted);
    EXPECT_EQ(second.outcome, Glm::PointsHandOver::Given);
    EXPECT_FALSE(second.uploaded);
    EXPECT_EQ(second.points, 370);
    EXPECT_EQ(second.creditedFairyId, fairy);
    EXPECT_EQ(Logged("ClickUploadRequest"), uploads);
    EXPECT_EQ(Balance(fairy), before + 370);
    EXPECT_EQ(Balance(otherFairy), 0);
    std::uint8_t memory[128] = {0};
    ASSERT_EQ(GlmDev::GlmDevReadMemory(game->GetDeviceId(), memory), 0);
    EXPECT_EQ(memory[4] + memory[5] + memory[6] + memory[7], 0);
    EXPECT_EQ(JournalText(restarted), "");

    // New points: an ordinary hand-over, the journal settled again.
    virtualGame->Command("points 120");
    ASSERT_TRUE(DeviceTest::WaitUntil([&] { return game->ReadMemory() == 0 && game->GetPoints() == 120; }));
    const Glm::PointsHandOver third = Glm::GivePoints(m_api, *game, otherFairy, restarted);
    EXPECT_EQ(third.outcome, Glm::PointsHandOver::Given);
    EXPECT_TRUE(third.uploaded);
    EXPECT_EQ(Balance(otherFairy), 120);
    EXPECT_EQ(game->GetPoints(), 0);
    EXPECT_EQ(JournalText(restarted), "");
    EXPECT_TRUE(m_window.Messages().empty());
    GlmDev::GlmDevStop();
}

TEST_F(PointsHandOverTest, ARefusedUploadLeavesTheToyAndTheJournalAlone) {
    DeviceTest::TempDir bus, data;
    DeviceTest::ScopedEnv env("GLIMMERIES_TOY_DIR", bus.Path());
    Toys::VirtualToyOptions options = DeviceTest::ToyOptions(bus.Path(), GlmDev::kGameProductId, "game");
    DeviceTest::InProcessToy virtualGame(options);
    ASSERT_EQ(GlmDev::GlmDevStart(nullptr, nullptr), 0);
    const std::string strangerFairy = NewAccount("tansy");
    const std::string fairy = NewAccount("yarrow");
    Glm::Toy game(DeviceOf(GlmDev::kGameProductId), GlmDev::kGameProductId);
    ASSERT_EQ(game.ReadMemory(), 0);
    game.SetFairyId(fairy);
    std::string code;
    ASSERT_EQ(m_api.SetupDevice(game, 0, 0, code), 0) << code;
    virtualGame.Command("points 50");
    ASSERT_TRUE(DeviceTest::WaitUntil([&] { return game.ReadMemory() == 0 && game.GetPoints() == 50; }));

    Glm::PointsJournal journal(data.Path());
    const Glm::PointsHandOver refused = Glm::GivePoints(m_api, game, strangerFairy, journal);
    EXPECT_EQ(refused.outcome, Glm::PointsHandOver::UploadFailed);
    EXPECT_FALSE(refused.errorCode.empty());
    EXPECT_EQ(game.GetPoints(), 50);
    ASSERT_EQ(game.ReadMemory(), 0);
    EXPECT_EQ(game.GetPoints(), 50);
    EXPECT_FALSE(journal.Find(static_cast<std::uint32_t>(game.GetClickId())).has_value());

    game.SetPresent(false);
    EXPECT_EQ(Glm::GivePoints(m_api, game, fairy, journal).outcome, Glm::PointsHandOver::NoToy);
    GlmDev::GlmDevStop();
}

} // namespace

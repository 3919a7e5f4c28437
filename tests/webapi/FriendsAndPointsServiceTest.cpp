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
#include "webapi/WebApi.h"

#include <gtest/gtest.h>

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

} // namespace

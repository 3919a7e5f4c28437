// The friendship page's list and answers against a small server: bracelet
// friends whose click ids carry bit 31 (which the game service does not
// look up yet), unknown and repeated friends, and answers it would never
// give.

#include "webapi/FriendCollector.h"

#include "FakeHttpServer.h"
#include "WebApiTestSupport.h"
#include "common/UI/Messages.h"
#include "common/UI/RecordingMessageTarget.h"
#include "device/SupportedToys.h"
#include "device/Toy.h"
#include "webapi/WebApi.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kOwnClickId = 4242;
constexpr std::uint32_t kAlder = 0x80000011u; // bracelet entries: bit 31 set
constexpr std::uint32_t kBirch = 0x80000022u;
constexpr std::uint32_t kCedar = 0x80000033u;
constexpr std::uint32_t kOwnOther = 0x80000044u;
constexpr std::uint32_t kUnknown = 0x80000055u;

std::string Profile(const std::string& user, const std::string& userId, const std::string& fairyId,
                    const std::string& fairyName) {
    return "<FairiesProfileResponse><success>true</success><user_name>" + user +
           "</user_name><fairies><fairy fairy_id=\"" + fairyId + "\"><user_id>" + userId +
           "</user_id><name>" + fairyName +
           "</name><gift_id>2003</gift_id><bracelet><message_id>7</message_id></bracelet></fairy></fairies>"
           "</FairiesProfileResponse>";
}

std::string Friendship(const std::string& user, const std::string& userId, const std::string& fairyId,
                       const std::string& fairyName, const std::string& status) {
    return "<friend dname=\"" + user + "\"><gift>0</gift><message>0</message><fairy><user_id>" + userId +
           "</user_id><name>" + fairyName + "</name></fairy><friend_id>" + fairyId + "</friend_id><status>" +
           status + "</status></friend>";
}

class FriendCollection : public ::testing::Test {
protected:
    void SetUp() override {
        m_api.Init(&m_window, m_server.Origin() + "/api/", "1");
        m_toy.SetOwnerUserId("100");
        m_toy.SetFairyId("10");
        m_toy.SetFairyName("Primrose");
        ProfileOf(kAlder, Profile("Alder Home", "200", "20", "Alda"));
        ProfileOf(kBirch, Profile("Birch Home", "300", "30", "Birdie"));
        ProfileOf(kCedar, Profile("Cedar Home", "400", "40", "Cee"));
        ProfileOf(kOwnOther, Profile("Primrose Home", "100", "11", "Sister"));
        ProfileOf(kUnknown, "<FairiesProfileResponse><success>false</success><error code=\"NOT_FOUND\"/>"
                            "</FairiesProfileResponse>");
    }

    void ProfileOf(std::uint32_t clickId, const std::string& xml) {
        m_server.Put("/api/FairiesProfileRequest?click_id=" + std::to_string(clickId), xml);
    }
    void Bracelet(const std::vector<std::uint32_t>& entries) {
        Glm::Toy::Memory memory{};
        Glm::Toy::SetWord(memory, 0, static_cast<std::int32_t>(kOwnClickId));
        std::size_t word = Glm::Toy::kFirstSlotWord;
        for (const std::uint32_t entry : entries) {
            Glm::Toy::SetWord(memory, word++, static_cast<std::int32_t>(entry));
        }
        m_toy.SetImage(memory);
    }
    void AccountFriends(const std::string& items) {
        m_server.Put("/api/FairiesFriendsRequest",
                     "<FairiesFriendsResponse><success>true</success><account_friends>" + items +
                         "</account_friends></FairiesFriendsResponse>");
    }
    void Friendships(const std::string& items) {
        m_server.Put("/api/ClickInventoryRequest",
                     "<ClickInventoryResponse><success>true</success><fairy_id><friends>" + items +
                         "</friends></fairy_id></ClickInventoryResponse>");
    }
    std::size_t Seen(const std::string& path) const {
        std::size_t count = 0;
        for (const WebApiTest::SeenRequest& request : m_server.Requests()) {
            count += request.path == path ? 1 : 0;
        }
        return count;
    }

    WebApiTest::RecordingLogger m_log;
    Ex::ScopedLogger m_scoped{&m_log};
    UI::RecordingMessageTarget m_window;
    WebApiTest::FakeHttpServer m_server;
    Glm::WebApi m_api;
    Glm::Toy m_toy{7, GlmDev::kBraceletProductId};
};

TEST_F(FriendCollection, BraceletFriendsComeFirstThenTheFirstAccountFriendBecomesAGiftThenTheService) {
    // Slots: Alder, an unknown bracelet, Birch, the own account, Cedar, Alder again,
    // and a charm (positive) that is no friendship.
    Bracelet({kAlder, kUnknown, kBirch, kOwnOther, kCedar, kAlder, 1001});
    // Birch and Cedar are both account friends: only the first in the
    // service's order that has an entry (Cedar) becomes a gift.
    AccountFriends("<account_friend user_id=\"999\">Nobody Here</account_friend>"
                   "<account_friend user_id=\"400\">Cedar Home</account_friend>"
                   "<account_friend user_id=\"300\">Birch Home</account_friend>");
    // Fairy 21 belongs to Alder's account: hidden by the bracelet entry.
    // Rowan has two Fairies: the second friendship is hidden by the first.
    Friendships(Friendship("Alder Home", "200", "21", "Alda Two", "MADE") +
                Friendship("Rowan Home", "500", "50", "Ro", "PENDING") +
                Friendship("Willow Home", "600", "60", "Wil", "DECLINED") +
                Friendship("Rowan Home", "500", "51", "Ro Two", "MADE") +
                Friendship("Odd Home", "700", "70", "Oddie", "BLOCKED"));

    std::vector<Glm::FriendRecord> friends{Glm::FriendRecord{}};
    Glm::CollectStatistics statistics;
    ASSERT_EQ(Glm::CollectFriends(m_api, m_toy, friends, &statistics), 0);

    struct Expected {
        std::string fairyName;
        std::uint32_t clickId;
        std::int32_t status;
    };
    const std::vector<Expected> expected = {
        {"Alda", kAlder, Glm::FRIENDSHIP_NEW},
        {"Birdie", kBirch, Glm::FRIENDSHIP_NEW},
        {"Sister", kOwnOther, Glm::FRIENDSHIP_SAME_ACCOUNT},
        {"Cee", kCedar, Glm::FRIENDSHIP_GIFT},
        {"Alda", kAlder, Glm::FRIENDSHIP_NEW},
        {"Ro", 0, Glm::FRIENDSHIP_PENDING},
        {"Wil", 0, Glm::FRIENDSHIP_DECLINED},
    };
    ASSERT_EQ(friends.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(friends[i].fairyName, expected[i].fairyName) << i;
        EXPECT_EQ(friends[i].clickId, expected[i].clickId) << i;
        EXPECT_EQ(friends[i].status, expected[i].status) << i;
    }
    EXPECT_EQ(friends[0].userName, "Alder Home");
    EXPECT_EQ(friends[0].giftId, "2003");
    EXPECT_EQ(friends[0].messageId, "7");
    EXPECT_EQ(friends[5].fairyId, "50");

    // One request per distinct piece of information: Alder once, the
    // unknown bracelet once, the account friends and the inventory once.
    EXPECT_EQ(Seen("/api/FairiesProfileRequest"), 5u);
    EXPECT_EQ(Seen("/api/FairiesFriendsRequest"), 1u);
    EXPECT_EQ(Seen("/api/ClickInventoryRequest"), 1u);
    EXPECT_EQ(statistics.profileRequests, 5);
    EXPECT_EQ(statistics.Total(), 7);
    for (const WebApiTest::SeenRequest& request : m_server.Requests()) {
        if (request.path == "/api/FairiesProfileRequest") {
            EXPECT_GT(std::stoul(request.params.find("click_id")->second), 2147483647ul);
        } else {
            EXPECT_EQ(request.params.find("fairy_id")->second, "10");
        }
    }
    // The unknown friend is only left out: no error for the user.
    EXPECT_TRUE(m_window.Messages().empty());
}

TEST_F(FriendCollection, WithoutBraceletFriendsOnlyTheServiceIsListedAndAFailingInventoryAddsNothing) {
    Bracelet({});
    Friendships(Friendship("Rowan Home", "500", "50", "Ro", "MADE"));
    std::vector<Glm::FriendRecord> friends;
    ASSERT_EQ(Glm::CollectFriends(m_api, m_toy, friends), 0);
    ASSERT_EQ(friends.size(), 1u);
    EXPECT_EQ(friends[0].status, Glm::FRIENDSHIP_MADE);
    EXPECT_EQ(Seen("/api/FairiesFriendsRequest"), 0u);

    // An inventory answer without success: a response error, the bracelet
    // entries stay.
    Bracelet({kBirch});
    AccountFriends("");
    m_server.Put("/api/ClickInventoryRequest", "<ClickInventoryResponse><friends/></ClickInventoryResponse>");
    ASSERT_EQ(Glm::CollectFriends(m_api, m_toy, friends), 0);
    ASSERT_EQ(friends.size(), 1u);
    EXPECT_EQ(friends[0].fairyName, "Birdie");
    EXPECT_TRUE(m_window.WaitFor(UI::WM_GLM_RESPONSE_ERROR, std::chrono::milliseconds(0)).has_value());

    // No toy: nothing asked, the caller shows its error.
    const std::size_t before = m_server.Requests().size();
    m_toy.SetPresent(false);
    EXPECT_EQ(Glm::CollectFriends(m_api, m_toy, friends), 1);
    EXPECT_TRUE(friends.empty());
    EXPECT_EQ(m_server.Requests().size(), before);
}

TEST_F(FriendCollection, TheToyLearnsItsFairyFromOneProfile) {
    Bracelet({});
    ProfileOf(kOwnClickId, Profile("Primrose Home", "100", "12", "Bluebell"));
    m_toy.SetFairyId("");
    m_toy.SetFairyName("");
    EXPECT_EQ(Glm::LearnToyFairy(m_api, m_toy), 0);
    EXPECT_EQ(m_toy.GetFairyId(), "12");
    EXPECT_EQ(m_toy.GetFairyName(), "Bluebell");
    EXPECT_EQ(Glm::LearnToyFairy(m_api, m_toy), 0); // known now: no request
    EXPECT_EQ(Seen("/api/FairiesProfileRequest"), 1u);
}

TEST_F(FriendCollection, AnswersNameTheFriendByBraceletOrFairyAndPassRefusalsOn) {
    Bracelet({kAlder});
    m_server.Put("/api/ClickUploadFriendsRequest",
                 "<ClickUploadFriendsResponse><success>true</success><friend><success>false</success>"
                 "<error code=\"FRIENDSHIP_DECLINED\"/></friend></ClickUploadFriendsResponse>");
    Glm::FriendRecord touched;
    touched.clickId = kAlder;
    touched.fairyId = "20";
    m_toy.SetFairyId("1<0&");
    std::string code;
    EXPECT_EQ(Glm::UploadFriendAnswer(m_api, &m_toy, touched, "accept", code), 1);
    EXPECT_EQ(code, "FRIENDSHIP_DECLINED");
    Glm::FriendRecord online;
    online.fairyId = "20";
    m_server.Put("/api/ClickUploadFriendsRequest",
                 "<ClickUploadFriendsResponse><success>true</success><friend><success>true</success></friend>"
                 "</ClickUploadFriendsResponse>");
    code.clear();
    EXPECT_EQ(Glm::UploadFriendAnswer(m_api, &m_toy, online, "decline", code), 0);
    // An answer without the friend's success element.
    m_server.Put("/api/ClickUploadFriendsRequest",
                 "<ClickUploadFriendsResponse><success>true</success></ClickUploadFriendsResponse>");
    EXPECT_EQ(Glm::UploadFriendAnswer(m_api, &m_toy, online, "decline", code), 1);
    EXPECT_TRUE(m_window.WaitFor(UI::WM_GLM_RESPONSE_ERROR, std::chrono::milliseconds(0)).has_value());

    const std::vector<WebApiTest::SeenRequest> seen = m_server.Requests();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].body,
              "<?xml version=\"1.0\" encoding=\"utf-8\" ?><ClickUploadFriendsRequest>"
              "<fairy_id>1&lt;0&amp;</fairy_id><bracelet id=\"4242\"/><friend><action>accept</action>"
              "<bracelet id=\"2147483665\"/></friend></ClickUploadFriendsRequest>");
    EXPECT_EQ(seen[1].body, "<?xml version=\"1.0\" encoding=\"utf-8\" ?><ClickUploadFriendsRequest>"
                            "<fairy_id>1&lt;0&amp;</fairy_id><friend><action>decline</action>"
                            "<fairy_id>20</fairy_id></friend></ClickUploadFriendsRequest>");

    // Without a toy nothing is sent.
    m_toy.SetPresent(false);
    EXPECT_EQ(Glm::UploadFriendAnswer(m_api, &m_toy, online, "decline", code), 1);
    EXPECT_EQ(Glm::UploadFriendAnswer(m_api, nullptr, online, "decline", code), 1);
    EXPECT_EQ(m_server.Requests().size(), 3u);
}

} // namespace

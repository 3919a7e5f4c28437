// Lookups by a click id as a bracelet stores a friend's, and the set-up that follows a reset.
#include "ServiceFixture.h"

using namespace ServiceTest;

class ServiceLookups : public ServiceFixture {};

TEST_F(ServiceLookups, FriendClickIdsWithTheTopBitNameTheBracelet) {
    std::string userId;
    std::string fairyId;
    const std::string login = NewAccount("marked", &userId, &fairyId);
    Player player(Service());
    ASSERT_FALSE(player.SignIn(login, "secret1").empty());
    const std::string bracelet = NewToy(player, "bracelet", fairyId);
    ASSERT_FALSE(bracelet.empty());
    const std::string marked = std::to_string(std::stoll(bracelet) | 0x80000000LL);
    Player stranger(Service());

    for (const std::string& id : {bracelet, marked}) {
        const Answer profile = stranger.Get("/api/FairiesProfileRequest?click_id=" + id);
        EXPECT_EQ(profile.Value("/FairiesProfileResponse/success"), "true") << id << profile.body;
        EXPECT_EQ(profile.Value("/FairiesProfileResponse/fairies/fairy/@fairy_id"), fairyId);
        const Answer who = stranger.Get("/api/WhoAreTheyRequest?clickids=" + id);
        EXPECT_EQ(who.Value("/WhoAreTheyResponse/user_info/@user_id"), userId) << id << who.body;
    }
    // Both forms in one list, and an unknown toy with the marker is still unknown.
    EXPECT_EQ(stranger.Get("/api/WhoAreTheyRequest?clickids=" + bracelet + "," + marked)
                  .Count("/WhoAreTheyResponse/user_info"),
              2);
    const std::string unknown = std::to_string(0x80000000LL | 1);
    EXPECT_EQ(stranger.Get("/api/FairiesProfileRequest?click_id=" + unknown)
                  .Value("/FairiesProfileResponse/error/@code"),
              "NOT_FOUND");
    EXPECT_EQ(
        stranger.Get("/api/WhoAreTheyRequest?clickids=" + unknown).Value("/WhoAreTheyResponse/error/@code"),
        "NOT_FOUND");
}

TEST_F(ServiceLookups, SetupAfterResetOfANotResetableToyIsRefused) {
    std::string fairyA;
    std::string fairyB;
    const std::string a = NewAccount("resetfrom", nullptr, &fairyA);
    const std::string b = NewAccount("resetto", nullptr, &fairyB);
    Player owner(Service());
    ASSERT_FALSE(owner.SignIn(a, "secret1").empty());
    const std::string bracelet = NewToy(owner, "bracelet", fairyA);
    const std::string game = NewToy(owner, "game", fairyA);
    const auto resetOf = [&](const std::string& clickId) {
        std::string code = Admin({"toy", "reset-code", clickId});
        code.pop_back();
        return code;
    };

    // The same program (one cookie jar) resets the toy, then a new account signs in and sets it up.
    Player device(Service());
    ASSERT_EQ(device.Get("/api/ClickResetRequest?click_id=" + bracelet + "&reset_code=" + resetOf(bracelet))
                  .Value("/ClickResetResponse/success"),
              "true");
    Admin({"toy", "not-resetable", bracelet});
    ASSERT_FALSE(device.SignIn(b, "secret1").empty());
    const std::string setup = "/api/ClickSetupRequest?type=bracelet&fairy_id=" + fairyB + "&reset=1";
    const Answer refused = device.Get(setup);
    EXPECT_EQ(refused.Value("/ClickSetupResponse/error/@code"), "DEVICE_NOT_RESETABLE") << refused.body;

    // A resetable toy goes through, and the answer forgets the reset so the next set-up is ordinary.
    Player other(Service());
    ASSERT_EQ(other.Get("/api/ClickResetRequest?click_id=" + game + "&reset_code=" + resetOf(game))
                  .Value("/ClickResetResponse/success"),
              "true");
    ASSERT_FALSE(other.SignIn(b, "secret1").empty());
    const Answer accepted = other.Get("/api/ClickSetupRequest?type=game&fairy_id=" + fairyB + "&reset=1");
    EXPECT_EQ(accepted.Value("/ClickSetupResponse/success"), "true") << accepted.body;
    Admin({"toy", "not-resetable", game});
    EXPECT_EQ(
        other.Get("/api/ClickSetupRequest?type=jewelrybox&reset=1").Value("/ClickSetupResponse/success"),
        "true");
}

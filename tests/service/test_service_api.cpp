// The web service through real HTTPS: sign-in, profiles, toys, friendships, uploads, tokens.
#include "ServiceFixture.h"

#include <thread>

using namespace ServiceTest;

namespace {
constexpr const char* kBodyStart = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";
}

class ServiceApi : public ServiceFixture {};

TEST_F(ServiceApi, SignInAnswersAccountAndRefusesWithTheCodes) {
    std::string userId;
    const std::string login = NewAccount("signin", &userId);
    Player player(Service());
    const Answer ok = player.Post("/api/AccountLoginRequest",
                                  "username=" + login + "&password=secret1&affiliate=tallow_bmglimmeries");
    EXPECT_EQ(ok.Value("/AccountLoginResponse/success"), "true");
    EXPECT_EQ(ok.Value("/AccountLoginResponse/status"), "logged_in");
    EXPECT_EQ(ok.Value("/AccountLoginResponse/account/@account_id"), userId);
    EXPECT_NE(player.Cookie().find("GLMSESSION="), std::string::npos);

    const auto code = [](const Answer& a) { return a.Value("/AccountLoginResponse/error/@code"); };
    Player other(Service());
    EXPECT_EQ(code(other.Post("/api/AccountLoginRequest", "username=nobody_here&password=x")),
              "INVALID_ACCOUNT");
    EXPECT_EQ(code(other.Post("/api/AccountLoginRequest", "username=" + login + "&password=wrong")),
              "INVALID_PASSWORD");
    EXPECT_EQ(code(other.Post("/api/AccountLoginRequest", "username=" + login)), "ERROR_MISSING_PARMS");
    // Quotes and SQL text are just an unknown account.
    EXPECT_EQ(code(other.Post("/api/AccountLoginRequest", "username=x' OR '1'='1&password=' OR 1=1 --")),
              "INVALID_ACCOUNT");
    Admin({"account", "ban", login});
    EXPECT_EQ(code(other.Post("/api/AccountLoginRequest", "username=" + login + "&password=secret1")),
              "BANNED");
    // The ban also ends the session already held.
    EXPECT_EQ(player.Post("/api/SessionTransferRequest", "").Value("/SessionTransferResponse/error/@code"),
              "NOT_SIGNED_IN");
}

TEST_F(ServiceApi, ProfilesInEveryForm) {
    std::string userId;
    std::string fairyId;
    const std::string login = NewAccount("profile", &userId, &fairyId);
    Player player(Service());
    ASSERT_EQ(player.SignIn(login, "secret1"), userId);
    const std::string bracelet = NewToy(player, "bracelet", fairyId);
    EXPECT_EQ(player.Get("/api/ClickSetupRequest?click_id=" + bracelet + "&message_id=7&gift_id=2003")
                  .Value("/ClickSetupResponse/success"),
              "true");

    const Answer byUser = player.Get("/api/FairiesProfileRequest?user_id=" + userId);
    EXPECT_EQ(byUser.Count("/FairiesProfileResponse/fairies/fairy"), 1);
    EXPECT_EQ(byUser.Value("/FairiesProfileResponse/fairies/fairy[1]/@fairy_id"), fairyId);
    const Answer byFairy = player.Get("/api/FairiesProfileRequest?fairy_id=" + fairyId);
    EXPECT_EQ(byFairy.Value("/FairiesProfileResponse/fairies/fairy/user_id"), userId);
    EXPECT_EQ(byFairy.Value("/FairiesProfileResponse/fairies/fairy/name"), "Fairy of " + login);
    const Answer byClick = player.Get("/api/FairiesProfileRequest?click_id=" + bracelet);
    EXPECT_EQ(byClick.Value("/FairiesProfileResponse/user_name"), login);
    EXPECT_EQ(byClick.Value("/FairiesProfileResponse/fairies/fairy/@fairy_id"), fairyId);
    EXPECT_EQ(byClick.Value("/FairiesProfileResponse/fairies/fairy/gift_id"), "2003");
    EXPECT_EQ(byClick.Count("/FairiesProfileResponse/fairies/fairy//message_id"), 1);
    EXPECT_EQ(byClick.Value("/FairiesProfileResponse/fairies/fairy//message_id"), "7");
    const Answer dna = player.Get("/api/FairiesProfileRequest?fairy_id=" + fairyId + "&dna");
    EXPECT_EQ(dna.Count("/FairiesProfileResponse/fairies/fairy/avatar/body/@skin"), 1);
    EXPECT_EQ(dna.Count("/FairiesProfileResponse/fairies/fairy/avatar/wings/@color"), 1);
    EXPECT_EQ(dna.Count("/FairiesProfileResponse/fairies/fairy/avatar/tagalong"), 0);

    const auto code = [](const Answer& a) { return a.Value("/FairiesProfileResponse/error/@code"); };
    EXPECT_EQ(code(player.Get("/api/FairiesProfileRequest?fairy_id=999999999")), "NOT_FOUND");
    EXPECT_EQ(code(player.Get("/api/FairiesProfileRequest?fairy_id=1%27%20OR%201=1")), "NOT_FOUND");
    EXPECT_EQ(code(player.Get("/api/FairiesProfileRequest?click_id=4294967295")), "NOT_FOUND");
    EXPECT_EQ(code(player.Get("/api/FairiesProfileRequest")), "ERROR_MISSING_PARMS");

    const Answer who = player.Get("/api/WhoAreTheyRequest?clickids=" + bracelet);
    EXPECT_EQ(who.Value("/WhoAreTheyResponse/user_info/@user_id"), userId);
    EXPECT_EQ(who.Value("/WhoAreTheyResponse/user_info/@dname"), login);
    EXPECT_EQ(
        player.Get("/api/WhoAreTheyRequest?userids=" + userId).Value("/WhoAreTheyResponse/user_info/@dname"),
        login);
    EXPECT_EQ(player.Get("/api/WhoAreTheyRequest?clickids=12").Value("/WhoAreTheyResponse/error/@code"),
              "NOT_FOUND");
    EXPECT_EQ(player.Get("/api/WhoAreTheyRequest").Value("/WhoAreTheyResponse/error/@code"),
              "ERROR_MISSING_PARMS");
}

TEST_F(ServiceApi, ToySetupLimitsOwnershipAndReset) {
    std::string fairyA;
    std::string fairyB;
    const std::string a = NewAccount("toysa", nullptr, &fairyA);
    const std::string b = NewAccount("toysb", nullptr, &fairyB);
    Player alice(Service());
    Player bob(Service());
    alice.SignIn(a, "secret1");
    bob.SignIn(b, "secret1");
    const auto code = [](const Answer& x) { return x.Value("/ClickSetupResponse/error/@code"); };
    EXPECT_EQ(code(Player(Service()).Get("/api/ClickSetupRequest?type=bracelet")), "NOT_SIGNED_IN");
    EXPECT_EQ(code(alice.Get("/api/ClickSetupRequest")), "ERROR_MISSING_PARMS");
    EXPECT_EQ(code(alice.Get("/api/ClickSetupRequest?type=bracelet&message_id=99")), "ITEM_NOT_AVAILABLE");
    EXPECT_EQ(code(alice.Get("/api/ClickSetupRequest?type=bracelet&gift_id=2030")), "ITEM_NOT_AVAILABLE");
    EXPECT_EQ(code(alice.Get("/api/ClickSetupRequest?type=bracelet&fairy_id=" + fairyB)),
              "NOT_GLIMMERY_OWNER");

    const std::string bracelet = NewToy(alice, "bracelet", fairyA);
    const long long clickId = std::stoll(bracelet);
    EXPECT_GT(clickId, 0);
    EXPECT_LT(clickId, 2147483648LL);
    EXPECT_FALSE(NewToy(alice, "jewelrybox", fairyA).empty());
    const std::string game = NewToy(alice, "game", fairyA);
    EXPECT_EQ(code(alice.Get("/api/ClickSetupRequest?type=game")), "HAS_MAX_GLIMMERIES");
    EXPECT_EQ(code(bob.Get("/api/ClickSetupRequest?click_id=" + bracelet)), "NOT_GLIMMERY_OWNER");
    EXPECT_EQ(
        alice.Get("/api/ClickSetupRequest?click_id=" + bracelet).Value("/ClickSetupResponse/bracelet/@id"),
        bracelet);

    const auto reset = [](const Answer& x) { return x.Value("/ClickResetResponse/error/@code"); };
    EXPECT_EQ(reset(bob.Get("/api/ClickResetRequest?click_id=" + game + "&reset_code=WRONG")),
              "INVALID_CODE");
    EXPECT_EQ(reset(bob.Get("/api/ClickResetRequest?click_id=" + game)), "ERROR_MISSING_PARMS");
    EXPECT_EQ(reset(bob.Get("/api/ClickResetRequest?reset_code=X")), "ERROR_MISSING_PARMS");
    std::string resetCode = Admin({"toy", "reset-code", game});
    resetCode.pop_back();
    EXPECT_EQ(resetCode.size(), 8u);
    EXPECT_EQ(bob.Get("/api/ClickResetRequest?click_id=" + game + "&reset_code=" + resetCode)
                  .Value("/ClickResetResponse/success"),
              "true");
    // The released toy is gone; the account may set up another, and the new owner gets a new id.
    EXPECT_EQ(bob.Get("/api/WhoAreTheyRequest?clickids=" + game).Value("/WhoAreTheyResponse/error/@code"),
              "NOT_FOUND");
    const Answer again = bob.Get("/api/ClickSetupRequest?type=game&fairy_id=" + fairyB + "&reset=1");
    EXPECT_EQ(again.Value("/ClickSetupResponse/success"), "true");
    EXPECT_NE(again.Value("/ClickSetupResponse/game/@id"), game);

    Admin({"toy", "not-resetable", bracelet});
    std::string braceletCode = Admin({"toy", "reset-code", bracelet});
    braceletCode.pop_back();
    EXPECT_EQ(reset(bob.Get("/api/ClickResetRequest?click_id=" + bracelet + "&reset_code=" + braceletCode)),
              "DEVICE_NOT_RESETABLE");
}

TEST_F(ServiceApi, BraceletFriendshipsGoThroughEveryStatus) {
    std::string fairyA;
    std::string fairyB;
    std::string fairyC;
    std::string userB;
    Player alice(Service());
    Player bob(Service());
    Player carol(Service());
    alice.SignIn(NewAccount("frienda", nullptr, &fairyA), "secret1");
    bob.SignIn(NewAccount("friendb", &userB, &fairyB), "secret1");
    carol.SignIn(NewAccount("friendc", nullptr, &fairyC), "secret1");
    const std::string braceletA = NewToy(alice, "bracelet", fairyA);
    const std::string braceletB = NewToy(bob, "bracelet", fairyB);
    const std::string braceletC = NewToy(carol, "bracelet", fairyC);
    Answer setGift = bob.Get("/api/ClickSetupRequest?click_id=" + braceletB + "&gift_id=2004&message_id=3");
    ASSERT_EQ(setGift.Value("/ClickSetupResponse/success"), "true");

    const auto marked = [](const std::string& click) {
        return std::to_string(std::stoll(click) | 0x80000000LL);
    };
    const auto upload = [&](Player& who, const std::string& fairy, const std::string& own,
                            const std::string& action, const std::string& friendPart) {
        return who.Post("/api/ClickUploadFriendsRequest",
                        std::string(kBodyStart) + "<ClickUploadFriendsRequest><fairy_id>" + fairy +
                            "</fairy_id>" + (own.empty() ? "" : "<bracelet id=\"" + own + "\"/>") +
                            "<friend><action>" + action + "</action>" + friendPart +
                            "</friend></ClickUploadFriendsRequest>");
    };
    const auto byBracelet = [&](const std::string& click) {
        return "<bracelet id=\"" + marked(click) + "\"/>";
    };
    const auto friendCode = [](const Answer& x) {
        return x.Value("/ClickUploadFriendsResponse/friend/error/@code");
    };

    // Alice touched Bob: her acceptance is an invitation, PENDING for her.
    Answer first = upload(alice, fairyA, braceletA, "accept", byBracelet(braceletB));
    EXPECT_EQ(first.Value("/ClickUploadFriendsResponse/friend/success"), "true") << first.body;
    Answer inventory = alice.Get("/api/ClickInventoryRequest?fairy_id=" + fairyA);
    ASSERT_EQ(inventory.Count("/ClickInventoryResponse/fairy_id/friends/friend"), 1);
    EXPECT_EQ(inventory.Value("/ClickInventoryResponse/fairy_id/friends/friend/status"), "PENDING");
    EXPECT_EQ(inventory.Value("/ClickInventoryResponse/fairy_id/friends/friend/friend_id"), fairyB);
    EXPECT_EQ(inventory.Value("/ClickInventoryResponse/fairy_id/friends/friend/fairy/user_id"), userB);
    EXPECT_EQ(inventory.Value("/ClickInventoryResponse/fairy_id/friends/friend/gift"), "2004");
    EXPECT_EQ(inventory.Value("/ClickInventoryResponse/fairy_id/friends/friend/message"), "3");
    EXPECT_FALSE(inventory.Value("/ClickInventoryResponse/fairy_id/friends/friend/@dname").empty());

    // Bob accepts Alice's bracelet: MADE on both sides, and the accounts become friends.
    EXPECT_EQ(upload(bob, fairyB, braceletB, "accept", byBracelet(braceletA))
                  .Value("/ClickUploadFriendsResponse/friend/success"),
              "true");
    EXPECT_EQ(alice.Get("/api/ClickInventoryRequest?fairy_id=" + fairyA)
                  .Value("/ClickInventoryResponse/fairy_id/friends/friend/status"),
              "MADE");
    const Answer friends = alice.Get("/api/FairiesFriendsRequest?current");
    EXPECT_EQ(friends.Value("/FairiesFriendsResponse/account_friends/account_friend /@user_id"), userB);
    EXPECT_EQ(alice.Get("/api/FairiesFriendsRequest?fairy_id=" + fairyA)
                  .Count("/FairiesFriendsResponse/account_friends/account_friend"),
              1);

    // A gift between account friends joins Alice's bracelet gift list.
    EXPECT_EQ(upload(alice, fairyA, "", "giftonly", "<fairy_id>" + fairyB + "</fairy_id>")
                  .Value("/ClickUploadFriendsResponse/friend/success"),
              "true");
    const Answer gifts = alice.Get("/api/ClickInventoryRequest?click_id=" + braceletA);
    EXPECT_EQ(gifts.Count("/ClickInventoryResponse/bracelet[@id='" + braceletA +
                          "']/gift_list/item[text()='2004']"),
              1);
    EXPECT_EQ(friendCode(upload(alice, fairyA, "", "giftonly", "<fairy_id>" + fairyC + "</fairy_id>")),
              "NOT_ACCOUNT_FRIENDS");

    // Carol declines Alice; Alice's later acceptance learns it.
    EXPECT_EQ(upload(carol, fairyC, braceletC, "decline", byBracelet(braceletA))
                  .Value("/ClickUploadFriendsResponse/friend/success"),
              "true");
    EXPECT_EQ(friendCode(upload(alice, fairyA, braceletA, "accept", byBracelet(braceletC))),
              "FRIENDSHIP_DECLINED");
    EXPECT_EQ(friendCode(upload(alice, fairyA, braceletA, "accept", byBracelet("123"))), "NOT_FOUND");
    EXPECT_EQ(upload(alice, fairyB, braceletA, "accept", byBracelet(braceletC))
                  .Value("/ClickUploadFriendsResponse/error/@code"),
              "NOT_GLIMMERY_OWNER");

    // The limit of friends (3 in this suite): Alice has one, invites two more, then is full.
    std::string fairyD;
    std::string fairyE;
    std::string fairyF;
    NewAccount("friendd", nullptr, &fairyD);
    NewAccount("friende", nullptr, &fairyE);
    NewAccount("friendf", nullptr, &fairyF);
    EXPECT_EQ(friendCode(upload(alice, fairyA, "", "accept", "<fairy_id>" + fairyD + "</fairy_id>")), "");
    EXPECT_EQ(friendCode(upload(alice, fairyA, "", "accept", "<fairy_id>" + fairyE + "</fairy_id>")), "");
    EXPECT_EQ(friendCode(upload(alice, fairyA, "", "accept", "<fairy_id>" + fairyF + "</fairy_id>")),
              "TOO_MANY_FRIENDS");
    // Cancelling a pending invitation makes room again.
    EXPECT_EQ(friendCode(upload(alice, fairyA, "", "decline", "<fairy_id>" + fairyE + "</fairy_id>")), "");
    EXPECT_EQ(friendCode(upload(alice, fairyA, "", "accept", "<fairy_id>" + fairyF + "</fairy_id>")), "");
    const Answer all = alice.Get("/api/ClickInventoryRequest?with_friends");
    // Bob made, Dee and Fay pending, and Carol's refusal shown to Alice as declined.
    EXPECT_EQ(all.Count("/ClickInventoryResponse/friends/friend"), 4);
    EXPECT_EQ(all.Count("/ClickInventoryResponse/friends/friend[status='DECLINED']"), 1);
}

TEST_F(ServiceApi, CharmsPointsAndButterflies) {
    std::string fairy;
    Player player(Service());
    player.SignIn(NewAccount("charms", nullptr, &fairy), "secret1");
    const std::string box = NewToy(player, "jewelrybox", fairy);
    const auto charm = [&](const std::string& id) {
        return player.Post("/api/ClickUploadRequest",
                           "<ClickUploadRequest><fairy_id>" + fairy + "</fairy_id><click_id>" + box +
                               "</click_id><charm id=\"" + id + "\"/></ClickUploadRequest>");
    };
    const auto charmCode = [](const Answer& x) { return x.Value("/ClickUploadResponse/charm/error/@code"); };
    EXPECT_EQ(charm("1001").Value("/ClickUploadResponse/charm/success"), "true");
    EXPECT_EQ(charmCode(charm("1001")), "INVENTORY_ALREADY_OWNED");
    EXPECT_EQ(charmCode(charm("999")), "ITEM_NOT_AVAILABLE");
    EXPECT_EQ(charmCode(charm("x'); DROP TABLE charms; --")), "ITEM_NOT_AVAILABLE");
    EXPECT_EQ(charm("1002").Value("/ClickUploadResponse/charm/success"), "true");
    EXPECT_EQ(charm("1003").Value("/ClickUploadResponse/charm/success"), "true");
    EXPECT_EQ(charmCode(charm("1004")), "INVENTORY_FULL");
    const Answer inventory = player.Get("/api/ClickInventoryRequest?fairy_id=" + fairy);
    EXPECT_EQ(inventory.Count("/ClickInventoryResponse/fairy_id/charms/charm"), 3);
    EXPECT_EQ(inventory.Value("/ClickInventoryResponse/fairy_id/charms/charm[1]/@id"), "1001");

    const auto points = [&](const std::string& n) {
        return player.Post("/api/ClickUploadRequest",
                           "<ClickUploadRequest><fairy_id>" + fairy + "</fairy_id><click_id>" + box +
                               "</click_id><points>" + n + "</points></ClickUploadRequest>");
    };
    EXPECT_EQ(points("250").Value("/ClickUploadResponse/points/success"), "true");
    EXPECT_EQ(points("-5").Value("/ClickUploadResponse/error/@code"), "INVALID_POINTS");
    EXPECT_EQ(player.Get("/api/ClickInventoryRequest?fairy_id=" + fairy)
                  .Value("/ClickInventoryResponse/fairy_id/glintpoints"),
              "250");

    const auto redeem = [&](const std::string& query) {
        return player.Get("/api/ClickRedemptionRequest?fairy_id=" + fairy + query);
    };
    const auto redeemCode = [](const Answer& x) { return x.Value("/ClickRedemptionResponse/error/@code"); };
    EXPECT_EQ(redeemCode(redeem("&points=750&item=8")), "NOT_ENOUGH_POINTS");
    EXPECT_EQ(redeemCode(redeem("&points=10&item=9")), "ITEM_NOT_AVAILABLE");
    EXPECT_EQ(redeemCode(redeem("&points=10")), "ERROR_MISSING_PARMS");
    EXPECT_EQ(redeem("&points=200&item=3").Value("/ClickRedemptionResponse/success"), "true");
    const Answer dna = player.Get("/api/FairiesProfileRequest?fairy_id=" + fairy + "&dna");
    EXPECT_EQ(dna.Value("/FairiesProfileResponse/fairies/fairy/avatar/tagalong"), "3");
    EXPECT_EQ(dna.Value("/FairiesProfileResponse/fairies/fairy/avatar/tagalong/@ttl"), "5");
    EXPECT_EQ(player.Get("/api/ClickInventoryRequest?fairy_id=" + fairy)
                  .Value("/ClickInventoryResponse/fairy_id/glintpoints"),
              "50");

    // Another account's Fairy is out of reach.
    std::string otherFairy;
    NewAccount("charmsother", nullptr, &otherFairy);
    EXPECT_EQ(player.Get("/api/ClickInventoryRequest?fairy_id=" + otherFairy)
                  .Value("/ClickInventoryResponse/error/@code"),
              "NOT_GLIMMERY_OWNER");
    EXPECT_EQ(player.Get("/api/ClickInventoryRequest").Value("/ClickInventoryResponse/error/@code"),
              "ERROR_MISSING_PARMS");
}

TEST_F(ServiceApi, ConcurrentPointUploadsAddUpExactly) {
    std::string fairy;
    const std::string login = NewAccount("race", nullptr, &fairy);
    Player owner(Service());
    owner.SignIn(login, "secret1");
    const std::string game = NewToy(owner, "game", fairy);
    std::vector<std::thread> threads;
    std::atomic<int> succeeded{0};
    for (int i = 1; i <= 20; ++i) {
        threads.emplace_back([&, i] {
            Player player(Service());
            player.Cookie() = owner.Cookie();
            const Answer answer =
                player.Post("/api/ClickUploadRequest",
                            "<ClickUploadRequest><fairy_id>" + fairy + "</fairy_id><click_id>" + game +
                                "</click_id><points>" + std::to_string(i) + "</points></ClickUploadRequest>");
            if (answer.Value("/ClickUploadResponse/points/success") == "true") {
                ++succeeded;
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(succeeded.load(), 20);
    EXPECT_EQ(owner.Get("/api/ClickInventoryRequest?fairy_id=" + fairy)
                  .Value("/ClickInventoryResponse/fairy_id/glintpoints"),
              "210");
}

TEST_F(ServiceApi, BadBodiesAreRefusedAndStoreNothing) {
    std::string fairy;
    Player player(Service());
    player.SignIn(NewAccount("bodies", nullptr, &fairy), "secret1");
    const std::string box = NewToy(player, "jewelrybox", fairy);
    const Answer notXml = player.Post("/api/ClickUploadRequest", "fairy_id=1&charm=1001");
    EXPECT_EQ(notXml.status, 400);
    EXPECT_EQ(notXml.Value("/ClickUploadResponse/error/@code"), "INVALID_XML");
    const Answer entity =
        player.Post("/api/ClickUploadRequest",
                    "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
                    "<ClickUploadRequest><fairy_id>" +
                        fairy + "</fairy_id><click_id>" + box +
                        "</click_id><charm id=\"1001\"/>&x;</ClickUploadRequest>");
    EXPECT_EQ(entity.Value("/ClickUploadResponse/error/@code"), "INVALID_XML");
    std::string large = "<ClickUploadRequest><fairy_id>" + fairy + "</fairy_id><click_id>" + box +
                        "</click_id><charm id=\"1001\"/>" + std::string(70 * 1024, ' ') +
                        "</ClickUploadRequest>";
    const Answer tooLarge = player.Post("/api/ClickUploadRequest", large);
    EXPECT_EQ(tooLarge.status, 413);
    EXPECT_EQ(player
                  .Post("/api/ClickUploadRequest",
                        "<ClickUploadRequest><fairy_id>" + fairy + "</fairy_id></ClickUploadRequest>")
                  .Value("/ClickUploadResponse/error/@code"),
              "ERROR_MISSING_PARMS");
    EXPECT_EQ(player.Post("/api/ClickUploadFriendsRequest", "<oops")
                  .Value("/ClickUploadFriendsResponse/error/@code"),
              "INVALID_XML");
    EXPECT_EQ(player.Get("/api/ClickInventoryRequest?fairy_id=" + fairy)
                  .Count("/ClickInventoryResponse/fairy_id/charms/charm"),
              0);
}

TEST_F(ServiceApi, SessionCookieOfHttpsIsNotAcceptedOverHttp) {
    std::string fairy;
    const std::string login = NewAccount("cookie", nullptr, &fairy);
    auto client = Service().Https();
    const auto result = client->Post("/api/AccountLoginRequest", "username=" + login + "&password=secret1",
                                     "application/x-www-form-urlencoded");
    ASSERT_TRUE(result);
    const std::string cookie = result->get_header_value("Set-Cookie");
    EXPECT_NE(cookie.find("HttpOnly"), std::string::npos);
    EXPECT_NE(cookie.find("Secure"), std::string::npos);
    Player plain(Service(), false);
    plain.Cookie() = cookie.substr(0, cookie.find(';'));
    EXPECT_EQ(plain.Get("/api/ClickInventoryRequest?fairy_id=" + fairy)
                  .Value("/ClickInventoryResponse/error/@code"),
              "NOT_SIGNED_IN");
    Player secure(Service());
    secure.Cookie() = plain.Cookie();
    EXPECT_EQ(
        secure.Get("/api/ClickInventoryRequest?fairy_id=" + fairy).Value("/ClickInventoryResponse/success"),
        "true");
    EXPECT_EQ(secure.Post("/api/AccountLogoutRequest", "").Value("/AccountLogoutResponse/success"), "true");
    secure.Cookie() = plain.Cookie();
    EXPECT_EQ(secure.Get("/api/ClickInventoryRequest?fairy_id=" + fairy)
                  .Value("/ClickInventoryResponse/error/@code"),
              "NOT_SIGNED_IN");
}

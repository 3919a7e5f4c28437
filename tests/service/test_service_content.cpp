// Catalogues, patch files, the beacon, the web pages, the admin commands and a restart.
#include "ServiceFixture.h"

#include <filesystem>
#include <fstream>

using namespace ServiceTest;

class ServiceContent : public ServiceFixture {};

TEST_F(ServiceContent, CataloguesHaveEveryEntryInTheirFormats) {
    auto http = Service().Http();
    const std::string folder = "/bramblemere/game/publish/xml/content/glimmeries/";
    const auto fetch = [&](const char* name) {
        const auto result = http->Get((folder + name).c_str());
        EXPECT_TRUE(result && result->status == 200);
        auto xml = Service::XmlDocument::Parse(result ? result->body : "");
        EXPECT_TRUE(xml.has_value());
        return std::move(*xml);
    };
    const auto charms = fetch("ClickCharmList.xml");
    EXPECT_EQ(charms.Count("/ClickCharmList/charms/charm"), 40);
    EXPECT_EQ(charms.Value("/ClickCharmList/charms/charm[1]/@id"), "1001");
    EXPECT_EQ(charms.Value("/ClickCharmList/charms/charm[40]/@id"), "1040");
    for (int id = 1001; id <= 1040; ++id) {
        const std::string copy = "/ClickCharmList/copy/_" + std::to_string(id);
        EXPECT_EQ(charms.Count(copy + "/name"), 1) << id;
        EXPECT_EQ(charms.Count(copy + "/inGameItem"), 1) << id;
    }
    const auto butterflies = fetch("ClickButterflyList.xml");
    EXPECT_EQ(butterflies.Count("/ClickButterflyList/copy/*"), 8);
    EXPECT_EQ(butterflies.Count("/ClickButterflyList/copy/*[@id and @points and @duration and @image]"), 8);
    EXPECT_FALSE(butterflies.Value("/ClickButterflyList/copy/*[3]").empty());
    const auto messages = fetch("ClickMessageList.xml");
    EXPECT_EQ(messages.Count("/ClickMessageList/copy/*[@id]"), 20);
    EXPECT_EQ(messages.Value("/ClickMessageList/copy/*[20]/@id"), "20");
    const auto gifts = fetch("ClickGiftList.xml");
    EXPECT_EQ(gifts.Count("/ClickGiftList/copy/*[@id]"), 30);
    EXPECT_EQ(gifts.Value("/ClickGiftList/copy/*[1]/@id"), "2001");
}

TEST_F(ServiceContent, PatchFilesBeaconAndReports) {
    auto http = Service().Http();
    const auto version = http->Get("/bramblemere/game/glimmeries/english/patcher.ver?a1b2c3d4e5");
    ASSERT_TRUE(version);
    EXPECT_NE(version->body.find("PATCHER_VERSION_STRING_SERVER=V1.0.4.34"), std::string::npos);
    EXPECT_NE(version->body.find("GLM_SWF_VERSION="), std::string::npos);
    // An escape is decoded wherever it stands, the path's last characters included.
    const auto escaped = http->Get("/bramblemere/game/glimmeries/english/patcher.ve%72");
    ASSERT_TRUE(escaped);
    EXPECT_EQ(escaped->status, 200);
    EXPECT_EQ(escaped->body, version->body);
    // Without a content directory there is nothing else to download; paths never leave it.
    EXPECT_EQ(http->Get("/bramblemere/game/glimmeries/english/avatarFull.swf?12")->status, 404);
    EXPECT_EQ(http->Get("/bramblemere/game/glimmeries/english/..%2F..%2Fglimmeries.db")->status, 404);

    const auto beacon = http->Get("/b/ss/glmdesktopapp,glmallsites/1/"
                                  "3fa1c9?D=glm&gn=glimmeries:desktop:mainmenu&c1=glimmeries&c2=desktop");
    ASSERT_TRUE(beacon);
    EXPECT_EQ(beacon->get_header_value("Content-Type"), "image/gif");
    EXPECT_EQ(beacon->body.substr(0, 6), "GIF89a");
    const std::string reports = Admin({"reports"});
    EXPECT_NE(reports.find(" mainmenu 3fa1c9\n"), std::string::npos) << reports;
}

TEST_F(ServiceContent, ContentDirectoryFilesAreServed) {
    TempDirectory data;
    TempDirectory content;
    std::ofstream(std::filesystem::path(content.Path()) / "avatarFull.swf") << "<html>movie</html>";
    std::ofstream(std::filesystem::path(content.Path()) / "glimmeries") << "binary";
    ServiceProcess service(data.Path(), {"--content", content.Path(), "--movie-version", "7.2"});
    auto http = service.Http();
    EXPECT_EQ(http->Get("/bramblemere/game/glimmeries/english/avatarFull.swf?ab")->body,
              "<html>movie</html>");
    EXPECT_EQ(http->Get("/bramblemere/game/glimmeries/english/glimmeries?1")->body, "binary");
    EXPECT_NE(http->Get("/bramblemere/game/glimmeries/english/patcher.ver")->body.find("GLM_SWF_VERSION=7.2"),
              std::string::npos);
    EXPECT_NE(service.MoreOutput().find("created certificate authority " + data.Path() + "/ca.pem"),
              std::string::npos);
}

TEST_F(ServiceContent, TransferTokensOpenPagesOnce) {
    std::string fairy;
    Player player(Service());
    player.SignIn(NewAccount("pages", nullptr, &fairy), "secret1");
    Admin({"fairy", "add", "pages" + std::to_string(s_counter), "<b>Bold</b> & 'Quoted'"});
    const std::string token =
        player.Post("/api/SessionTransferRequest", "").Value("/SessionTransferResponse/session");
    ASSERT_FALSE(token.empty());
    auto http = Service().Http();
    const auto page = http->Get(("/glimmeries.html?page=charms&iscapp=true&sessiontoken=" + token).c_str());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("&lt;b&gt;Bold&lt;/b&gt; &amp; &#39;Quoted&#39;"), std::string::npos);
    EXPECT_EQ(page->body.find("<b>Bold"), std::string::npos);
    EXPECT_EQ(http->Get(("/glimmeries.html?page=charms&iscapp=true&sessiontoken=" + token).c_str())->status,
              403);
    EXPECT_EQ(http->Get("/glimmeries.html?page=portrait&sessiontoken=nonsense")->status, 403);
    const std::string second =
        player.Post("/api/SessionTransferRequest", "").Value("/SessionTransferResponse/session");
    EXPECT_EQ(http->Get(("/glimmeries.html?page=portrait&sessiontoken=" + second).c_str())->status, 200);
    EXPECT_EQ(Player(Service())
                  .Post("/api/SessionTransferRequest", "")
                  .Value("/SessionTransferResponse/error/@code"),
              "NOT_SIGNED_IN");

    EXPECT_EQ(http->Get("/glimmeries.html?page=faq")->status, 200);
    EXPECT_EQ(http->Get("/index.html?1=1")->status, 200);
    EXPECT_EQ(http->Get("/home/html/index.html?flash=false")->status, 200);
    auto https = Service().Https();
    const auto hold =
        https->Get("/guestservices/your_account/account_hold?bannedUsername=%3Cscript%3Ex%3C/script%3E");
    ASSERT_TRUE(hold);
    EXPECT_NE(hold->body.find("&lt;script&gt;x&lt;/script&gt;"), std::string::npos);
    EXPECT_EQ(hold->body.find("<script>"), std::string::npos);
    EXPECT_EQ(https->Get("/account/recoverMemberNames?affiliateName=glimmeries&appRedirect=true")->status,
              200);
    EXPECT_EQ(https->Get("/account/recoverPassword?affiliateName=glimmeries&appRedirect=true")->status, 200);
}

TEST_F(ServiceContent, RegistrationAndFairyCreationPages) {
    auto http = Service().Http();
    const std::string login = "newcomer" + std::to_string(++s_counter);
    const auto form = "application/x-www-form-urlencoded";
    EXPECT_EQ(http->Get("/bramblemere/registration?iscapp=true")->status, 200);
    EXPECT_EQ(http->Post("/bramblemere/registration",
                         "account=" + login + "&password=pass%2B%26word&display_name=Ne%27w", form)
                  ->status,
              200);
    EXPECT_EQ(
        http->Post("/bramblemere/registration", "account=" + login + "&password=another1", form)->status,
        400);
    EXPECT_EQ(http->Post("/bramblemere/registration", "account=a%27%3B--&password=another1", form)->status,
              400);
    Player player(Service());
    EXPECT_FALSE(player.SignIn(login, "pass%2B%26word").empty());
    const std::string userId =
        Player(Service())
            .Post("/api/AccountLoginRequest", "username=" + login + "&password=pass+&word")
            .Value("/AccountLoginResponse/account/@account_id");
    EXPECT_TRUE(userId.empty()); // the raw "&" ends the field and "+" is a blank: the password is "pass "

    EXPECT_EQ(http->Post("/create.html", "account=" + login + "&password=wrongpass&name=Nope", form)->status,
              400);
    EXPECT_EQ(http->Post("/create.html",
                         "account=" + login + "&password=pass%2B%26word&name=Pip&wings_color=red", form)
                  ->status,
              400);
    const auto created = http->Post(
        "/create.html",
        "account=" + login + "&password=pass%2B%26word&name=Pip%27s+%22Glow%22&wings_color=%23112233", form);
    ASSERT_TRUE(created);
    EXPECT_EQ(created->status, 200);
    const auto account = Admin({"fairy", "add", login, "Second"});
    const std::string id = account.substr(6, account.size() - 7);
    const Answer profile = Player(Service()).Get(
        "/api/FairiesProfileRequest?fairy_id=" + std::to_string(std::stoll(id) - 1) + "&dna");
    EXPECT_EQ(profile.Value("/FairiesProfileResponse/fairies/fairy/name"), "Pip's \"Glow\"");
    EXPECT_EQ(profile.Value("/FairiesProfileResponse/fairies/fairy/avatar/wings/@color"), "#112233");
}

TEST_F(ServiceContent, AdminCommandsReportRefusalsAndUsage) {
    const std::string login = NewAccount("admin");
    EXPECT_EQ(RunService({"--data", s_data->Path(), "account", "add", login, "secret1"}).exitCode, 1);
    EXPECT_EQ(RunService({"--data", s_data->Path(), "account", "ban", "nobody_at_all"}).exitCode, 1);
    EXPECT_EQ(RunService({"--data", s_data->Path(), "fairy", "add", login, "X", "--avatar",
                          "<avatar><body skin=\"red\"/></avatar>"})
                  .exitCode,
              1);
    EXPECT_EQ(RunService({"--data", s_data->Path(), "points", "set", "1", "5"}).exitCode, 1);
    EXPECT_EQ(RunService({"--data", s_data->Path(), "toy", "reset-code", "5"}).exitCode, 1);
    EXPECT_EQ(RunService({"--data", s_data->Path(), "frobnicate"}).exitCode, 2);
    const std::string fairy =
        Admin({"fairy", "add", login, "Dressed", "--avatar",
               "<avatar><body skin=\"#101010\"/><dress style=\"7\" color=\"#AABBCC\"/></avatar>"});
    const std::string fairyId = fairy.substr(6, fairy.size() - 7);
    Admin({"points", "set", fairyId, "42"});
    Player player(Service());
    player.SignIn(login, "secret1");
    EXPECT_EQ(player.Get("/api/ClickInventoryRequest?fairy_id=" + fairyId)
                  .Value("/ClickInventoryResponse/fairy_id/glintpoints"),
              "42");
    EXPECT_EQ(player.Get("/api/FairiesProfileRequest?fairy_id=" + fairyId + "&dna")
                  .Value("/FairiesProfileResponse/fairies/fairy/avatar/dress/@style"),
              "7");
}

TEST(ServiceDemo, SeedDemoBuildsTheWorldOnce) {
    TempDirectory data;
    const CommandResult seeded =
        RunService({"--data", data.Path(), "--password-iterations", "1000", "seed", "demo"});
    ASSERT_EQ(seeded.exitCode, 0) << seeded.err;
    EXPECT_EQ(RunService({"--data", data.Path(), "seed", "demo"}).exitCode, 1);
    const auto start = seeded.out.find("account moonpetal password ") + 27;
    const std::string password = seeded.out.substr(start, seeded.out.find(' ', start) - start);
    ServiceProcess service(data.Path());
    Player player(service);
    const std::string userId = player.SignIn("moonpetal", password);
    ASSERT_FALSE(userId.empty());
    const Answer fairies = player.Get("/api/FairiesProfileRequest?user_id=" + userId + "&dna");
    ASSERT_EQ(fairies.Count("/FairiesProfileResponse/fairies/fairy"), 2);
    EXPECT_EQ(fairies.Count("/FairiesProfileResponse/fairies/fairy[1]/avatar/tagalong[@ttl]"), 1);
    const std::string first = fairies.Value("/FairiesProfileResponse/fairies/fairy[1]/@fairy_id");
    const Answer inventory = player.Get("/api/ClickInventoryRequest?fairy_id=" + first);
    EXPECT_EQ(inventory.Count("/ClickInventoryResponse/fairy_id/friends/friend[status='MADE']"), 1);
    EXPECT_EQ(inventory.Count("/ClickInventoryResponse/fairy_id/friends/friend[status='PENDING']"), 1);
    EXPECT_EQ(inventory.Count("/ClickInventoryResponse/fairy_id/friends/friend[status='DECLINED']"), 1);
    EXPECT_EQ(inventory.Count("/ClickInventoryResponse/fairy_id/charms/charm"), 5);
}

TEST(ServiceRestart, StateSurvivesARestart) {
    TempDirectory data;
    ServiceProcess service(data.Path(), {"--password-iterations", "1000"});
    const CommandResult added = RunService({"--data", data.Path(), "account", "add", "sturdy", "secret1"});
    ASSERT_EQ(added.exitCode, 0);
    const CommandResult fairy = RunService({"--data", data.Path(), "fairy", "add", "sturdy", "Keeper"});
    const std::string fairyId = fairy.out.substr(6, fairy.out.size() - 7);
    Player player(service);
    player.SignIn("sturdy", "secret1");
    const Answer setup = player.Get("/api/ClickSetupRequest?type=jewelrybox&fairy_id=" + fairyId);
    const std::string box = setup.Value("/ClickSetupResponse/jewelrybox/@id");
    const std::string body = "<ClickUploadRequest><fairy_id>" + fairyId + "</fairy_id><click_id>" + box +
                             "</click_id><charm id=\"1010\"/></ClickUploadRequest>";
    EXPECT_EQ(player.Post("/api/ClickUploadRequest", body).Value("/ClickUploadResponse/charm/success"),
              "true");

    service.Restart();
    // The session, the toy and the charm are all still there.
    Player again(service);
    again.Cookie() = player.Cookie();
    const Answer inventory = again.Get("/api/ClickInventoryRequest?fairy_id=" + fairyId);
    EXPECT_EQ(inventory.Value("/ClickInventoryResponse/fairy_id/charms/charm/@id"), "1010");
    EXPECT_EQ(
        again.Get("/api/WhoAreTheyRequest?clickids=" + box).Value("/WhoAreTheyResponse/user_info/@dname"),
        "sturdy");
    EXPECT_NE(service.MoreOutput().find("certificate authority "), std::string::npos);
}

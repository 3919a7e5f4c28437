// Consent, limits, files and secrets: the service's answers to someone trying to abuse it.
#include "Database.h"
#include "ServiceFixture.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <openssl/ssl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>

using namespace ServiceTest;
using namespace std::chrono_literals;

namespace {

const std::vector<std::string> kQuick = {"--password-iterations", "1000"};

std::string Admin(const std::string& data, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--data", data, "--password-iterations", "1000"});
    const CommandResult result = RunService(arguments);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.out;
}

/// An account with one Fairy; returns the Fairy id.
std::string NewFairy(const std::string& data, const std::string& login) {
    Admin(data, {"account", "add", login, "secret1"});
    const std::string fairy = Admin(data, {"fairy", "add", login, "Fairy " + login});
    return fairy.substr(6, fairy.size() - 7);
}

std::string AnswerFriend(Player& player, const std::string& fairy, const std::string& action,
                         const std::string& friendFairy) {
    const Answer answer = player.Post("/api/ClickUploadFriendsRequest",
                                      "<ClickUploadFriendsRequest><fairy_id>" + fairy +
                                          "</fairy_id><friend><action>" + action + "</action><fairy_id>" +
                                          friendFairy + "</fairy_id></friend></ClickUploadFriendsRequest>");
    const std::string code = answer.Value("/ClickUploadFriendsResponse/friend/error/@code");
    return code.empty() ? answer.Value("/ClickUploadFriendsResponse/friend/success") : code;
}

std::string StatusWith(Player& player, const std::string& fairy, const std::string& friendFairy) {
    const Answer answer = player.Get("/api/ClickInventoryRequest?fairy_id=" + fairy);
    for (int i = 1; i <= answer.Count("/ClickInventoryResponse/fairy_id/friends/friend"); ++i) {
        const std::string at = "/ClickInventoryResponse/fairy_id/friends/friend[" + std::to_string(i) + "]";
        if (answer.Value(at + "/friend_id") == friendFairy) {
            return answer.Value(at + "/status");
        }
    }
    return "none";
}

} // namespace

TEST(ServiceConsent, OnlyTheInvitedFairyMakesAFriendshipWithinTheLimit) {
    TempDirectory data;
    ServiceProcess service(data.Path(), {"--password-iterations", "1000", "--max-friends", "2"});
    const std::string a = NewFairy(data.Path(), "alder");
    const std::string b = NewFairy(data.Path(), "birch");
    Player alder(service);
    Player birch(service);
    ASSERT_FALSE(alder.SignIn("alder", "secret1").empty());
    ASSERT_FALSE(birch.SignIn("birch", "secret1").empty());

    // Declining and then accepting on one's own is an invitation, not a friendship.
    EXPECT_EQ(AnswerFriend(alder, a, "decline", b), "true");
    EXPECT_EQ(AnswerFriend(alder, a, "accept", b), "true");
    EXPECT_EQ(StatusWith(alder, a, b), "PENDING");
    EXPECT_EQ(AnswerFriend(alder, a, "accept", b), "true");
    EXPECT_EQ(StatusWith(alder, a, b), "PENDING");
    // Only the Fairy invited turns it into a friendship.
    EXPECT_EQ(AnswerFriend(birch, b, "accept", a), "true");
    EXPECT_EQ(StatusWith(alder, a, b), "MADE");

    // The limit holds on every path: a Fairy with two friends accepts no third.
    std::vector<std::string> others;
    for (const char* login : {"cedar", "dogwood", "elm"}) {
        others.push_back(NewFairy(data.Path(), login));
        Player other(service);
        ASSERT_FALSE(other.SignIn(login, "secret1").empty());
        EXPECT_EQ(AnswerFriend(other, others.back(), "accept", a), "true"); // invites alder
    }
    EXPECT_EQ(AnswerFriend(alder, a, "accept", others[0]), "true");
    EXPECT_EQ(AnswerFriend(alder, a, "accept", others[1]), "TOO_MANY_FRIENDS");
    EXPECT_EQ(AnswerFriend(alder, a, "decline", others[2]), "true");
    EXPECT_EQ(AnswerFriend(alder, a, "accept", others[2]), "TOO_MANY_FRIENDS");
    int made = 0;
    for (const auto& other : others) {
        made += StatusWith(alder, a, other) == "MADE" ? 1 : 0;
    }
    EXPECT_EQ(made, 1);
}

TEST(ServiceFiles, DataIsForTheServiceUserOnly) {
    TempDirectory parent;
    const std::string data = parent.Path() + "/data";
    {
        ServiceProcess service(data, kQuick);
        Player player(service, false);
        player.Get("/index.html");
        // The access log's line is written after the answer has gone out: wait for it before the
        // service stops, or a loaded machine may end it first.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!std::filesystem::exists(data + "/access.log") && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    const auto mode = [](const std::string& path) {
        struct stat status {};
        EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
        return status.st_mode & 0777;
    };
    EXPECT_EQ(mode(data), 0700u);
    for (const char* name : {"glimmeries.db", "ca.key", "server.key", "access.log"}) {
        EXPECT_EQ(mode(data + "/" + name) & 0077, 0u) << name;
    }
}

TEST(ServiceFiles, SimultaneousFirstStartsMakeOneMatchingPair) {
    for (int round = 0; round < 5; ++round) {
        TempDirectory data;
        std::unique_ptr<ServiceProcess> first;
        std::unique_ptr<ServiceProcess> second;
        std::thread other([&] { second = std::make_unique<ServiceProcess>(data.Path(), kQuick); });
        first = std::make_unique<ServiceProcess>(data.Path(), kQuick);
        other.join();
        // Both serve a certificate that the directory's authority signed.
        for (ServiceProcess* service : {first.get(), second.get()}) {
            const auto answer = service->Https()->Get("/index.html");
            ASSERT_TRUE(answer) << "round " << round;
            EXPECT_EQ(answer->status, 200);
        }
    }
}

TEST(ServiceFiles, DamagedCertificatesAreNamedWithTheRenewCommand) {
    TempDirectory data;
    { ServiceProcess service(data.Path(), kQuick); }
    { std::ofstream damaged(data.Path() + "/ca.key", std::ios::trunc); }
    const CommandResult refused =
        RunService({"serve", "--data", data.Path(), "--http-port", "0", "--https-port", "0"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find(data.Path() + "/ca.key"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("certificates renew"), std::string::npos) << refused.err;
    Admin(data.Path(), {"certificates", "renew"});
    ServiceProcess renewed(data.Path(), kQuick);
    EXPECT_EQ(renewed.Https()->Get("/index.html")->status, 200);
}

TEST(ServiceFiles, AFullDiskAtFirstStartLeavesNothingBroken) {
    TempDirectory parent;
    const std::string disk = parent.Path() + "/disk";
    std::filesystem::create_directory(disk);
    if (::mount("glmtest", disk.c_str(), "tmpfs", 0, "size=1m") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno)
                     << "); the full-disk first start needs one";
    }
    struct Unmount {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{disk};
    const std::string data = disk + "/data";
    std::filesystem::create_directory(data);
    {
        std::ofstream filler(disk + "/filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {
        }
    }
    const CommandResult full = RunService({"serve", "--data", data, "--http-port", "0", "--https-port", "0"});
    EXPECT_NE(full.exitCode, 0);
    for (const char* name : {"ca.key", "ca.pem", "server.key", "server.pem"}) {
        const std::string path = data + "/" + name;
        EXPECT_TRUE(!std::filesystem::exists(path) || std::filesystem::file_size(path) > 0) << name;
    }
    std::filesystem::remove(disk + "/filler");
    ServiceProcess service(data, kQuick);
    EXPECT_EQ(service.Https()->Get("/index.html")->status, 200);
}

TEST(ServiceSessions, ExpireWhenIdleAndArePurged) {
    TempDirectory data;
    ServiceProcess service(data.Path(), {"--password-iterations", "1000", "--session-idle-seconds", "2"});
    NewFairy(data.Path(), "sleepy");
    Player player(service);
    ASSERT_FALSE(player.SignIn("sleepy", "secret1").empty());
    const auto signedIn = [&player] {
        return player.Post("/api/SessionTransferRequest", "").Value("/SessionTransferResponse/success") ==
               "true";
    };
    EXPECT_TRUE(signedIn());
    std::this_thread::sleep_for(3s); // the clock itself is what is tested
    EXPECT_FALSE(signedIn());
    Player again(service);
    ASSERT_FALSE(again.SignIn("sleepy", "secret1").empty());
    std::this_thread::sleep_for(3s);
    ASSERT_FALSE(again.SignIn("sleepy", "secret1").empty());
    Service::Database database(data.Path() + "/glimmeries.db");
    auto count = database.Prepare("SELECT COUNT(*) FROM sessions");
    ASSERT_TRUE(count.Step());
    EXPECT_EQ(count.Int(0), 1);
}

TEST(ServiceSignIn, RepeatedFailuresAreSlowedDownWithoutLyingAboutTheRightPassword) {
    TempDirectory data;
    ServiceProcess service(data.Path(), kQuick);
    NewFairy(data.Path(), "guarded");
    Player player(service);
    const auto code = [&player](const std::string& password) {
        const Answer answer =
            player.Post("/api/AccountLoginRequest", "username=guarded&password=" + password);
        return answer.Value("/AccountLoginResponse/success") == "true"
                   ? std::string("ok")
                   : answer.Value("/AccountLoginResponse/error/@code");
    };
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(code("wrong" + std::to_string(i)), "INVALID_PASSWORD") << i;
    }
    EXPECT_EQ(code("secret1"), "TOO_MANY_ATTEMPTS");
    EXPECT_EQ(code("wrong"), "TOO_MANY_ATTEMPTS");
    std::this_thread::sleep_for(1500ms); // the first wait is one second
    EXPECT_EQ(code("secret1"), "ok");
}

TEST(ServiceContent, SymbolicLinksDoNotLeadOutOfTheContentDirectory) {
    TempDirectory data;
    TempDirectory content;
    std::filesystem::create_symlink("/etc/passwd", content.Path() + "/passwd");
    { std::ofstream(content.Path() + "/real.txt") << "served\n"; }
    ServiceProcess service(data.Path(), {"--password-iterations", "1000", "--content", content.Path()});
    auto client = service.Http();
    EXPECT_EQ(client->Get("/bramblemere/game/glimmeries/english/real.txt")->body, "served\n");
    const auto linked = client->Get("/bramblemere/game/glimmeries/english/passwd");
    EXPECT_EQ(linked->status, 404);
    EXPECT_EQ(linked->body.find("root:"), std::string::npos);
}

TEST(ServiceAdmin, ReportsEscapeControlCharactersAndIterationsHaveAFloor) {
    TempDirectory data;
    {
        ServiceProcess service(data.Path(), kQuick);
        service.Http()->Get("/b/ss/glmdesktopapp/1/cb?gn=glimmeries:desktop:%1B%5B2Jred%07");
    }
    const std::string reports = Admin(data.Path(), {"reports"});
    EXPECT_EQ(reports.find('\x1b'), std::string::npos);
    EXPECT_EQ(reports.find('\x07'), std::string::npos);
    EXPECT_NE(reports.find("\\x1b[2Jred\\x07"), std::string::npos) << reports;

    for (const char* iterations : {"0", "1", "999"}) {
        const CommandResult refused = RunService(
            {"--data", data.Path(), "--password-iterations", iterations, "account", "add", "low", "secret1"});
        EXPECT_EQ(refused.exitCode, 2) << iterations;
        EXPECT_NE(refused.err.find("1000"), std::string::npos) << refused.err;
    }
}

TEST(ServiceAdmin, SeedDemoPrintsEachToyUnderItsOwnAccount) {
    TempDirectory data;
    const std::string out = Admin(data.Path(), {"seed", "demo"});
    const auto first = out.find("account ");
    const auto second = out.find("account ", first + 1);
    const auto box = out.find("jewelrybox ");
    const auto game = out.find("  game ");
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(box, second);
    EXPECT_LT(game, second);
}

TEST(ServiceTls, OnlyAeadCiphersUnderTls12) {
    TempDirectory data;
    ServiceProcess service(data.Path(), kQuick);
    const auto handshake = [&service](const char* ciphers) {
        std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> context(SSL_CTX_new(TLS_client_method()),
                                                                  SSL_CTX_free);
        SSL_CTX_set_min_proto_version(context.get(), TLS1_2_VERSION);
        SSL_CTX_set_max_proto_version(context.get(), TLS1_2_VERSION);
        SSL_CTX_set_cipher_list(context.get(), ciphers);
        std::unique_ptr<BIO, decltype(&BIO_free_all)> bio(BIO_new_ssl_connect(context.get()), BIO_free_all);
        BIO_set_conn_hostname(bio.get(), ("127.0.0.1:" + std::to_string(service.HttpsPort())).c_str());
        return BIO_do_handshake(bio.get()) == 1;
    };
    EXPECT_TRUE(handshake("ECDHE-ECDSA-AES128-GCM-SHA256"));
    EXPECT_TRUE(handshake("ECDHE-ECDSA-CHACHA20-POLY1305"));
    EXPECT_FALSE(handshake("ECDHE-ECDSA-AES128-SHA"));
    EXPECT_FALSE(handshake("ECDHE-ECDSA-AES256-SHA384"));
}

TEST(ServiceDurability, KillDuringWritesLosesNoAcknowledgedWrite) {
    TempDirectory data;
    ServiceProcess service(data.Path(), kQuick);
    const std::string fairy = NewFairy(data.Path(), "durable");
    Player player(service, false);
    ASSERT_FALSE(player.SignIn("durable", "secret1").empty());
    const std::string toy = player.Get("/api/ClickSetupRequest?type=game&fairy_id=" + fairy)
                                .Value("/ClickSetupResponse/game/@id");
    ASSERT_FALSE(toy.empty());
    std::atomic<int> acknowledged{0};
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        while (!stop) {
            auto client = service.Http();
            client->set_read_timeout(2);
            httplib::Headers headers{{"Cookie", player.Cookie()}};
            const auto answer =
                client->Post("/api/ClickUploadRequest", headers,
                             "<ClickUploadRequest><fairy_id>" + fairy + "</fairy_id><click_id>" + toy +
                                 "</click_id><points>10</points></ClickUploadRequest>",
                             "text/xml");
            if (!answer) {
                break;
            }
            if (answer->body.find("<success>true</success>") != std::string::npos) {
                ++acknowledged;
            }
        }
    });
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (acknowledged < 30 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms); // polls the writer's progress
    }
    EXPECT_GE(acknowledged.load(), 30);
    service.Kill();
    stop = true;
    writer.join();
    {
        Service::Database database(data.Path() + "/glimmeries.db");
        auto check = database.Prepare("PRAGMA integrity_check");
        ASSERT_TRUE(check.Step());
        EXPECT_EQ(check.Text(0), "ok");
    }
    service.Restart();
    Player reader(service);
    ASSERT_FALSE(reader.SignIn("durable", "secret1").empty());
    const std::string points = reader.Get("/api/ClickInventoryRequest?fairy_id=" + fairy)
                                   .Value("/ClickInventoryResponse/fairy_id/glintpoints");
    ASSERT_FALSE(points.empty());
    EXPECT_GE(std::stoi(points), acknowledged.load() * 10);
}

// The service under slow, idle, flooding and pipelining clients: nobody is locked out and
// nothing grows without bound. Deadlines here are correctness bounds, generous on purpose.
#include "RawClient.h"
#include "ServiceFixture.h"

#include <memory>
#include <thread>
#include <vector>

using namespace ServiceTest;
using namespace std::chrono_literals;

namespace {

const std::vector<std::string> kQuick = {"--password-iterations", "1000", "--request-seconds", "2"};

} // namespace

TEST(ServiceConnections, IdleAndTricklingClientsLockNobodyOut) {
    TempDirectory data;
    ServiceProcess service(data.Path(), kQuick);
    std::vector<std::unique_ptr<RawConnection>> idle;
    for (int i = 0; i < 200; ++i) {
        auto connection = std::make_unique<RawConnection>(service.HttpPort());
        ASSERT_TRUE(connection->Connected());
        ASSERT_TRUE(connection->Send(KeepAliveGet("/index.html")));
        ASSERT_EQ(CountAnswers(connection->ReadAnswers(1, 10s)), 1) << "idle client " << i;
        idle.push_back(std::move(connection));
    }
    std::vector<std::unique_ptr<RawConnection>> trickling;
    for (int i = 0; i < 50; ++i) {
        auto connection = std::make_unique<RawConnection>(service.HttpPort());
        ASSERT_TRUE(connection->Send("GET /index.html HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: 1\r\n"));
        trickling.push_back(std::move(connection));
    }
    // A fresh client is answered while all of them hang on.
    auto fresh = service.Http();
    fresh->set_connection_timeout(5);
    fresh->set_read_timeout(5);
    const auto answer = fresh->Get("/index.html");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    // The trickling ones are cut off once their header time is over, however slowly they send.
    for (int i = 0; i < 4; ++i) {
        trickling.front()->Send("X-More: " + std::to_string(i) + "\r\n");
        std::this_thread::sleep_for(300ms); // the trickle itself: a line every 300 ms
    }
    EXPECT_TRUE(trickling.front()->ClosedWithin(10s));
    EXPECT_TRUE(trickling.back()->ClosedWithin(10s));
}

TEST(ServiceConnections, EveryClientOfAKeepAliveCrowdIsServed) {
    TempDirectory data;
    ServiceProcess service(data.Path(), kQuick);
    constexpr int kClients = 200;
    constexpr int kRounds = 5;
    std::vector<std::unique_ptr<RawConnection>> clients;
    for (int i = 0; i < kClients; ++i) {
        clients.push_back(std::make_unique<RawConnection>(service.HttpPort()));
        ASSERT_TRUE(clients.back()->Connected());
    }
    int served = 0;
    for (int round = 0; round < kRounds; ++round) {
        for (auto& client : clients) {
            ASSERT_TRUE(client->Send(KeepAliveGet("/api/FairiesProfileRequest?user_id=70001")));
        }
        for (auto& client : clients) {
            served += CountAnswers(client->ReadAnswers(1, 10s));
        }
    }
    EXPECT_EQ(served, kClients * kRounds);
}

TEST(ServiceConnections, PipelinedRequestsAreAnsweredInOrder) {
    TempDirectory data;
    ServiceProcess service(data.Path(), kQuick);
    RawConnection connection(service.HttpPort());
    std::string requests;
    for (const char* path : {"/api/FairiesProfileRequest?user_id=1", "/api/NoSuchRequest", "/index.html"}) {
        requests += KeepAliveGet(path);
    }
    ASSERT_TRUE(connection.Send(requests));
    const std::string text = connection.ReadAnswers(3, 10s);
    ASSERT_EQ(CountAnswers(text), 3) << text;
    const auto profile = text.find("FairiesProfileResponse");
    const auto missing = text.find("HTTP/1.1 404");
    const auto page = text.find("<html", missing);
    EXPECT_LT(profile, missing);
    EXPECT_NE(page, std::string::npos);
}

TEST(ServiceConnections, HeaderFloodsAreRefusedWithFlatMemory) {
    TempDirectory data;
    ServiceProcess service(data.Path(), kQuick);
    // Many headers within the size bound: refused by count.
    {
        RawConnection connection(service.HttpPort());
        std::string request = "GET /index.html HTTP/1.1\r\nHost: 127.0.0.1\r\n";
        for (int i = 0; i < 150; ++i) {
            request += "a: b\r\n";
        }
        connection.Send(request + "\r\n");
        EXPECT_EQ(connection.ReadAnswers(1, 10s).substr(0, 12), "HTTP/1.1 431");
    }
    const long before = ResidentKiB(service.Pid());
    ASSERT_GT(before, 0);
    // Four floods of 2,000,000 short headers at once: each is cut off after the size bound.
    std::vector<std::thread> floods;
    std::vector<std::string> answers(4);
    for (int i = 0; i < 4; ++i) {
        floods.emplace_back([&service, &answers, i] {
            RawConnection connection(service.HttpPort());
            std::string chunk;
            for (int line = 0; line < 10000; ++line) {
                chunk += "a: b\r\n";
            }
            connection.Send("GET /index.html HTTP/1.1\r\nHost: 127.0.0.1\r\n");
            for (int part = 0; part < 200 && connection.Send(chunk); ++part) {
            }
            answers[static_cast<std::size_t>(i)] = connection.ReadAnswers(1, 10s);
        });
    }
    for (auto& flood : floods) {
        flood.join();
    }
    for (const auto& answer : answers) {
        EXPECT_EQ(answer.substr(0, 12), "HTTP/1.1 431") << answer.substr(0, 200);
    }
    const long after = ResidentKiB(service.Pid());
    EXPECT_LT(after - before, 20 * 1024)
        << "resident memory grew from " << before << " to " << after << " KiB";
    auto client = service.Http();
    EXPECT_EQ(client->Get("/index.html")->status, 200);
}

TEST(ServicePorts, ATakenPortIsAnErrorThatNamesIt) {
    TempDirectory first;
    TempDirectory second;
    ServiceProcess service(first.Path(), kQuick);
    const std::string port = std::to_string(service.HttpPort());
    const CommandResult taken =
        RunService({"serve", "--data", second.Path(), "--http-port", port, "--https-port", "0"});
    EXPECT_NE(taken.exitCode, 0);
    EXPECT_NE(taken.err.find("port " + port), std::string::npos) << taken.err;
    EXPECT_NE(taken.err.find("already in use"), std::string::npos) << taken.err;

    for (const char* bad : {"70000", "65536", "-1"}) {
        const CommandResult refused =
            RunService({"serve", "--data", second.Path(), "--http-port", bad, "--https-port", "0"});
        EXPECT_EQ(refused.exitCode, 2) << bad;
        EXPECT_EQ(refused.out.find("listening"), std::string::npos) << bad;
    }
    EXPECT_NE(RunService({"serve", "--data", second.Path(), "--http-port", "0", "--https-port", "70000"})
                  .err.find("70000"),
              std::string::npos);
}

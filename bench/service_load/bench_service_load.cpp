// Many keep-alive clients against the real service: requests per second, latency percentiles
// and how many clients got no answer at all. Usage:
//   bench_service_load [CLIENTS] [SECONDS]     (defaults 200 and 20)
#include "RawClient.h"
#include "tests/support/ServiceProcess.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <httplib.h>
#include <mutex>
#include <thread>
#include <vector>

using namespace ServiceTest;
using Clock = std::chrono::steady_clock;

namespace {

struct Figures {
    std::vector<double> latencies; // milliseconds
    int starved = 0;
};

Figures Run(int port, int clients, std::chrono::seconds duration, const std::string& request) {
    Figures figures;
    std::mutex mutex;
    std::atomic<bool> go{false};
    const auto until = Clock::now() + duration + std::chrono::seconds(1);
    std::vector<std::thread> threads;
    for (int i = 0; i < clients; ++i) {
        threads.emplace_back([&] {
            RawConnection connection(port);
            std::vector<double> mine;
            while (!go) {
                std::this_thread::yield();
            }
            const auto end = Clock::now() + duration;
            while (connection.Connected() && Clock::now() < end) {
                const auto start = Clock::now();
                if (!connection.Send(request) ||
                    CountAnswers(connection.ReadAnswers(
                        1, std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()))) !=
                        1) {
                    break;
                }
                mine.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            }
            std::lock_guard lock(mutex);
            figures.starved += mine.empty() ? 1 : 0;
            figures.latencies.insert(figures.latencies.end(), mine.begin(), mine.end());
        });
    }
    go = true;
    for (auto& thread : threads) {
        thread.join();
    }
    std::sort(figures.latencies.begin(), figures.latencies.end());
    return figures;
}

void Print(const char* name, const Figures& figures, std::chrono::seconds duration) {
    const auto& l = figures.latencies;
    const auto at = [&l](double share) {
        return l.empty() ? 0.0 : l[static_cast<std::size_t>(share * (l.size() - 1))];
    };
    std::printf("%-6s %9.0f req/s  p50 %6.2f ms  p99 %6.2f ms  max %7.2f ms  starved clients %d\n", name,
                static_cast<double>(l.size()) / static_cast<double>(duration.count()), at(0.5), at(0.99),
                l.empty() ? 0.0 : l.back(), figures.starved);
}

} // namespace

int main(int argc, char** argv) {
    const int clients = argc > 1 ? std::atoi(argv[1]) : 200;
    const std::chrono::seconds duration(argc > 2 ? std::atoi(argv[2]) : 20);
    TempDirectory data;
    const auto admin = [&data](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--data", data.Path(), "--password-iterations", "1000"});
        return RunService(arguments).out;
    };
    admin({"account", "add", "loadtest", "secret1"});
    std::string fairy = admin({"fairy", "add", "loadtest", "Loady"});
    fairy = fairy.substr(6, fairy.size() - 7);
    ServiceProcess service(data.Path(), {"--password-iterations", "1000"});
    auto client = service.Http();
    const auto login = client->Post("/api/AccountLoginRequest", "username=loadtest&password=secret1",
                                    "application/x-www-form-urlencoded");
    const std::string setCookie = login->get_header_value("Set-Cookie");
    const std::string cookie = setCookie.substr(0, setCookie.find(';'));
    httplib::Headers headers{{"Cookie", cookie}};
    const std::string toyAnswer =
        client->Get(("/api/ClickSetupRequest?type=game&fairy_id=" + fairy).c_str(), headers)->body;
    const auto idAt = toyAnswer.find("id=\"") + 4;
    const std::string toy = toyAnswer.substr(idAt, toyAnswer.find('"', idAt) - idAt);

    const std::string read =
        "GET /api/FairiesProfileRequest?fairy_id=" + fairy + "&dna HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    const std::string body = "<ClickUploadRequest><fairy_id>" + fairy + "</fairy_id><click_id>" + toy +
                             "</click_id><points>10</points></ClickUploadRequest>";
    const std::string write =
        "POST /api/ClickUploadRequest HTTP/1.1\r\nHost: 127.0.0.1\r\nCookie: " + cookie +
        "\r\nContent-Type: text/xml\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    std::printf("%d keep-alive clients, %lld s each\n", clients, static_cast<long long>(duration.count()));
    Print("read", Run(service.HttpPort(), clients, duration, read), duration);
    Print("write", Run(service.HttpPort(), clients, duration, write), duration);
    return 0;
}

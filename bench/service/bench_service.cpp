// Requests per second and latency percentiles of the service on loopback, over keep-alive
// HTTPS connections as the application makes them, and the cost of a connection's first request
// against the later ones.
#include "tests/support/ServiceProcess.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <httplib.h>
#include <mutex>
#include <vector>

using namespace ServiceTest;

namespace {

struct World {
    TempDirectory data;
    std::unique_ptr<ServiceProcess> service;
    std::string cookie;
    std::string fairyId;
    std::string userId;

    World() {
        RunService({"--data", data.Path(), "account", "add", "benchmark", "secret1"});
        const auto fairy = RunService({"--data", data.Path(), "fairy", "add", "benchmark", "Swift"}).out;
        fairyId = fairy.substr(6, fairy.size() - 7);
        service = std::make_unique<ServiceProcess>(data.Path());
        auto client = service->Https();
        const auto login = client->Post("/api/AccountLoginRequest", "username=benchmark&password=secret1",
                                        "application/x-www-form-urlencoded");
        const std::string header = login->get_header_value("Set-Cookie");
        cookie = header.substr(0, header.find(';'));
    }
};

World& TheWorld() {
    static World world;
    return world;
}

std::mutex g_latencyMutex;
std::vector<double> g_latencies;

void Load(benchmark::State& state, const std::string& target) {
    World& world = TheWorld();
    auto client = world.service->Https();
    client->set_keep_alive(true);
    httplib::Headers headers{{"Cookie", world.cookie}};
    std::vector<double> mine;
    if (state.thread_index() == 0) {
        std::lock_guard lock(g_latencyMutex);
        g_latencies.clear();
    }
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto result = client->Get(target.c_str(), headers);
        mine.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (!result || result->status != 200 ||
            result->body.find("<success>true</success>") == std::string::npos) {
            state.SkipWithError("request failed");
            break;
        }
    }
    std::lock_guard lock(g_latencyMutex);
    g_latencies.insert(g_latencies.end(), mine.begin(), mine.end());
    if (state.thread_index() == 0) {
        // Percentiles over this thread's share and whatever the others have merged so far.
        std::vector<double> all = g_latencies;
        std::sort(all.begin(), all.end());
        if (!all.empty()) {
            state.counters["p50_ms"] = all[all.size() / 2];
            state.counters["p99_ms"] = all[std::min(all.size() - 1, all.size() * 99 / 100)];
        }
    }
    state.counters["requests_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_FairiesProfileRequest(benchmark::State& state) {
    Load(state, "/api/FairiesProfileRequest?fairy_id=" + TheWorld().fairyId + "&dna");
}

void BM_ClickInventoryRequest(benchmark::State& state) {
    Load(state, "/api/ClickInventoryRequest?fairy_id=" + TheWorld().fairyId);
}

// First request on a fresh keep-alive connection (connect and TLS handshake included) against
// the mean of the next nine on the same connection.
void BM_FirstAgainstLaterRequests(benchmark::State& state) {
    World& world = TheWorld();
    const std::string target = "/api/FairiesProfileRequest?fairy_id=" + world.fairyId;
    double first = 0;
    double later = 0;
    for (auto _ : state) {
        auto client = world.service->Https();
        client->set_keep_alive(true);
        for (int i = 0; i < 10; ++i) {
            const auto start = std::chrono::steady_clock::now();
            const auto result = client->Get(target.c_str());
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            if (!result) {
                state.SkipWithError("request failed");
                return;
            }
            (i == 0 ? first : later) += ms;
        }
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["first_ms"] = first / runs;
    state.counters["later_ms"] = later / runs / 9;
}

} // namespace

BENCHMARK(BM_FairiesProfileRequest)->Threads(4)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_ClickInventoryRequest)->Threads(4)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_FirstAgainstLaterRequests)->Iterations(50);

BENCHMARK_MAIN();

// The friendship page's refresh: 10 friendships touched on the bracelet and
// 50 friendships on the service, against the tests' loopback server. Reports
// the time per refresh and the requests it makes.

#ifdef GLM_BENCH_WITH_SERVER

#include "FakeHttpServer.h"
#include "common/Ex/Logger.h"
#include "device/SupportedToys.h"
#include "device/Toy.h"
#include "webapi/FriendCollector.h"
#include "webapi/WebApi.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

class QuietLogger : public Ex::Logger {
public:
    void MoveContentsAndReOpen(const std::string&) override {}
    StringFormat GetStringFormat() const override { return Text; }
    void Write(const std::string&) override {}
};

void BM_FriendshipRefresh(benchmark::State& state) {
    const int braceletFriends = static_cast<int>(state.range(0));
    const int webFriends = static_cast<int>(state.range(1));
    QuietLogger quiet;
    Ex::ScopedLogger scoped(&quiet);
    WebApiTest::FakeHttpServer server;
    Glm::Toy bracelet(1, GlmDev::kBraceletProductId);
    Glm::Toy::Memory memory{};
    Glm::Toy::SetWord(memory, 0, 4242);
    for (int i = 0; i < braceletFriends; ++i) {
        const std::uint32_t clickId = 0x80000100u + static_cast<std::uint32_t>(i);
        Glm::Toy::SetWord(memory, Glm::Toy::kFirstSlotWord + static_cast<std::size_t>(i),
                          static_cast<std::int32_t>(clickId));
        const std::string n = std::to_string(i);
        server.Put("/api/FairiesProfileRequest?click_id=" + std::to_string(clickId),
                   "<FairiesProfileResponse><success>true</success><user_name>Home " + n +
                       "</user_name><fairies><fairy fairy_id=\"" + std::to_string(1000 + i) + "\"><user_id>" +
                       std::to_string(2000 + i) + "</user_id><name>Fairy " + n +
                       "</name><gift_id>2001</gift_id><bracelet><message_id>3</message_id></bracelet></fairy>"
                       "</fairies></FairiesProfileResponse>");
    }
    bracelet.SetImage(memory);
    bracelet.SetOwnerUserId("1");
    bracelet.SetFairyId("10");
    server.Put("/api/FairiesFriendsRequest",
               "<FairiesFriendsResponse><success>true</success><account_friends>"
               "<account_friend user_id=\"2003\">Home 3</account_friend>"
               "</account_friends></FairiesFriendsResponse>");
    std::string friends;
    for (int i = 0; i < webFriends; ++i) {
        const std::string n = std::to_string(i);
        friends += "<friend dname=\"Web " + n + "\"><gift>0</gift><message>0</message><fairy><user_id>" +
                   std::to_string(5000 + i) + "</user_id><name>Web Fairy " + n +
                   "</name></fairy><friend_id>" + std::to_string(6000 + i) +
                   "</friend_id><status>MADE</status></friend>";
    }
    server.Put("/api/ClickInventoryRequest",
               "<ClickInventoryResponse><success>true</success><fairy_id><friends>" + friends +
                   "</friends></fairy_id></ClickInventoryResponse>");
    Glm::WebApi api;
    api.Init(nullptr, server.Origin() + "/api/", "1");

    std::vector<Glm::FriendRecord> list;
    Glm::CollectStatistics statistics;
    for (auto _ : state) {
        Glm::CollectFriends(api, bracelet, list, &statistics);
        benchmark::DoNotOptimize(list.data());
    }
    state.counters["entries"] = static_cast<double>(list.size());
    state.counters["requests"] = statistics.Total();
    state.counters["profile_requests"] = statistics.profileRequests;
    state.counters["requests_seen"] =
        static_cast<double>(server.Requests().size()) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FriendshipRefresh)->Args({10, 50})->Unit(benchmark::kMillisecond);

} // namespace

#endif

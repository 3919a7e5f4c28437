// The charm catalogue's walk over lists of growing length (against a query
// per charm by position, which grows quadratically), and the web client's
// own cost per call beside the transport.

#include "common/Ex/Logger.h"
#include "common/Web/HttpConnection.h"
#include "common/Web/Url.h"
#include "common/Xml/Parser.h"
#include "webapi/CharmInventory.h"
#include "webapi/InventoryAnswer.h"
#include "webapi/WebApi.h"

#ifdef GLM_BENCH_WITH_SERVER
#include "FakeHttpServer.h"
#endif

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

std::string CharmList(int count) {
    std::string charms = "<ClickCharmList><charms>";
    std::string copy = "<copy>";
    for (int i = 0; i < count; ++i) {
        const std::string id = std::to_string(1000 + i);
        charms += "<charm id=\"" + id + "\"/>";
        copy += "<_" + id + "><name>Charm " + id + "</name><inGameItem>Item " + id + "</inGameItem></_" + id +
                ">";
    }
    return charms + "</charms>" + copy + "</copy></ClickCharmList>";
}

// Parse and walk, as a catalogue load does once the list has arrived.
void BM_CharmCatalogue(benchmark::State& state) {
    const std::string text = CharmList(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Xml::Parser list(text);
        std::vector<Glm::CharmRecord> charms;
        Glm::CharmInventory::ReadCharms(list, charms);
        benchmark::DoNotOptimize(charms.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CharmCatalogue)->Arg(40)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// For comparison: one query per charm by its position.
void BM_CharmCataloguePerPositionQueries(benchmark::State& state) {
    const std::string text = CharmList(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Xml::Parser list(text);
        const std::int32_t count = list.GetNodeCount("/ClickCharmList/charms/charm");
        std::vector<std::string> names;
        for (std::int32_t i = 1; i <= count; ++i) {
            const std::string id =
                list.GetAttribute("/ClickCharmList/charms/charm[" + std::to_string(i) + "]/@id");
            names.push_back(list.GetLeafElementText("/ClickCharmList/copy/_" + id + "/name"));
        }
        benchmark::DoNotOptimize(names.data());
    }
}
BENCHMARK(BM_CharmCataloguePerPositionQueries)->Arg(40)->Arg(2000)->Unit(benchmark::kMillisecond);

std::string InventoryAnswer(int friends) {
    std::string text = "<ClickInventoryResponse><success>true</success><fairy_id><friends>";
    for (int i = 0; i < friends; ++i) {
        const std::string n = std::to_string(i);
        text += "<friend dname=\"Friend " + n + "\"><gift>2001</gift><message>3</message><fairy><user_id>" +
                n + "</user_id><name>Fairy " + n + "</name></fairy><friend_id>" + n +
                "</friend_id><status>MADE</status></friend>";
    }
    return text + "</friends><charms><charm id=\"1001\"/></charms></fairy_id></ClickInventoryResponse>";
}

class QuietLogger : public Ex::Logger {
public:
    void MoveContentsAndReOpen(const std::string&) override {}
    StringFormat GetStringFormat() const override { return Text; }
    void Write(const std::string&) override {}
};

#ifdef GLM_BENCH_WITH_SERVER
// A whole call over loopback: request, answer, parse and outputs.
void BM_InventoryCall(benchmark::State& state) {
    QuietLogger logger;
    Ex::ScopedLogger scoped(&logger);
    WebApiTest::FakeHttpServer server;
    server.Put("/api/ClickInventoryRequest", InventoryAnswer(static_cast<int>(state.range(0))));
    Glm::WebApi api;
    api.Init(nullptr, server.Origin() + "/api/", "0");
    for (auto _ : state) {
        std::vector<Glm::FriendRecord> friends;
        std::vector<std::int32_t> charms;
        if (api.ObtainGlimmeriesInventory("7", friends, charms) != 0) {
            state.SkipWithError("call failed");
            break;
        }
    }
}
BENCHMARK(BM_InventoryCall)->Arg(1)->Arg(50)->Unit(benchmark::kMicrosecond);

// The transport alone for the same request and answer.
void BM_InventoryTransportOnly(benchmark::State& state) {
    WebApiTest::FakeHttpServer server;
    server.Put("/api/ClickInventoryRequest", InventoryAnswer(static_cast<int>(state.range(0))));
    const Web::Url url(server.Origin() + "/api/ClickInventoryRequest?fairy_id=7");
    Web::HttpConnection connection("bench_webapi", url);
    for (auto _ : state) {
        const auto transaction = connection.DoGet(url.GetObjectName(), Web::ResourceType::Text);
        benchmark::DoNotOptimize(transaction->GetResponseBodyAsString());
    }
}
BENCHMARK(BM_InventoryTransportOnly)->Arg(1)->Arg(50)->Unit(benchmark::kMicrosecond);
#endif

// The client's own work on an arrived answer: parse, then the reader the
// inventory call itself uses.
void BM_InventoryAnswerReading(benchmark::State& state) {
    const std::string text = InventoryAnswer(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Xml::Parser answer(text);
        std::vector<Glm::FriendRecord> friends;
        std::vector<std::int32_t> charms;
        Glm::ReadInventoryAnswer(answer, "/ClickInventoryResponse", true, friends, charms);
        benchmark::DoNotOptimize(friends.data());
        benchmark::DoNotOptimize(charms.data());
    }
}
BENCHMARK(BM_InventoryAnswerReading)->Arg(1)->Arg(50)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

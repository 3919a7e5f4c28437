// Cost of one web-service style call (GET, body as text, parse, three
// queries) through the transport, against the same work done with a bare
// reused libcurl handle and libxml2; parse+query cost by answer size; and
// steady-state HTTPS against HTTP on the same kind of server.
#include "common/Web/HttpConnection.h"
#include "common/Web/TlsTrust.h"
#include "common/Xml/Parser.h"
#include "tests/support/TestPki.h"
#include "tests/support/TestServer.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <libxml/parser.h>
#include <libxml/xpath.h>
#include <memory>

namespace {

std::string MakeAnswer(std::size_t targetSize) {
    std::string xml = "<?xml version=\"1.0\"?>\n<answer code=\"0\">\n";
    for (int i = 0; xml.size() < targetSize; ++i) {
        xml += "  <fairy id=\"" + std::to_string(i) + "\"><name>Fairy number " + std::to_string(i) +
               "</name><points>" + std::to_string(i * 7) + "</points></fairy>\n";
    }
    return xml + "</answer>\n";
}

// Both servers live for the whole program.
struct Servers {
    Servers()
        : pki(WebTest::MakeTestPki(directory.Path(), "bench")), https(pki.certificateFile, pki.keyFile) {
        for (WebTest::TestServer* server : {&http, &https}) {
            server->Routes().Get("/api/answer", [this](const httplib::Request&, httplib::Response& res) {
                res.set_content(answer, "text/xml");
            });
        }
        httpPort = static_cast<std::uint16_t>(http.Start());
        httpsPort = static_cast<std::uint16_t>(https.Start());
        Web::SetExtraCaFile(pki.caFile);
    }
    std::string answer = MakeAnswer(1024);
    WebTest::TempDirectory directory;
    WebTest::TestPki pki;
    WebTest::TestServer http;
    WebTest::TestServer https;
    std::uint16_t httpPort = 0;
    std::uint16_t httpsPort = 0;
};

Servers& GetServers() {
    static Servers servers;
    return servers;
}

void QueryThree(Xml::Parser& parser) {
    benchmark::DoNotOptimize(parser.GetAttribute("/answer/@code"));
    benchmark::DoNotOptimize(parser.GetLeafElementText("/answer/fairy[3]/name"));
    benchmark::DoNotOptimize(parser.GetNodeCount("/answer/fairy"));
}

void TransportCall(benchmark::State& state, bool secure) {
    Servers& servers = GetServers();
    Web::HttpConnection connection("bench_web", "127.0.0.1", secure ? servers.httpsPort : servers.httpPort,
                                   secure);
    long opened = 0;
    for (auto _ : state) {
        auto transaction = connection.DoGet("/api/answer", Web::Text);
        opened += transaction->GetNewConnectionCount();
        Xml::Parser parser(transaction->GetResponseBodyAsString());
        QueryThree(parser);
    }
    state.counters["connections"] = static_cast<double>(opened);
}

void BM_TransportHttp(benchmark::State& state) {
    TransportCall(state, false);
}
void BM_TransportHttps(benchmark::State& state) {
    TransportCall(state, true);
}

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

double EvalCount(xmlXPathContext* context, const char* xpath) {
    xmlXPathObject* result = xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(xpath), context);
    const double count = result != nullptr && result->nodesetval != nullptr ? result->nodesetval->nodeNr : 0;
    xmlXPathFreeObject(result);
    return count;
}

void BM_BareCurlAndLibxml2(benchmark::State& state) {
    Servers& servers = GetServers();
    CURL* easy = curl_easy_init();
    const std::string url = "http://127.0.0.1:" + std::to_string(servers.httpPort) + "/api/answer";
    std::string body;
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Collect);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
    long opened = 0;
    for (auto _ : state) {
        body.clear();
        curl_easy_perform(easy);
        long connects = 0;
        curl_easy_getinfo(easy, CURLINFO_NUM_CONNECTS, &connects);
        opened += connects;
        xmlDoc* document =
            xmlReadMemory(body.data(), static_cast<int>(body.size()), nullptr, nullptr, XML_PARSE_NONET);
        xmlXPathContext* context = xmlXPathNewContext(document);
        benchmark::DoNotOptimize(EvalCount(context, "/answer/@code"));
        benchmark::DoNotOptimize(EvalCount(context, "/answer/fairy[3]/name"));
        benchmark::DoNotOptimize(EvalCount(context, "/answer/fairy"));
        xmlXPathFreeContext(context);
        xmlFreeDoc(document);
    }
    curl_easy_cleanup(easy);
    state.counters["connections"] = static_cast<double>(opened);
}

void BM_HttpsNewConnectionEachCall(benchmark::State& state) {
    Servers& servers = GetServers();
    for (auto _ : state) {
        Web::HttpConnection connection("bench_web", "127.0.0.1", servers.httpsPort, true);
        benchmark::DoNotOptimize(connection.DoGet("/api/answer", Web::Text)->GetResponseBodyAsString());
    }
}

void BM_ParseAndQuery(benchmark::State& state) {
    const std::string answer = MakeAnswer(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        Xml::Parser parser(answer);
        QueryThree(parser);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(answer.size()));
}

} // namespace

BENCHMARK(BM_TransportHttp)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareCurlAndLibxml2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TransportHttps)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HttpsNewConnectionEachCall)->Unit(benchmark::kMicrosecond)->Iterations(20);
BENCHMARK(BM_ParseAndQuery)->Arg(1 << 10)->Arg(100 << 10)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);

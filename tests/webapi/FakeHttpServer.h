#pragma once
// A small HTTP server on a free loopback port that answers fixed texts by
// path (404 for anything else) and remembers the requests it saw. Kept
// behind this interface because the HTTP library's headers bring OpenSSL's
// global name UI, which clashes with the message layer's namespace.

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace WebApiTest {

struct SeenRequest {
    std::string method;
    std::string path;
    /// Path and query as sent.
    std::string target;
    std::string body;
    /// Query and form fields, percent-decoded.
    std::multimap<std::string, std::string> params;
};

class FakeHttpServer {
public:
    FakeHttpServer();
    ~FakeHttpServer();
    FakeHttpServer(const FakeHttpServer&) = delete;
    FakeHttpServer& operator=(const FakeHttpServer&) = delete;

    /// Serves xml at path from now on. A path with a query ("/api/R?id=5")
    /// answers only that exact request and wins over the bare path.
    void Put(const std::string& path, const std::string& xml);
    std::vector<SeenRequest> Requests() const;
    int Port() const;
    /// "http://127.0.0.1:PORT"
    std::string Origin() const;
    /// A port nothing listens on (bound once, then released).
    static int ClosedPort();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace WebApiTest

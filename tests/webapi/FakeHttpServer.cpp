#include "FakeHttpServer.h"

#include "tests/support/TestServer.h"

#include <mutex>

namespace WebApiTest {

struct FakeHttpServer::State {
    WebTest::TestServer server;
    int port = 0;
    mutable std::mutex mutex;
    std::map<std::string, std::string> files;
    std::vector<SeenRequest> seen;
};

FakeHttpServer::FakeHttpServer() : m_state(std::make_unique<State>()) {
    State& state = *m_state;
    const auto handler = [&state](const httplib::Request& request, httplib::Response& response) {
        std::lock_guard lock(state.mutex);
        SeenRequest seen{request.method, request.path, request.target, request.body, {}};
        for (const auto& [key, value] : request.params) {
            seen.params.emplace(key, value);
        }
        state.seen.push_back(std::move(seen));
        auto found = state.files.find(request.target);
        if (found == state.files.end()) {
            found = state.files.find(request.path);
        }
        if (found == state.files.end()) {
            response.status = 404;
            return;
        }
        response.set_content(found->second, "text/xml");
    };
    state.server.Routes().Get(".*", handler);
    state.server.Routes().Post(".*", handler);
    state.port = state.server.Start();
}

FakeHttpServer::~FakeHttpServer() {
    m_state->server.Stop();
}

void FakeHttpServer::Put(const std::string& path, const std::string& xml) {
    std::lock_guard lock(m_state->mutex);
    m_state->files[path] = xml;
}

std::vector<SeenRequest> FakeHttpServer::Requests() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->seen;
}

int FakeHttpServer::Port() const {
    return m_state->port;
}

std::string FakeHttpServer::Origin() const {
    return "http://127.0.0.1:" + std::to_string(m_state->port);
}

int FakeHttpServer::ClosedPort() {
    WebTest::TestServer closed;
    return closed.Start();
}

} // namespace WebApiTest

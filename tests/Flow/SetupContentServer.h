#pragma once
// A content server of the test's own for the bracelet's message and gift
// lists (kept apart: the TLS library's headers clash with the UI namespace).

#include <memory>
#include <string>

namespace WebTest {
class TestServer;
}

namespace FlowTest {

class ContentServer {
public:
    /// Serves the two lists under /bramblemere/game/publish/xml/content/glimmeries/.
    ContentServer(std::string messageList, std::string giftList);
    ~ContentServer();
    ContentServer(const ContentServer&) = delete;
    ContentServer& operator=(const ContentServer&) = delete;

    /// The content base URL, ending in "/".
    std::string BaseUrl() const;

private:
    std::unique_ptr<WebTest::TestServer> m_server;
    int m_port = 0;
};

} // namespace FlowTest

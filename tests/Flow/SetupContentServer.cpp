#include "SetupContentServer.h"

#include "tests/support/TestServer.h"

namespace FlowTest {

ContentServer::ContentServer(std::string messageList, std::string giftList)
    : m_server(std::make_unique<WebTest::TestServer>()) {
    m_server->Routes().Get(".*/ClickMessageList.xml",
                           [messageList](const httplib::Request&, httplib::Response& response) {
                               response.set_content(messageList, "text/xml");
                           });
    m_server->Routes().Get(".*/ClickGiftList.xml",
                           [giftList](const httplib::Request&, httplib::Response& response) {
                               response.set_content(giftList, "text/xml");
                           });
    m_port = m_server->Start();
}

ContentServer::~ContentServer() = default;

std::string ContentServer::BaseUrl() const {
    return "http://127.0.0.1:" + std::to_string(m_port) + "/bramblemere/game/";
}

} // namespace FlowTest

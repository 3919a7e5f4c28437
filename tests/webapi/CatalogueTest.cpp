// The charm and butterfly catalogues and the message and gift lists, read
// from a small content server.

#include "FakeHttpServer.h"
#include "WebApiTestSupport.h"
#include "common/UI/Messages.h"
#include "common/UI/RecordingMessageTarget.h"
#include "common/Xml/Parser.h"
#include "common/Xml/XmlExceptions.h"
#include "webapi/ButterflyInventory.h"
#include "webapi/CharmInventory.h"
#include "webapi/WebApi.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class ContentServer {
public:
    void Put(const std::string& list, const std::string& xml) {
        m_server.Put("/site/publish/xml/content/glimmeries/" + list, xml);
    }
    void PutApi(const std::string& request, const std::string& xml) { m_server.Put("/api/" + request, xml); }
    std::string Base() const { return m_server.Origin() + "/site/"; }
    std::string Api() const { return m_server.Origin() + "/api/"; }

private:
    WebApiTest::FakeHttpServer m_server;
};

class Catalogues : public ::testing::Test {
protected:
    WebApiTest::RecordingLogger m_log;
    Ex::ScopedLogger m_scoped{&m_log};
    UI::RecordingMessageTarget m_window;
    ContentServer m_content;
};

const char* kCharms = "<ClickCharmList><charms><charm id=\"1001\"/><charm id=\"7\"/></charms><copy>"
                      "<_7><name>Seven</name><inGameItem>Seventh Hat</inGameItem></_7>"
                      "<_1001><name>Dew Lamp</name><inGameItem>Dew Lamp Stand</inGameItem></_1001>"
                      "</copy></ClickCharmList>";

TEST_F(Catalogues, CharmsTakeTheirTextsFromTheirCopyEntries) {
    m_content.Put("ClickCharmList.xml", kCharms);
    Glm::CharmInventory inventory(&m_window);
    std::vector<Glm::CharmRecord> charms;
    ASSERT_EQ(inventory.Init(m_content.Base(), charms), 0);
    ASSERT_EQ(charms.size(), 2u);
    EXPECT_EQ(charms[0].id, 1001);
    EXPECT_EQ(charms[0].name, "Dew Lamp");
    EXPECT_EQ(charms[0].inGameItem, "Dew Lamp Stand");
    EXPECT_EQ(charms[0].imageName, "CHARM_1001");
    EXPECT_EQ(charms[0].popupImageName, "POPUP_CHARM_1001");
    EXPECT_EQ(charms[1].name, "Seven");

    // The toy's look-up answers from a loaded catalogue.
    EXPECT_EQ(inventory.Load(m_content.Base()), 0);
    std::string name = "none";
    EXPECT_TRUE(inventory.FindCharmName(7, name));
    EXPECT_EQ(name, "Seven");
    EXPECT_FALSE(inventory.FindCharmName(8, name));
    EXPECT_EQ(name, "Seven");

    // The image-strip form numbers the pictures as the strip adds them.
    std::vector<std::string> added;
    std::vector<Glm::CharmRecord> strip;
    EXPECT_EQ(inventory.Init(m_content.Base(), strip,
                             [&](const std::string& image) {
                                 added.push_back(image);
                                 return static_cast<std::int32_t>(added.size() + 9);
                             }),
              0);
    EXPECT_EQ(added, (std::vector<std::string>{"CHARM_1001", "CHARM_7"}));
    EXPECT_EQ(strip[1].imageIndex, 11);
    EXPECT_TRUE(m_window.Messages().empty());
}

TEST_F(Catalogues, CharmListFailuresKeepWhatWasRead) {
    m_content.Put("ClickCharmList.xml", "<ClickCharmList><charms/><copy/></ClickCharmList>");
    Glm::CharmInventory inventory(&m_window);
    std::vector<Glm::CharmRecord> charms;
    EXPECT_EQ(inventory.Init(m_content.Base(), charms), 0);
    EXPECT_TRUE(charms.empty());

    m_content.Put("ClickCharmList.xml",
                  "<ClickCharmList><charms><charm id=\"7\"/><charm id=\"8\"/></charms><copy>"
                  "<_7><name>Seven</name><inGameItem>Hat</inGameItem></_7>"
                  "</copy></ClickCharmList>");
    EXPECT_EQ(inventory.Init(m_content.Base(), charms), 1);
    ASSERT_EQ(charms.size(), 1u);
    EXPECT_EQ(m_window.Messages().at(0).id, UI::WM_GLM_RESPONSE_ERROR);
    EXPECT_TRUE(m_log.Contains("ClickCharmList/copy/_8/name"));
    EXPECT_TRUE(m_log.Contains("Glm::CharmInventory::Init (webapi/CharmInventory.cpp:"));

    m_window.Clear();
    EXPECT_EQ(inventory.Init("http://127.0.0.1:1/nothing/", charms), 1);
    EXPECT_EQ(m_window.Messages().at(0).id, UI::WM_GLM_CONNECT_ERROR);

    // A failing picture is logged and fails the strip form.
    m_content.Put("ClickCharmList.xml", kCharms);
    m_window.Clear();
    EXPECT_EQ(inventory.Init(
                  m_content.Base(), charms,
                  [](const std::string&) -> std::int32_t { throw std::runtime_error("no such picture"); }),
              1);
    EXPECT_TRUE(m_log.Contains("no such picture"));
}

// The single walk must fail and succeed exactly where a query per charm would.
TEST(CharmWalk, AgreesWithAQueryPerCharm) {
    const std::string documents[] = {
        kCharms,
        "<ClickCharmList><charms><charm id=\"3\"/></charms><copy><_3><name>A</name><inGameItem>B</inGameItem>"
        "</_3></copy><copy><_3><name>C</name><inGameItem>D</inGameItem></_3></copy></ClickCharmList>",
        "<ClickCharmList><charms><charm/></charms></ClickCharmList>",
        "<ClickCharmList><charms><charm id=\"4\"/></charms><copy><_4><name>A<b/></name><inGameItem/></_4>"
        "</copy></ClickCharmList>",
        "<ClickCharmList><charms><charm id=\"5\"/></charms><charms><charm id=\"6\"/></charms><copy>"
        "<_5><name>five</name><inGameItem>x</inGameItem></_5><_6><name>six</name><inGameItem>y</inGameItem></"
        "_6>"
        "</copy></ClickCharmList>",
        "<OtherList><charms><charm id=\"1\"/></charms></OtherList>",
    };
    for (const std::string& document : documents) {
        Xml::Parser walked(document);
        std::vector<Glm::CharmRecord> fast;
        std::string fastFailure;
        try {
            Glm::CharmInventory::ReadCharms(walked, fast);
        } catch (Ex::Exception& e) {
            fastFailure = e.GetName() + ": " + e.GetMessage();
        }
        Xml::Parser queried(document);
        std::vector<std::string> slow;
        std::string slowFailure;
        try {
            const std::int32_t count = queried.GetNodeCount("/ClickCharmList/charms/charm");
            for (std::int32_t i = 1; i <= count; ++i) {
                const std::string id =
                    queried.GetAttribute("/ClickCharmList/charms/charm[" + std::to_string(i) + "]/@id");
                slow.push_back(queried.GetLeafElementText("/ClickCharmList/copy/_" + id + "/name"));
                queried.GetLeafElementText("/ClickCharmList/copy/_" + id + "/inGameItem");
            }
        } catch (Ex::Exception& e) {
            slowFailure = e.GetName() + ": " + e.GetMessage();
        }
        EXPECT_EQ(fastFailure, slowFailure) << document;
        ASSERT_EQ(fast.size(), slow.size()) << document;
        for (std::size_t i = 0; i < fast.size(); ++i) {
            EXPECT_EQ(fast[i].name, slow[i]);
        }
    }
}

TEST_F(Catalogues, ButterfliesAreNamedByTheirIds) {
    m_content.Put("ClickButterflyList.xml",
                  "<ClickButterflyList><copy>"
                  "<a id=\"3\" points=\"200\" duration=\"5\" image=\"whatever.png\">Sky Sailor</a>"
                  "<b id=\"4\" points=\"lots\" duration=\"7\" image=\"\">Free One</b>"
                  "</copy></ClickButterflyList>");
    Glm::ButterflyInventory inventory(&m_window);
    std::vector<Glm::ButterflyRecord> butterflies;
    ASSERT_EQ(inventory.Init(m_content.Base(), butterflies), 0);
    ASSERT_EQ(butterflies.size(), 2u);
    EXPECT_EQ(butterflies[0].id, 3);
    EXPECT_EQ(butterflies[0].points, 200);
    EXPECT_EQ(butterflies[0].duration, "5");
    EXPECT_EQ(butterflies[0].name, "Sky Sailor");
    EXPECT_EQ(butterflies[0].imageName, "BUTTERFLY_3");
    EXPECT_EQ(butterflies[0].popupImageName, "POPUP_BUTTERFLY_3");
    EXPECT_EQ(butterflies[1].points, 0);

    m_content.Put("ClickButterflyList.xml", "<ClickButterflyList><copy>"
                                            "<a id=\"3\" points=\"200\" duration=\"5\" image=\"i\">Sky</a>"
                                            "<a id=\"5\" points=\"200\" duration=\"5\">No Picture</a>"
                                            "</copy></ClickButterflyList>");
    std::vector<Glm::ButterflyRecord> partial;
    EXPECT_EQ(inventory.Init(m_content.Base(), partial), 1);
    EXPECT_EQ(partial.size(), 1u);
    EXPECT_EQ(m_window.Messages().at(0).id, UI::WM_GLM_RESPONSE_ERROR);
    EXPECT_TRUE(m_log.Contains("Glm::ButterflyInventory::Init"));
}

TEST_F(Catalogues, MessagesAndGiftsOfABracelet) {
    m_content.Put("ClickMessageList.xml", "<ClickMessageList><copy><m id=\"1\">Hello</m><m id=\"\">Lost</m>"
                                          "<m id=\"2\"></m><m id=\"3\">Bye</m></copy></ClickMessageList>");
    m_content.Put("ClickGiftList.xml", "<ClickGiftList><copy><g id=\"2001\">Acorn</g><g id=\"2002\">Shell</g>"
                                       "<g id=\"2003\">Feather</g></copy></ClickGiftList>");
    m_content.PutApi("ClickInventoryRequest",
                     "<ClickInventoryResponse><success>true</success>"
                     "<bracelet id=\"5\"><gift_list><item>2001</item></gift_list></bracelet>"
                     "<bracelet id=\"3000000000\"><gift_list><item>2003</item><item>2001</item></gift_list>"
                     "</bracelet></ClickInventoryResponse>");
    Glm::WebApi api;
    api.Init(&m_window, m_content.Api(), "");
    std::vector<std::int32_t> ids;
    std::vector<std::string> texts;
    EXPECT_EQ(api.GetFriendMessages(m_content.Base(), ids, texts), 0);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{1, 3}));
    EXPECT_EQ(texts, (std::vector<std::string>{"Hello", "Bye"}));

    ids.clear();
    texts.clear();
    EXPECT_EQ(api.GetFriendGifts(3000000000u, m_content.Base(), ids, texts), 0);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{2001, 2003})); // in the gift list's order
    EXPECT_EQ(texts, (std::vector<std::string>{"Acorn", "Feather"}));

    std::string text = "unchanged";
    EXPECT_EQ(api.GetFriendMessage("3", m_content.Base(), text), 0);
    EXPECT_EQ(text, "Bye");
    EXPECT_EQ(api.GetFriendGift("2002", m_content.Base(), text), 0);
    EXPECT_EQ(text, "Shell");
    text = "unchanged";
    EXPECT_EQ(api.GetFriendGift("9999", m_content.Base(), text), 0);
    EXPECT_EQ(text, "unchanged");
    EXPECT_EQ(api.GetFriendMessage("1", "http://127.0.0.1:1/", text), 1);
    EXPECT_EQ(m_window.Messages().back().id, UI::WM_GLM_CONNECT_ERROR);
}

} // namespace

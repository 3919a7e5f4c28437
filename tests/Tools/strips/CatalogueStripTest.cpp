// The catalogues as picture strips, read from a small content server, with
// the program's own pictures.

#include "Tools/CatalogueStrip.h"

#include "ThinUI/ResourceImage.h"
#include "common/UI/Messages.h"
#include "common/UI/RecordingMessageTarget.h"
#include "resources/Resources.h"
#include "tests/webapi/FakeHttpServer.h"
#include "tests/webapi/WebApiTestSupport.h"

#include <QGuiApplication>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

class CatalogueStrips : public ::testing::Test {
protected:
    void Put(const std::string& list, const std::string& xml) {
        m_server.Put("/site/publish/xml/content/glimmeries/" + list, xml);
    }
    std::string Base() const { return m_server.Origin() + "/site/"; }

    WebApiTest::RecordingLogger m_log;
    Ex::ScopedLogger m_scoped{&m_log};
    UI::RecordingMessageTarget m_window;
    WebApiTest::FakeHttpServer m_server;
};

// The mean difference per channel of two pictures reduced to 16 x 8, so
// that decoding and scaling differences stay small.
double Difference(const QImage& a, const QImage& b) {
    const auto reduce = [](const QImage& image) {
        return image.convertToFormat(QImage::Format_ARGB32)
            .scaled(16, 8, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    const QImage x = reduce(a), y = reduce(b);
    double total = 0;
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 16; ++column) {
            const QColor p = x.pixelColor(column, row), q = y.pixelColor(column, row);
            total +=
                std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) + std::abs(p.blue() - q.blue());
        }
    }
    return total / (16 * 8 * 3);
}

bool Close(const QImage& a, const QImage& b) {
    return Difference(a, b) < 4;
}

QImage Resource(const std::string& name) {
    ThinUI::ResourceImage image(name, "JPG");
    EXPECT_TRUE(image.Load()) << name;
    return image.GetBitmap();
}

TEST_F(CatalogueStrips, CharmPicturesFollowTheCatalogueOrderAndTheToyLooksUpTheSameRecords) {
    // 1002 before 1001, and 999 which the program has no picture for.
    Put("ClickCharmList.xml",
        "<ClickCharmList><charms><charm id=\"1002\"/><charm id=\"999\"/><charm id=\"1001\"/></charms><copy>"
        "<_1001><name>Dew Lamp</name><inGameItem>Lamp</inGameItem></_1001>"
        "<_1002><name>Crown</name><inGameItem>Hat</inGameItem></_1002>"
        "<_999><name>Newer Charm</name><inGameItem>New</inGameItem></_999></copy></ClickCharmList>");
    Glm::CharmInventory catalogue(&m_window);
    Glm::PictureStrip strip(Glm::kCharmImageWidth, Glm::kCharmImageHeight);
    strip.Add("CHARM_1003"); // a strip is rebuilt, not appended to
    int width = 0, height = 0;
    ASSERT_EQ(Glm::LoadCharmStrip(catalogue, Base(), strip, width, height), 0);
    EXPECT_EQ(width, 89);
    EXPECT_EQ(height, 51);
    ASSERT_EQ(strip.GetCount(), 3);
    ASSERT_EQ(catalogue.GetCharms().size(), 3u);
    for (std::int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(catalogue.GetCharms()[static_cast<std::size_t>(i)].imageIndex, i);
        EXPECT_EQ(strip.GetPicture(i).size(), QSize(89, 51));
    }
    EXPECT_TRUE(Close(strip.GetPicture(0), Resource("CHARM_1002")));
    EXPECT_TRUE(Close(strip.GetPicture(2), Resource("CHARM_1001")));
    EXPECT_FALSE(Close(strip.GetPicture(0), strip.GetPicture(2)));
    // The charm without a picture keeps its place with an empty cell.
    EXPECT_EQ(strip.GetPicture(1).pixelColor(40, 25).alpha(), 0);
    EXPECT_TRUE(m_log.Contains("Picture CHARM_999 is missing"));
    EXPECT_TRUE(strip.GetPicture(3).isNull());

    const Glm::CharmRecord* found = catalogue.FindCharm(1001);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->imageIndex, 2);
    EXPECT_EQ(Glm::CharmPopupImageName(catalogue, 1001), "POPUP_CHARM_1001");
    EXPECT_EQ(Glm::CharmPopupImageName(catalogue, 4242), "");
    EXPECT_FALSE(Resource(Glm::CharmPopupImageName(catalogue, 1002)).isNull());
    EXPECT_TRUE(m_window.Messages().empty());
}

TEST_F(CatalogueStrips, ButterflyStripStepsByTheImageWidth) {
    Put("ClickButterflyList.xml",
        "<ClickButterflyList><copy><b id=\"3\" points=\"300\" duration=\"7\" image=\"x.jpg\">Dusk Wing</b>"
        "<b id=\"1\" points=\"100\" duration=\"3\" image=\"y.jpg\">Dawn "
        "Wing</b></copy></ClickButterflyList>");
    Glm::ButterflyInventory catalogue(&m_window);
    std::vector<Glm::ButterflyRecord> butterflies;
    Glm::PictureStrip strip(Glm::kButterflyImageWidth, Glm::kButterflyImageHeight);
    int step = 0, height = 0;
    ASSERT_EQ(Glm::LoadButterflyStrip(catalogue, Base(), butterflies, strip, step, height), 0);
    EXPECT_EQ(step, 368);
    EXPECT_EQ(height, 56);
    ASSERT_EQ(butterflies.size(), 2u);
    EXPECT_EQ(butterflies[0].imageIndex, 0);
    EXPECT_EQ(butterflies[1].imageIndex, 1);
    EXPECT_TRUE(Close(strip.GetPicture(0), Resource("BUTTERFLY_3")));
    EXPECT_EQ(Glm::ButterflyPopupImageName(butterflies, 0), "POPUP_BUTTERFLY_3");
    EXPECT_EQ(Glm::ButterflyPopupImageName(butterflies, 1), "POPUP_BUTTERFLY_1");
    EXPECT_EQ(Glm::ButterflyPopupImageName(butterflies, 2), "");
    EXPECT_EQ(Glm::ButterflyPopupImageName(butterflies, -1), "");
}

TEST_F(CatalogueStrips, ABrokenListKeepsWhatWasReadPicturedAndReportsIt) {
    // The second butterfly lacks its image attribute.
    Put("ClickButterflyList.xml",
        "<ClickButterflyList><copy><b id=\"2\" points=\"10\" duration=\"1\" image=\"a\">Two</b>"
        "<b id=\"4\" points=\"10\" duration=\"1\">Four</b></copy></ClickButterflyList>");
    Glm::ButterflyInventory butterflyCatalogue(&m_window);
    std::vector<Glm::ButterflyRecord> butterflies;
    Glm::PictureStrip butterflyStrip(Glm::kButterflyImageWidth, Glm::kButterflyImageHeight);
    int step = 0, height = 0;
    EXPECT_EQ(Glm::LoadButterflyStrip(butterflyCatalogue, Base(), butterflies, butterflyStrip, step, height),
              1);
    EXPECT_EQ(step, 368);
    ASSERT_EQ(butterflies.size(), 1u);
    EXPECT_EQ(butterflyStrip.GetCount(), 1);
    EXPECT_TRUE(m_window.WaitFor(UI::WM_GLM_RESPONSE_ERROR, std::chrono::milliseconds(0)).has_value());

    // No content server at all: a connection error, an empty strip.
    m_window.Clear();
    Glm::CharmInventory charms(&m_window);
    Glm::PictureStrip charmStrip(Glm::kCharmImageWidth, Glm::kCharmImageHeight);
    const std::string nowhere =
        "http://127.0.0.1:" + std::to_string(WebApiTest::FakeHttpServer::ClosedPort()) + "/";
    EXPECT_EQ(Glm::LoadCharmStrip(charms, nowhere, charmStrip, step, height), 1);
    EXPECT_EQ(step, 89);
    EXPECT_EQ(charmStrip.GetCount(), 0);
    EXPECT_TRUE(charms.GetCharms().empty());
    EXPECT_TRUE(m_window.WaitFor(UI::WM_GLM_CONNECT_ERROR, std::chrono::milliseconds(0)).has_value());
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    GlmInitResources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

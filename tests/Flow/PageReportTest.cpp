// Page reports: what reaches the analytics host, what the log says, and a
// host that stalls or refuses never holding up a screen.

#include "Flow/ScreenIds.h"
#include "Flow/SkinnedScreen.h"
#include "FrameWorld.h"

#include <QRegularExpression>
#include <QTcpServer>
#include <gtest/gtest.h>

namespace {

using FlowTest::FrameWorld;
using FlowTest::PumpUntil;
namespace ScreenId = Glm::ScreenId;
using namespace std::chrono_literals;

class PageReportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_demo = std::make_unique<FlowTest::DemoService>(); }
    static void TearDownTestSuite() { s_demo.reset(); }
    void SetUp() override { ASSERT_TRUE(s_demo->IsRunning()); }

    static std::string ReportUrl(const std::string& base) {
        return base + "/b/ss/glmdesktopapp/1/%s?D=glm&gn=glimmeries:desktop:%s&c1=glimmeries";
    }

    static std::unique_ptr<FlowTest::DemoService> s_demo;
};
std::unique_ptr<FlowTest::DemoService> PageReportTest::s_demo;

TEST_F(PageReportTest, TheHostRecordsLowerCasedNamesWithACacheBreakerWhileTheLogKeepsTheirCase) {
    FrameWorld world(*s_demo, ReportUrl(s_demo->GetService().HttpBase()));
    ASSERT_TRUE(world.Start());
    world.App().Report("MainMenu");
    world.App().Report("TutorialLcdGame");
    ASSERT_NE(world.App().GetPageReporter(), nullptr);
    ASSERT_TRUE(world.App().GetPageReporter()->WaitUntilIdle(10s));
    EXPECT_EQ(world.App().GetPageReporter()->GetFailedCount(), 0U);

    QString reports;
    PumpUntil([&] {
        reports = QString::fromStdString(s_demo->GetService().Admin({"reports"}));
        return reports.contains("tutoriallcdgame");
    });
    for (const char* page : {"devicemanager", "mainmenu", "tutoriallcdgame"}) {
        // time, the page name, the cache breaker: five numbers below 255 in
        // lower-case hexadecimal.
        const QRegularExpression line(
            QStringLiteral("^\\S+\\s+%1\\s+[0-9a-f]{5,10}\\s*$").arg(QString::fromLatin1(page)),
            QRegularExpression::MultilineOption);
        EXPECT_TRUE(line.match(reports).hasMatch()) << page << "\n" << reports.toStdString();
    }
    EXPECT_FALSE(reports.contains("MainMenu"));
    EXPECT_TRUE(world.LogHas("Landing on DeviceManager"));
    EXPECT_TRUE(world.LogHas("Landing on MainMenu"));
    EXPECT_TRUE(world.LogHas("Landing on TutorialLcdGame"));
}

TEST_F(PageReportTest, AStallingHostHoldsNoScreenAndItsReportsAreCutOrDropped) {
    // Accepts connections (the kernel completes them) and never answers.
    QTcpServer stalling;
    ASSERT_TRUE(stalling.listen(QHostAddress::LocalHost, 0));
    const std::string base = "http://127.0.0.1:" + std::to_string(stalling.serverPort());
    FrameWorld world(*s_demo, ReportUrl(base));
    world.App().SetReportOptions({2, 1500ms});
    FlowTest::PopupScript popups(world.frame, true);
    ASSERT_TRUE(world.Start());
    ASSERT_NE(world.App().GetPageReporter(), nullptr);

    for (int round = 0; round < 3; ++round) {
        world.frame.Target().Send(UI::WM_GLM_SHOW_SIGN_IN);
        world.frame.Target().Send(UI::WM_GLM_SHOW_DEVICES);
        // Shown at once, while the host still has the first report.
        EXPECT_EQ(world.VisibleScreens(), std::vector<int>{ScreenId::kDevices});
        EXPECT_FALSE(world.App().GetPageReporter()->WaitUntilIdle(0ms));
    }
    EXPECT_EQ(world.LogCount("Landing on DeviceManager"), 4U);
    EXPECT_TRUE(world.LogHas("Page report dropped, too many waiting: " + base + "/b/ss/"));
    EXPECT_GE(world.App().GetPageReporter()->GetDroppedCount(), 1U);
    // Every request left is cut at its time limit.
    ASSERT_TRUE(world.App().GetPageReporter()->WaitUntilIdle(20s));
    EXPECT_TRUE(world.LogHas("Page report took longer than 1500 ms; cut"));
    EXPECT_EQ(world.App().GetPageReporter()->GetSentCount(), 0U);
    EXPECT_GE(world.App().GetPageReporter()->GetFailedCount(), 1U);
}

TEST_F(PageReportTest, ARefusingHostCostsALogLineAndTheNextReportStillGoesOut) {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const std::uint16_t port = closed.serverPort();
    closed.close();
    FrameWorld world(*s_demo, ReportUrl("http://127.0.0.1:" + std::to_string(port)));
    ASSERT_TRUE(world.Start());
    ASSERT_TRUE(world.App().GetPageReporter()->WaitUntilIdle(10s));
    EXPECT_EQ(world.App().GetPageReporter()->GetFailedCount(), 1U);
    EXPECT_TRUE(world.LogHas("Glm::PageReporter::SendOne"));
    EXPECT_TRUE(world.LogHas("Landing on DeviceManager"));

    // A malformed template is logged at the report; nothing is queued.
    world.fixture.worker->parameters["GLM_REPORTING_URL"] = "no address %s %s";
    world.App().Report("MainMenu");
    EXPECT_TRUE(world.LogHas("Landing on MainMenu"));
    EXPECT_TRUE(world.LogHas("Glm::Glimmeries::Report"));

    // The host back: the reporter opens a new connection.
    world.fixture.worker->parameters["GLM_REPORTING_URL"] = ReportUrl(s_demo->GetService().HttpBase());
    world.App().Report("AddFriends");
    ASSERT_TRUE(world.App().GetPageReporter()->WaitUntilIdle(10s));
    EXPECT_EQ(world.App().GetPageReporter()->GetSentCount(), 1U);
    EXPECT_NE(s_demo->GetService().Admin({"reports"}).find("addfriends"), std::string::npos);
}

} // namespace

// The start-up job against a real content server, toy discovery followed by
// the frame, and page reports reaching the beacon.

#include "Flow/GLMSplashDlg.h"
#include "Flow/Glimmeries.h"
#include "Flow/MainFrame.h"
#include "Flow/MessageRelay.h"
#include "Flow/PatcherStartupWorker.h"
#include "Flow/TerminationSignal.h"
#include "Flow/ToyList.h"
#include "FlowFixture.h"
#include "ServiceHelper.h"
#include "common/UI/RecordingMessageTarget.h"

#include <QTest>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using FlowTest::Fixture;

constexpr const char* kPatchFolder = "/bramblemere/game/glimmeries/english/";

std::string WriteLocalFile(const QTemporaryDir& directory, const std::string& text) {
    const std::string path = directory.path().toStdString() + "/parameters.txt";
    std::ofstream(path) << text;
    return path;
}

// A program in directory (never started) whose movies live there too.
Glm::PatcherLocations Locations(const QTemporaryDir& directory, const std::string& localFile) {
    const std::string path = directory.path().toStdString();
    return Glm::PatcherLocations::ForProgram(path + "/glimmeries", path, localFile);
}

TEST(PatcherStartupWorkerTest, LoadsDefaultsRemoteAndLocalFileThenReportsDoneOnce) {
    FlowTest::Service service("GLM_LOG_LEVEL=1\nGLM_FAQ_URL=http://remote.invalid/faq\n"
                              "GLM_SWF_VERSION=7\n");
    ASSERT_TRUE(service.IsRunning());
    QTemporaryDir local;
    const std::string localFile = WriteLocalFile(local, "GLM_PATCHER_BASE_URL=" + service.HttpBase() +
                                                            kPatchFolder + "\nGLM_LOG_LEVEL=3\n");

    Glm::PatcherStartupWorker worker(Locations(local, localFile), Glm::Glimmeries::kVersion);
    UI::RecordingMessageTarget splash;
    EXPECT_EQ(worker.GetParameter("GLM_BASE_URL"), "") << "nothing is read before the table is complete";
    worker.Start(splash);
    ASSERT_TRUE(splash.WaitFor(UI::WM_GLM_PATCH_DONE, 10s).has_value());
    ASSERT_EQ(splash.Messages().size(), 1U) << "no start error on the way";
    EXPECT_EQ(worker.GetParameter("GLM_LOG_LEVEL"), "3") << "the local file wins over the remote one";
    EXPECT_EQ(worker.GetParameter("GLM_FAQ_URL"), "http://remote.invalid/faq");
    EXPECT_EQ(worker.GetParameter("GLM_SWF_VERSION"), "7") << "a key only the remote file has";
    EXPECT_EQ(worker.GetParameter("GLM_BASE_URL"), "https://127.0.0.1:18443/api/") << "a built-in default";

    // A restarted interface gets the table as it is, without a new load.
    worker.ShutDown();
    UI::RecordingMessageTarget nextSplash;
    worker.Start(nextSplash);
    ASSERT_TRUE(nextSplash.WaitFor(UI::WM_GLM_PATCH_DONE, 5s).has_value());
    EXPECT_EQ(splash.Messages().size(), 1U) << "the old splash hears nothing more";
    EXPECT_EQ(service.Admin({"reports"}), "") << "the start-up job sends no page report";
}

TEST(PatcherStartupWorkerTest, UnreachableContentServerGivesTheStartErrorAndKeepsTheDefaults) {
    QTemporaryDir local;
    // Port 1 on loopback: nothing listens there, the connection is refused.
    const std::string localFile = WriteLocalFile(local, "GLM_PATCHER_BASE_URL=http://127.0.0.1:1/x/\n");
    Fixture fixture;
    Glm::PatcherStartupWorker worker(Locations(local, localFile), Glm::Glimmeries::kVersion);
    UI::RecordingMessageTarget splash;
    worker.Start(splash);
    ASSERT_TRUE(splash.WaitFor(UI::WM_GLM_START_ERROR, 10s).has_value());
    ASSERT_TRUE(splash.WaitForCount(1, 1s));
    EXPECT_EQ(splash.Messages().size(), 1U) << "no WM_GLM_PATCH_DONE after the start error";
    EXPECT_FALSE(worker.GetPatcherThread().IsLoaded());
    EXPECT_NE(fixture.Log().find("patcher.ver"), std::string::npos) << "the failure is logged:\n"
                                                                    << fixture.Log();

    // A malformed address is no start error: start-up goes on.
    const std::string badFile = WriteLocalFile(local, "GLM_PATCHER_BASE_URL=ftp://nowhere\n");
    Glm::PatcherStartupWorker badWorker(Locations(local, badFile), Glm::Glimmeries::kVersion);
    UI::RecordingMessageTarget badSplash;
    badWorker.Start(badSplash);
    ASSERT_TRUE(badSplash.WaitFor(UI::WM_GLM_PATCH_DONE, 10s).has_value());
    EXPECT_EQ(badWorker.GetParameter("GLM_PATCHER_BASE_URL"), "ftp://nowhere");
}

TEST(MessageRelayTest, KeepsMessagesWhileNoReceiverIsAttachedAndForgetsADetachedOne) {
    Glm::MessageRelay relay;
    relay.Post(UI::WM_GLM_DEVICE_CHANGE, 1, 0, std::make_shared<int>(5));
    relay.Send(UI::WM_GLM_DEVICE_CHANGE, 2);
    EXPECT_EQ(relay.GetWaitingCount(), 2U);
    UI::RecordingMessageTarget first;
    relay.Attach(&first);
    relay.Post(UI::WM_GLM_DEVICE_CHANGE, 1);
    const auto received = first.Messages();
    ASSERT_EQ(received.size(), 3U);
    EXPECT_EQ(received[0].wParam, 1U);
    EXPECT_EQ(*std::static_pointer_cast<int>(received[0].object), 5) << "the object travels with it";
    EXPECT_EQ(received[1].wParam, 2U);

    UI::RecordingMessageTarget second;
    relay.Detach(&second); // not the attached one: no effect
    EXPECT_TRUE(relay.HasReceiver());
    relay.Detach(&first);
    relay.Post(UI::WM_GLM_DEVICE_CHANGE, 2);
    EXPECT_EQ(first.Messages().size(), 3U);
    relay.Attach(&second);
    EXPECT_EQ(second.Messages().size(), 1U);
}

TEST(ToyListTest, ArrivalsNeedAReadableSupportedToyAndRemovalsTakeOutTheSameToy) {
    std::int32_t readCode = 0;
    int reads = 0;
    Glm::ToyList list([&](Glm::Toy&) {
        ++reads;
        return readCode;
    });
    const Glm::Toy bracelet(0, 0x1011);
    const Glm::Toy box(1, 0x1013);
    EXPECT_EQ(list.Apply(1, &bracelet), Glm::ToyList::Change::Added);
    EXPECT_EQ(list.Apply(1, &bracelet), Glm::ToyList::Change::Ignored) << "listed already: not read again";
    EXPECT_EQ(reads, 1);
    const Glm::Toy stranger(2, 0x2222);
    EXPECT_EQ(list.Apply(1, &stranger), Glm::ToyList::Change::Ignored);
    EXPECT_EQ(list.Apply(1, nullptr), Glm::ToyList::Change::Ignored);
    readCode = -5;
    std::int32_t result = 0;
    EXPECT_EQ(list.Apply(1, &box, &result), Glm::ToyList::Change::Unreadable);
    EXPECT_EQ(result, -5);
    readCode = 0;
    EXPECT_EQ(list.Apply(1, &box), Glm::ToyList::Change::Added);
    EXPECT_EQ(list.GetCount(), 2U);

    const Glm::Toy otherKindSameId(0, 0x1012);
    EXPECT_EQ(list.Apply(2, &otherKindSameId), Glm::ToyList::Change::Ignored) << "not the same toy";
    EXPECT_EQ(list.Apply(2, &bracelet), Glm::ToyList::Change::Removed);
    EXPECT_EQ(list.Apply(2, &bracelet), Glm::ToyList::Change::Ignored);
    ASSERT_EQ(list.List().size(), 1U);
    EXPECT_EQ(list.List()[0].GetDeviceId(), 1U);
    EXPECT_FALSE(list.Find(0).has_value());
}

TEST(ToyDiscoveryTest, TheFrameFollowsAVirtualToyAndDiscoveryOutlivesARestart) {
    const QString toyDirectory = QString::fromLocal8Bit(std::getenv("GLIMMERIES_TOY_DIR"));
    ASSERT_FALSE(toyDirectory.isEmpty());
    Fixture fixture;
    auto frame = std::make_unique<Glm::MainFrame>(*fixture.application);
    frame->Target().Send(UI::WM_GLM_START);
    frame->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return fixture.application->IsToyDiscoveryRunning(); }, 5000));
    Glm::ToyList& toys = fixture.application->GetToys();
    EXPECT_EQ(toys.GetCount(), 0U);

    auto bracelet = std::make_unique<FlowTest::VirtualToy>("bracelet", toyDirectory);
    ASSERT_TRUE(bracelet->IsRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return toys.GetCount() == 1; }, 10000)) << fixture.Log();
    const Glm::Toy listed = toys.List().front();
    EXPECT_EQ(listed.GetProductId(), 0x1011U);

    // Between two lives of the interface the changes wait for the next frame.
    frame.reset();
    FlowTest::VirtualToy box("jewelrybox", toyDirectory);
    bracelet->Unplug();
    frame = std::make_unique<Glm::MainFrame>(*fixture.application);
    frame->Target().Send(UI::WM_GLM_START);
    frame->show();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return toys.GetCount() == 1 && toys.List().front().GetProductId() == 0x1013U; }, 10000))
        << fixture.Log();

    const std::string log = fixture.Log();
    const std::string name = "Toy " + std::to_string(listed.GetDeviceId()) + " (bracelet)";
    EXPECT_NE(log.find(name + " plugged in"), std::string::npos) << log;
    EXPECT_NE(log.find(name + " unplugged"), std::string::npos) << log;
    EXPECT_NE(log.find("(jewelrybox) plugged in"), std::string::npos) << log;
    frame.reset();
    fixture.application->StopToyDiscovery();
    EXPECT_FALSE(fixture.application->IsToyDiscoveryRunning());
}

TEST(StartUpTest, PatchDoneInitialisesTheWebClientWithTheSplashAsItsErrorWindow) {
    Fixture fixture;
    fixture.worker->parameters["GLM_LOG_LEVEL"] = "2";
    Glm::MainFrame frame(*fixture.application);
    FlowTest::PopupDismisser dismisser(frame);
    frame.Target().Send(UI::WM_GLM_START);
    frame.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame.GetTray() != nullptr; }, 5000));
    Glm::WebApi& webApi = fixture.application->GetWebApi();
    EXPECT_EQ(webApi.GetBaseUrl(), "https://127.0.0.1:1/api/");
    EXPECT_EQ(webApi.GetLogLevel(), 2);
    // A call that cannot connect reports through the splash to the frame.
    std::string points;
    std::string errorCode;
    EXPECT_NE(webApi.GetGlintPoints("1", points, errorCode), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame.GetErrorId() == 174U; }, 10000)) << fixture.Log();
}

TEST(PageReportTest, ReachesTheBeaconWithTheLowerCasedPageAndLogsTheOriginalName) {
    FlowTest::Service service;
    ASSERT_TRUE(service.IsRunning());
    Fixture fixture;
    fixture.worker->parameters["GLM_REPORTING_URL"] =
        service.HttpBase() + "/b/ss/glmtest,glmall/1/%s?D=glm&gn=glimmeries:desktop:%s&c1=100%25";
    fixture.application->Report("MainMenu");
    ASSERT_NE(fixture.application->GetPageReporter(), nullptr);
    ASSERT_TRUE(fixture.application->GetPageReporter()->WaitUntilIdle(std::chrono::seconds(10)));
    std::string reports;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            reports = service.Admin({"reports"});
            return reports.find("mainmenu") != std::string::npos;
        },
        10000));
    EXPECT_NE(reports.find("mainmenu"), std::string::npos) << reports;
    EXPECT_EQ(reports.find("MainMenu"), std::string::npos) << reports;
    EXPECT_NE(fixture.Log().find("Landing on MainMenu"), std::string::npos);

    // Unreachable beacon: the page is logged when it shows, the failure
    // later by the reporter, and the caller goes on at once.
    fixture.worker->parameters["GLM_REPORTING_URL"] = "http://127.0.0.1:1/b/ss/x/1/%s?gn=a:%s";
    fixture.application->Report("DeviceManager");
    EXPECT_NE(fixture.Log().find("Landing on DeviceManager"), std::string::npos);
    ASSERT_TRUE(fixture.application->GetPageReporter()->WaitUntilIdle(std::chrono::seconds(10)));
    EXPECT_NE(fixture.Log().find("Glm::PageReporter::SendOne"), std::string::npos) << fixture.Log();

    // No template: no request, but the page is still logged.
    fixture.worker->parameters["GLM_REPORTING_URL"] = "";
    fixture.application->Report("LoginReg");
    EXPECT_NE(fixture.Log().find("Landing on LoginReg"), std::string::npos);
    EXPECT_EQ(service.Admin({"reports"}).find("loginreg"), std::string::npos);
}

TEST(PageReportTest, FormatFillsOnlyTheTwoPlaceholders) {
    EXPECT_EQ(Glm::Glimmeries::FormatReportUrl("a/%s/b?gn=x:%s&c=%s%d%", "1f", "page"),
              "a/1f/b?gn=x:page&c=%s%d%");
    EXPECT_EQ(Glm::Glimmeries::FormatReportUrl("plain", "1f", "page"), "plain");
}

} // namespace

namespace {

TEST(TerminationSignalTest, SigtermRunsTheHandlerOnTheEventLoopAndTheDefaultComesBack) {
    int calls = 0;
    {
        const Glm::TerminationSignal termination([&] { ++calls; });
        ASSERT_EQ(::raise(SIGTERM), 0);
        EXPECT_EQ(calls, 0) << "not from inside the signal handler";
        ASSERT_TRUE(QTest::qWaitFor([&] { return calls == 1; }, 5000));
    }
    struct sigaction current {};
    ASSERT_EQ(::sigaction(SIGTERM, nullptr, &current), 0);
    EXPECT_EQ(current.sa_handler, SIG_DFL);
}

} // namespace

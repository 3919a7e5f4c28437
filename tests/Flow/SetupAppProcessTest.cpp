// The built program set up a jewelry box as a user does it: under its own X
// server, signed in by typing, every button pressed with real clicks; the toy
// and the service agree afterwards.

#include "SetupTestWorld.h"
#include "XServer.h"
#include "common/UI/RecordingMessageTarget.h"
#include "webapi/WebApi.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using FlowTest::PumpUntil;
using FlowTest::SetupWorld;
using FlowTest::XDoTool;

std::string ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

// The click id in the first toy's memory, read with glmdev; 0 when unread.
std::int32_t ClickIdOnTheToy(const QString& toyDirectory) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("GLIMMERIES_TOY_DIR", toyDirectory);
    const auto run = [&](const QStringList& arguments) {
        QProcess glmdev;
        glmdev.setProcessEnvironment(environment);
        glmdev.start(FlowTest::BuildProgram("glmdev"), arguments);
        glmdev.waitForFinished(15000);
        return glmdev.readAllStandardOutput().toStdString();
    };
    std::istringstream list(run({"list"}));
    std::string id;
    list >> id;
    std::istringstream memory(run({"read", QString::fromStdString(id)}));
    std::uint32_t word = 0;
    for (int byte = 0; byte < 4; ++byte) {
        std::string hex;
        memory >> hex;
        word |= static_cast<std::uint32_t>(std::stoul(hex.empty() ? "0" : hex, nullptr, 16)) << (8 * byte);
    }
    return static_cast<std::int32_t>(word);
}

TEST(SetupAppProcessTest, TheBuiltAppSetsUpAJewelryBoxWithRealClicks) {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty() ||
        QStandardPaths::findExecutable("xdotool").isEmpty()) {
        GTEST_SKIP() << "needs Xvfb and xdotool";
    }
    FlowTest::DemoService& demo = SetupWorld::Demo();
    ASSERT_TRUE(demo.IsRunning());
    FlowTest::Service& service = demo.GetService();
    static int run = 0;
    const QString login = QStringLiteral("clicky_owner_%1").arg(++run);
    const std::string userId = [&] {
        std::istringstream words(service.Admin({"account", "add", login, "click-click"}));
        std::string word;
        std::string last;
        while (words >> word) {
            last = word;
        }
        return last;
    }();
    service.Admin({"fairy", "add", login, "Poppy"});

    FlowTest::XServer x;
    ASSERT_FALSE(x.Display().isEmpty());
    QTemporaryDir appDirectory;
    QTemporaryDir toyDirectory;
    QTemporaryDir runtimeDirectory;
    {
        QFile parameters(appDirectory.filePath("parameters.txt"));
        ASSERT_TRUE(parameters.open(QIODevice::WriteOnly));
        const std::string https = "https://127.0.0.1:" + std::to_string(service.HttpsPort());
        const std::string http = service.HttpBase();
        parameters.write(("GLM_BASE_URL=" + https + "/api/\n" + "GLM_PATCHER_BASE_URL=" + http +
                          "/bramblemere/game/glimmeries/english/\n" + "GLM_WEBSITE_BASE_URL=" + http +
                          "/bramblemere/game/\n" + "GLM_EXTRA_CA_FILE=" +
                          (service.DataPath() + "/ca.pem").toStdString() + "\n" + "GLM_LOG_LEVEL=1\n")
                             .c_str());
    }
    QProcess app;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", x.Display());
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("GLIMMERIES_TOY_DIR", toyDirectory.path());
    environment.insert("XDG_RUNTIME_DIR", runtimeDirectory.path());
    environment.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    environment.remove("GLIMMERIES_APP_DIR");
    app.setProcessEnvironment(environment);
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.start(FlowTest::BuildProgram("glimmeries"), {"--app-dir", appDirectory.path()});
    ASSERT_TRUE(app.waitForStarted(10000));
    const QString logPath = appDirectory.filePath("Glimmeries.log");
    const auto waitFor = [&](const std::string& text) {
        return PumpUntil([&] { return ReadFile(logPath).find(text) != std::string::npos; }, 60000);
    };
    ASSERT_TRUE(waitFor("Landing on DeviceManager")) << ReadFile(logPath);
    FlowTest::VirtualToy toy("jewelrybox", toyDirectory.path());
    ASSERT_TRUE(waitFor("(jewelrybox) plugged in")) << ReadFile(logPath);

    const QString window =
        XDoTool(x.Display(), {"search", "--sync", "--onlyvisible", "--name", "^Glimmeries$"})
            .section(QLatin1Char('\n'), 0, 0);
    ASSERT_FALSE(window.isEmpty());
    const auto clickAt = [&](int px, int py, int times = 1) {
        XDoTool(x.Display(), {"mousemove", "--window", window, QString::number(px), QString::number(py)});
        XDoTool(x.Display(), {"click", "--repeat", QString::number(times), "--delay", "60", "1"});
    };
    clickAt(220 + Glm::CGLMDevicesDlg::kItemWidth * 3 / 4, 260 + 45, 2);
    ASSERT_TRUE(waitFor("Landing on LoginReg")) << ReadFile(logPath);
    clickAt(389 + 20, 273 + 6);
    XDoTool(x.Display(), {"type", "--delay", "30", login});
    clickAt(389 + 20, 299 + 6);
    XDoTool(x.Display(), {"type", "--delay", "30", "click-click"});
    clickAt(333 + 20, 335 + 10);
    ASSERT_TRUE(waitFor("Landing on MainMenu")) << ReadFile(logPath);

    clickAt(72 + 30, 245 + 30);
    ASSERT_TRUE(waitFor("Landing on SetUpJewelryBoxWarning")) << ReadFile(logPath);
    clickAt(267 + 20, 371 + 10);
    ASSERT_TRUE(waitFor("Landing on SetUpJewelryBoxCongrats")) << ReadFile(logPath);
    clickAt(298 + 20, 364 + 10);
    EXPECT_TRUE(PumpUntil([&] { return ClickIdOnTheToy(toyDirectory.path()) > 0; }, 20000));

    // The toy carries the id the service gave, registered to the account.
    const std::int32_t clickId = ClickIdOnTheToy(toyDirectory.path());
    UI::RecordingMessageTarget window2;
    Glm::WebApi client;
    client.Init(&window2, demo.ApiUrl(), "0");
    std::string owner;
    std::string errorCode;
    ASSERT_EQ(client.ObtainWhoAreThey(static_cast<std::uint32_t>(clickId), owner, errorCode), 0);
    EXPECT_EQ(owner, userId);
    const std::string log = ReadFile(logPath);
    EXPECT_NE(log.find("ClickSetupRequest?type=jewelrybox"), std::string::npos);
    EXPECT_EQ(log.find("Error popup"), std::string::npos) << log;
    EXPECT_TRUE(QFile::exists(appDirectory.filePath("jewelry_box_congrats.swf")))
        << "the movie is written in the application directory";

    app.terminate();
    EXPECT_TRUE(app.waitForFinished(30000));
}

} // namespace

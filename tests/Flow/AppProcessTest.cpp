// The built program as a user runs it: under its own X server, with its
// files in a directory chosen on the command line, a virtual toy plugged in
// after it started, and a real double click on the devices list.

#include "FrameWorld.h"
#include "XServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using FlowTest::PumpUntil;
using FlowTest::XDoTool;
using FlowTest::XServer;

class AppProcessTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_demo = std::make_unique<FlowTest::DemoService>(); }
    static void TearDownTestSuite() { s_demo.reset(); }
    static std::unique_ptr<FlowTest::DemoService> s_demo;
};
std::unique_ptr<FlowTest::DemoService> AppProcessTest::s_demo;

std::string ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

TEST_F(AppProcessTest, TheBuiltAppListsAToyPluggedAfterStartAndADoubleClickChoosesIt) {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty() ||
        QStandardPaths::findExecutable("xdotool").isEmpty()) {
        GTEST_SKIP() << "needs Xvfb and xdotool";
    }
    ASSERT_TRUE(s_demo->IsRunning());
    FlowTest::Service& service = s_demo->GetService();
    XServer x;
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
                          "/bramblemere/game/glimmeries/english/\n" + "GLM_REPORTING_URL=" + http +
                          "/b/ss/glmdesktopapp/1/%s?D=glm&gn=glimmeries:desktop:%s\n" + "GLM_EXTRA_CA_FILE=" +
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
    // libxkbcommon-x11 hands strndup a buffer without a terminator, which
    // the sanitizer's strict string checks report inside the X connection.
    if (environment.contains("ASAN_OPTIONS")) {
        environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":strict_string_checks=0");
    }
    app.setProcessEnvironment(environment);
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.start(FlowTest::BuildProgram("glimmeries"), {"--app-dir", appDirectory.path()});
    ASSERT_TRUE(app.waitForStarted(10000));
    const QString logPath = appDirectory.filePath("Glimmeries.log");
    const auto logHas = [&](const std::string& text) {
        return ReadFile(logPath).find(text) != std::string::npos;
    };
    EXPECT_TRUE(PumpUntil([&] { return logHas("Landing on DeviceManager"); }, 60000)) << ReadFile(logPath);

    FlowTest::VirtualToy toy("jewelrybox", toyDirectory.path());
    EXPECT_TRUE(PumpUntil([&] { return logHas("(jewelrybox) plugged in"); }, 20000)) << ReadFile(logPath);

    const QString window =
        XDoTool(x.Display(), {"search", "--sync", "--onlyvisible", "--name", "^Glimmeries$"})
            .section(QLatin1Char('\n'), 0, 0);
    ASSERT_FALSE(window.isEmpty());
    // The middle of the first item's picture: the list starts at (220, 260)
    // and its first cell is one and a half item widths wide.
    const int x0 = 220 + Glm::CGLMDevicesDlg::kItemWidth * 3 / 4;
    const int y0 = 260 + 45;
    XDoTool(x.Display(), {"mousemove", "--window", window, QString::number(x0), QString::number(y0)});
    XDoTool(x.Display(), {"click", "--repeat", "2", "--delay", "60", "1"});
    EXPECT_TRUE(PumpUntil([&] { return logHas("Landing on LoginReg"); }, 60000)) << ReadFile(logPath);

    app.terminate();
    EXPECT_TRUE(app.waitForFinished(30000));
    // The log is in the chosen directory, and the service saw the reports.
    EXPECT_NE(service.Admin({"reports"}).find(" devicemanager "), std::string::npos);
}

} // namespace

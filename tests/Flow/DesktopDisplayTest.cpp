// The built program on the display servers a family's desktop has: natively
// on a Wayland compositor (headless Weston), on X11 when the Wayland socket
// is missing, a clear refusal without any display, moving the window where
// the window system has no move of its own, and at scale 2.

#include "DesktopProcess.h"
#include "Flow/DisplayChoice.h"
#include "Flow/GLMDevicesDlg.h"
#include "FrameWorld.h"

#include <QImage>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <map>

namespace {

using Glm::DisplayChoice;

class DesktopDisplayTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_demo = std::make_unique<FlowTest::DemoService>(); }
    static void TearDownTestSuite() { s_demo.reset(); }
    static std::unique_ptr<FlowTest::DemoService> s_demo;
};
std::unique_ptr<FlowTest::DemoService> DesktopDisplayTest::s_demo;

bool Have(const char* program) {
    return !QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty();
}

DisplayChoice Choose(const std::map<std::string, std::string>& environment, const std::string& socket = {},
                     bool plugin = true) {
    return Glm::ChooseDisplay(
        [&environment](const char* name) {
            const auto found = environment.find(name);
            return found == environment.end() ? std::string() : found->second;
        },
        [&socket](const std::string& path) { return !socket.empty() && path == socket; }, plugin);
}

TEST(DisplayChoiceTest, WaylandWhereItListensX11OrAClearRefusalWhereItDoesNot) {
    // A compositor at the named socket: native Wayland, on every desktop.
    const DisplayChoice native =
        Choose({{"WAYLAND_DISPLAY", "wayland-1"}, {"XDG_RUNTIME_DIR", "/run/user/7"}, {"DISPLAY", ":0"}},
               "/run/user/7/wayland-1");
    EXPECT_EQ(native.outcome, DisplayChoice::Outcome::Wayland);
    // X11 stays Qt's fallback should the compositor refuse the connection.
    EXPECT_EQ(native.platform, "wayland;xcb");
    EXPECT_TRUE(native.message.empty());
    // Qt's Wayland plugin missing: X11, or a refusal that names the package.
    const DisplayChoice noPlugin =
        Choose({{"WAYLAND_DISPLAY", "/tmp/w/sock"}, {"DISPLAY", ":0"}}, "/tmp/w/sock", false);
    EXPECT_EQ(noPlugin.outcome, DisplayChoice::Outcome::X11Instead);
    EXPECT_NE(noPlugin.message.find("qt6-wayland"), std::string::npos) << noPlugin.message;
    EXPECT_EQ(Choose({{"WAYLAND_DISPLAY", "/tmp/w/sock"}}, "/tmp/w/sock", false).outcome,
              DisplayChoice::Outcome::NoDisplay);
    // An absolute socket path, and a session that names none (wayland-0).
    const DisplayChoice onlyWayland = Choose({{"WAYLAND_DISPLAY", "/tmp/w/sock"}}, "/tmp/w/sock");
    EXPECT_EQ(onlyWayland.outcome, DisplayChoice::Outcome::Wayland);
    EXPECT_EQ(onlyWayland.platform, "wayland");
    EXPECT_EQ(
        Choose({{"XDG_SESSION_TYPE", "wayland"}, {"XDG_RUNTIME_DIR", "/run/user/7"}}, "/run/user/7/wayland-0")
            .outcome,
        DisplayChoice::Outcome::Wayland);

    // The socket is gone: X11 when it is there, with a word why.
    const DisplayChoice fallback = Choose({{"QT_QPA_PLATFORM", "wayland"},
                                           {"WAYLAND_DISPLAY", "wayland-1"},
                                           {"XDG_RUNTIME_DIR", "/run/user/7"},
                                           {"DISPLAY", ":3"}});
    EXPECT_EQ(fallback.outcome, DisplayChoice::Outcome::X11Instead);
    EXPECT_EQ(fallback.platform, "xcb");
    EXPECT_NE(fallback.message.find("/run/user/7/wayland-1"), std::string::npos) << fallback.message;
    EXPECT_NE(fallback.message.find(":3"), std::string::npos) << fallback.message;

    // Nothing to fall back to, or no display named at all: refused.
    const DisplayChoice none = Choose({{"WAYLAND_DISPLAY", "wayland-1"}, {"XDG_RUNTIME_DIR", "/run/user/7"}});
    EXPECT_EQ(none.outcome, DisplayChoice::Outcome::NoDisplay);
    EXPECT_NE(none.message.find("no X11 DISPLAY"), std::string::npos) << none.message;
    EXPECT_EQ(Choose({{"WAYLAND_DISPLAY", "wayland-1"}}).outcome, DisplayChoice::Outcome::NoDisplay);
    EXPECT_EQ(Choose({}).outcome, DisplayChoice::Outcome::NoDisplay);

    // A platform chosen explicitly is left alone; so is plain X11.
    EXPECT_EQ(Choose({{"QT_QPA_PLATFORM", "offscreen"}}).outcome, DisplayChoice::Outcome::AsConfigured);
    const DisplayChoice x11 = Choose({{"DISPLAY", ":0"}});
    EXPECT_EQ(x11.outcome, DisplayChoice::Outcome::AsConfigured);
    EXPECT_TRUE(x11.platform.empty());
}

TEST_F(DesktopDisplayTest, RunsNativelyOnHeadlessWestonAndListsAToy) {
    if (!Have("weston")) {
        GTEST_SKIP() << "weston is not installed (scripts/bootstrap installs it)";
    }
    ASSERT_TRUE(s_demo->IsRunning());
    FlowTest::Weston weston;
    ASSERT_TRUE(weston.IsRunning()) << weston.Output();
    FlowTest::AppProcess app(s_demo->GetService());
    // No platform named and no X11 display: the compositor's socket alone
    // must bring the program up on Wayland.
    app.Environment().insert("WAYLAND_DISPLAY", weston.SocketPath());
    ASSERT_TRUE(app.Start());
    EXPECT_TRUE(app.WaitForLog("Landing on DeviceManager")) << app.Log() << app.ErrorOutput();
    EXPECT_NE(app.Log().find("Window system: wayland"), std::string::npos) << app.Log();
    FlowTest::VirtualToy toy("jewelrybox", app.ToyDirectory());
    EXPECT_TRUE(app.WaitForLog("(jewelrybox) plugged in", 20000)) << app.Log();
    // Headless Weston has no seat, so no pointer can press on the window:
    // moving it is tried under X11 below, not here.
    // Told to stop, it closes as the tray's Exit does, without a crash.
    app.Process().terminate();
    EXPECT_GE(app.WaitForExit(30000), 0) << app.ErrorOutput();
}

TEST_F(DesktopDisplayTest, AMissingWaylandSocketIsReportedOrLeftForX11) {
    ASSERT_TRUE(s_demo->IsRunning());
    const std::string missing = "/nonexistent/glimmeries-wayland-0";
    {
        FlowTest::AppProcess app(s_demo->GetService());
        app.Environment().insert("WAYLAND_DISPLAY", QString::fromStdString(missing));
        ASSERT_TRUE(app.Start());
        EXPECT_EQ(app.WaitForExit(30000), 1);
        EXPECT_NE(app.ErrorOutput().find("no Wayland compositor listens at " + missing), std::string::npos)
            << app.ErrorOutput();
        // Asking for the version needs no display at all.
        QProcess version;
        version.setProcessEnvironment(app.Environment());
        version.start(FlowTest::BuildProgram("glimmeries"), {"--version"});
        ASSERT_TRUE(version.waitForFinished(30000));
        EXPECT_EQ(version.exitCode(), 0);
        EXPECT_TRUE(version.readAllStandardOutput().startsWith("glimmeries V1.0.4.34"));
    }
    if (!Have("Xvfb")) {
        GTEST_SKIP() << "needs Xvfb for the fallback to X11";
    }
    FlowTest::XServer x;
    ASSERT_FALSE(x.Display().isEmpty());
    FlowTest::AppProcess app(s_demo->GetService());
    app.Environment().insert("WAYLAND_DISPLAY", QString::fromStdString(missing));
    app.Environment().insert("DISPLAY", x.Display());
    ASSERT_TRUE(app.Start());
    EXPECT_TRUE(app.WaitForLog("Landing on DeviceManager")) << app.Log() << app.ErrorOutput();
    EXPECT_NE(app.Log().find("using the X11 display " + x.Display().toStdString()), std::string::npos)
        << app.Log();
    EXPECT_NE(app.Log().find("Window system: xcb"), std::string::npos);
}

struct Geometry {
    QPoint position;
    QSize size;
};

Geometry WindowGeometry(const QString& display, const QString& window) {
    const QString text = FlowTest::XDoTool(display, {"getwindowgeometry", window});
    Geometry geometry;
    const QRegularExpressionMatch position = QRegularExpression("Position: (-?\\d+),(-?\\d+)").match(text);
    const QRegularExpressionMatch size = QRegularExpression("Geometry: (\\d+)x(\\d+)").match(text);
    if (position.hasMatch() && size.hasMatch()) {
        geometry.position = {position.captured(1).toInt(), position.captured(2).toInt()};
        geometry.size = {size.captured(1).toInt(), size.captured(2).toInt()};
    }
    return geometry;
}

QString FindWindow(const QString& display) {
    return FlowTest::XDoTool(display, {"search", "--sync", "--onlyvisible", "--name", "^Glimmeries$"})
        .section(QLatin1Char('\n'), 0, 0);
}

TEST_F(DesktopDisplayTest, WithoutAWindowManagerADragOnTheBackgroundMovesTheWindow) {
    if (!Have("Xvfb") || !Have("xdotool")) {
        GTEST_SKIP() << "needs Xvfb and xdotool";
    }
    ASSERT_TRUE(s_demo->IsRunning());
    FlowTest::XServer x;
    ASSERT_FALSE(x.Display().isEmpty());
    FlowTest::AppProcess app(s_demo->GetService());
    app.Environment().insert("DISPLAY", x.Display());
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.WaitForLog("Landing on DeviceManager")) << app.Log() << app.ErrorOutput();
    const QString window = FindWindow(x.Display());
    ASSERT_FALSE(window.isEmpty());
    const Geometry before = WindowGeometry(x.Display(), window);
    // A free spot of the devices screen's background, dragged by (120, 70).
    // Screen positions: the window moves under the pointer as it goes.
    const auto at = [&before](int dx, int dy) {
        return QStringList{QString::number(before.position.x() + dx),
                           QString::number(before.position.y() + dy)};
    };
    FlowTest::XDoTool(x.Display(), QStringList{"mousemove"} + at(400, 70) + QStringList{"mousedown", "1"});
    FlowTest::XDoTool(x.Display(), QStringList{"mousemove"} + at(460, 105));
    FlowTest::XDoTool(x.Display(), QStringList{"mousemove"} + at(520, 140) + QStringList{"mouseup", "1"});
    EXPECT_TRUE(FlowTest::PumpUntil(
        [&] { return WindowGeometry(x.Display(), window).position == before.position + QPoint(120, 70); },
        10000))
        << "from " << before.position.x() << "," << before.position.y() << " to "
        << WindowGeometry(x.Display(), window).position.x() << ","
        << WindowGeometry(x.Display(), window).position.y();
    EXPECT_NE(app.Log().find("the window follows the pointer"), std::string::npos) << app.Log();
}

TEST_F(DesktopDisplayTest, AtScaleTwoTheSkinMaskAndButtonsScaleTogether) {
    if (!Have("Xvfb") || !Have("xdotool") || !Have("xwininfo")) {
        GTEST_SKIP() << "needs Xvfb, xdotool and xwininfo";
    }
    ASSERT_TRUE(s_demo->IsRunning());
    FlowTest::XServer x(QStringLiteral("2400x1600x24"));
    ASSERT_FALSE(x.Display().isEmpty());
    FlowTest::AppProcess app(s_demo->GetService());
    app.Environment().insert("DISPLAY", x.Display());
    app.Environment().insert("QT_SCALE_FACTOR", "2");
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.WaitForLog("Landing on DeviceManager")) << app.Log() << app.ErrorOutput();
    const QString window = FindWindow(x.Display());
    ASSERT_FALSE(window.isEmpty());
    EXPECT_EQ(WindowGeometry(x.Display(), window).size, QSize(1500, 1000));

    // The X server cuts the window to the mask at twice its size: the kept
    // area (18,1)-(727,497) becomes (36,2)-(1454,994).
    QProcess info;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", x.Display());
    info.setProcessEnvironment(environment);
    info.start(QStringLiteral("xwininfo"), {"-shape", "-id", window});
    info.waitForFinished(15000);
    const QString shape = QString::fromLocal8Bit(info.readAllStandardOutput());
    const QRegularExpressionMatch extents =
        QRegularExpression("Window shape extents:\\s+(-?\\d+)x(-?\\d+)\\+(-?\\d+)\\+(-?\\d+)").match(shape);
    ASSERT_TRUE(extents.hasMatch()) << shape.toStdString();
    EXPECT_EQ(QRect(extents.captured(3).toInt(), extents.captured(4).toInt(), extents.captured(1).toInt(),
                    extents.captured(2).toInt()),
              QRect(36, 2, 1418, 992))
        << shape.toStdString();

    // A double click where the first toy's picture is drawn at scale 2
    // chooses it, as at scale 1.
    FlowTest::VirtualToy toy("jewelrybox", app.ToyDirectory());
    ASSERT_TRUE(app.WaitForLog("(jewelrybox) plugged in", 20000)) << app.Log();
    const int x0 = 2 * (Glm::CGLMDevicesDlg::kListX + Glm::CGLMDevicesDlg::kItemWidth * 3 / 4);
    const int y0 = 2 * (Glm::CGLMDevicesDlg::kListY + 45);
    FlowTest::XDoTool(x.Display(),
                      {"mousemove", "--window", window, QString::number(x0), QString::number(y0)});
    FlowTest::XDoTool(x.Display(), {"click", "--repeat", "2", "--delay", "60", "1"});
    EXPECT_TRUE(app.WaitForLog("Landing on LoginReg")) << app.Log();
}

} // namespace

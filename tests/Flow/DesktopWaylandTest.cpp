// The program on a Wayland compositor that has a pointer and a keyboard:
// Weston nested in an X server, driven with xdotool, seen through Weston's
// own screenshots. The frame is cut to its shape, moves by the compositor's
// move, and its popups lie over it and close with Escape.

#include "DesktopProcess.h"
#include "Flow/GLMDevicesDlg.h"
#include "FrameWorld.h"

#include <QStandardPaths>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

using FlowTest::PumpUntil;
using FlowTest::XDoTool;

class DesktopWaylandTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_demo = std::make_unique<FlowTest::DemoService>(); }
    static void TearDownTestSuite() { s_demo.reset(); }
    static std::unique_ptr<FlowTest::DemoService> s_demo;
};
std::unique_ptr<FlowTest::DemoService> DesktopWaylandTest::s_demo;

bool IsFrameEdge(QRgb pixel) {
    return qRed(pixel) > qGreen(pixel) + 40 && qBlue(pixel) > qGreen(pixel) + 40;
}

/// The frame's visible box on a screenshot: where its purple border lies.
QRect FrameOn(const QImage& shot) {
    QRect box;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (IsFrameEdge(shot.pixel(x, y))) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

bool IsDesktop(QRgb pixel) {
    // Weston's background pattern is grey.
    const int high = std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)});
    const int low = std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)});
    return high - low < 24;
}

/// The rows of the frame's rounded top-left corner where the first pixel
/// that is not the desktop is not wholly the frame's either: a
/// half-transparent fringe blending the two.
int FringeRows(const QImage& shot, const QRect& frame, int cornerRows) {
    int fringe = 0;
    for (int y = frame.top(); y < frame.top() + cornerRows; ++y) {
        for (int x = std::max(0, frame.left() - 8); x < frame.left() + cornerRows + 8; ++x) {
            if (!IsDesktop(shot.pixel(x, y))) {
                fringe += IsFrameEdge(shot.pixel(x, y)) ? 0 : 1;
                break;
            }
        }
    }
    return fringe;
}

bool IsPopupBody(QRgb pixel) {
    // The popups' flat purple, 0xA05EA1.
    return std::abs(qRed(pixel) - 0xA0) < 12 && std::abs(qGreen(pixel) - 0x5E) < 12 &&
           std::abs(qBlue(pixel) - 0xA1) < 12;
}

QStringList At(const QPoint& point) {
    return {QString::number(point.x()), QString::number(point.y())};
}

TEST_F(DesktopWaylandTest, TheShapedFrameMovesByTheCompositorItsPopupsCoverItAndExitMinimises) {
    for (const char* program : {"Xvfb", "xdotool", "weston", "weston-screenshooter"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty()) {
            GTEST_SKIP() << "needs " << program << " (scripts/bootstrap installs it)";
        }
    }
    ASSERT_TRUE(s_demo->IsRunning());
    FlowTest::XServer x(QStringLiteral("1200x900x24"));
    ASSERT_FALSE(x.Display().isEmpty());
    FlowTest::Weston weston(x.Display());
    ASSERT_TRUE(weston.IsRunning()) << weston.Output();
    FlowTest::AppProcess app(s_demo->GetService());
    app.Environment().insert("WAYLAND_DISPLAY", weston.SocketPath());
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.WaitForLog("Landing on DeviceManager")) << app.Log() << app.ErrorOutput();
    EXPECT_NE(app.Log().find("Window system: wayland"), std::string::npos);

    // Cut to the mask: only the kept 709 x 496 shows, its corners rounded
    // off to what lies beneath.
    QImage shot;
    QRect frame;
    PumpUntil(
        [&] {
            shot = weston.Screenshot();
            frame = FrameOn(shot);
            return frame.size() == QSize(709, 496);
        },
        20000);
    ASSERT_EQ(frame.size(), QSize(709, 496)) << frame.x() << "," << frame.y();
    EXPECT_FALSE(IsFrameEdge(shot.pixel(frame.topLeft())));
    EXPECT_FALSE(IsFrameEdge(shot.pixel(frame.bottomRight())));
    EXPECT_EQ(FringeRows(shot, frame, 24), 0);
    FlowTest::SaveDisplayShot(shot, "desktop-wayland-devices");

    // Weston's window lies at the X server's top-left: its output's points
    // are the X server's. A drag on the background moves the window by
    // what the pointer moved.
    const QPoint origin = frame.topLeft() - QPoint(18, 1);
    // The compositor takes the pointer over when the program asks for the
    // move; pointer motion before that would not move the window. The
    // request is logged as it is sent, and the protocol acknowledges it
    // with nothing, so the compositor gets a moment to read it. Weston's
    // X11 back end follows the pointer only once it has entered its window
    // (a pointer that started inside is not seen moving): each attempt
    // comes in from outside.
    bool pressed = false;
    for (int attempt = 0; attempt < 3 && !pressed; ++attempt) {
        XDoTool(x.Display(), {"mousemove", "1150", "880"});
        XDoTool(x.Display(), QStringList{"mousemove"} + At(origin + QPoint(395, 65)));
        XDoTool(x.Display(),
                QStringList{"mousemove"} + At(origin + QPoint(400, 70)) + QStringList{"mousedown", "1"});
        pressed = app.WaitForLog("Window move:", 5000);
        if (!pressed) {
            XDoTool(x.Display(), {"mouseup", "1"});
        }
    }
    ASSERT_TRUE(pressed) << app.Log();
    PumpUntil([] { return false; }, 300);
    XDoTool(x.Display(), QStringList{"mousemove"} + At(origin + QPoint(460, 105)));
    XDoTool(x.Display(),
            QStringList{"mousemove"} + At(origin + QPoint(520, 140)) + QStringList{"mouseup", "1"});
    QRect moved;
    PumpUntil(
        [&] {
            moved = FrameOn(weston.Screenshot());
            return moved.topLeft() == frame.topLeft() + QPoint(120, 70);
        },
        10000);
    EXPECT_EQ(moved.topLeft(), frame.topLeft() + QPoint(120, 70));
    EXPECT_NE(app.Log().find("the window system moves the window"), std::string::npos) << app.Log();

    // Add Friends, then Sign in with nothing entered: the error popup lies
    // over the frame at its place in the layout.
    const QPoint placed = moved.topLeft() - QPoint(18, 1);
    const QPoint firstItem(Glm::CGLMDevicesDlg::kListX + Glm::CGLMDevicesDlg::kItemWidth * 3 / 4,
                           Glm::CGLMDevicesDlg::kListY + 45);
    XDoTool(x.Display(), QStringList{"mousemove"} + At(placed + firstItem));
    XDoTool(x.Display(), {"click", "--repeat", "2", "--delay", "60", "1"});
    ASSERT_TRUE(app.WaitForLog("Landing on LoginReg", 30000)) << app.Log();
    XDoTool(x.Display(),
            QStringList{"mousemove"} + At(placed + QPoint(363, 347)) + QStringList{"click", "1"});
    ASSERT_TRUE(app.WaitForLog("Error popup 152", 30000)) << app.Log();
    const QPoint inPopup = placed + QPoint(200, 300);
    EXPECT_TRUE(PumpUntil([&] { return IsPopupBody(weston.Screenshot().pixel(inPopup)); }, 10000));
    FlowTest::SaveDisplayShot(weston.Screenshot(), "desktop-wayland-error-popup");
    XDoTool(x.Display(), {"key", "Escape"});
    EXPECT_TRUE(PumpUntil([&] { return !IsPopupBody(weston.Screenshot().pixel(inPopup)); }, 10000));

    // No notification area here: the Exit button minimises the window
    // instead of hiding it where nothing could bring it back.
    EXPECT_NE(app.Log().find("No notification area"), std::string::npos) << app.Log();
    XDoTool(x.Display(),
            QStringList{"mousemove"} + At(placed + QPoint(665 + 11, 17 + 11)) + QStringList{"click", "1"});
    EXPECT_TRUE(PumpUntil([&] { return FrameOn(weston.Screenshot()).isEmpty(); }, 10000));
    EXPECT_EQ(app.Process().state(), QProcess::Running);
}

TEST_F(DesktopWaylandTest, AtScaleTwoTheShapeDoublesWithoutAFringe) {
    for (const char* program : {"Xvfb", "weston", "weston-screenshooter"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty()) {
            GTEST_SKIP() << "needs " << program << " (scripts/bootstrap installs it)";
        }
    }
    ASSERT_TRUE(s_demo->IsRunning());
    FlowTest::XServer x(QStringLiteral("1800x1300x24"));
    ASSERT_FALSE(x.Display().isEmpty());
    FlowTest::Weston weston(x.Display(), QSize(1700, 1200));
    ASSERT_TRUE(weston.IsRunning()) << weston.Output();
    FlowTest::AppProcess app(s_demo->GetService());
    app.Environment().insert("WAYLAND_DISPLAY", weston.SocketPath());
    app.Environment().insert("QT_SCALE_FACTOR", "2");
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(app.WaitForLog("Screen 152 first painted")) << app.Log() << app.ErrorOutput();
    // The kept 709 x 496 of the mask, at twice the size, its corner edge
    // stepping by whole pixels.
    QImage shot;
    QRect frame;
    PumpUntil(
        [&] {
            shot = weston.Screenshot();
            frame = FrameOn(shot);
            return frame.size() == QSize(1418, 992);
        },
        20000);
    ASSERT_EQ(frame.size(), QSize(1418, 992)) << frame.x() << "," << frame.y();
    EXPECT_EQ(FringeRows(shot, frame, 48), 0);
    FlowTest::SaveDisplayShot(shot, "desktop-wayland-scale2");
}

} // namespace

// Start-up sequence, tray, restart after an exception.

#include "Flow/Shell.h"

#include "Flow/GLMSplashDlg.h"
#include "Flow/GuiApplication.h"
#include "Flow/MainFrame.h"
#include "Flow/TrayIcon.h"
#include "FlowFixture.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace {

using FlowTest::Fixture;

TEST(StartUpTest, SplashThenPatcherThenConnectingThenScreens) {
    Fixture fixture;
    Glm::MainFrame frame(*fixture.application);
    std::vector<std::uint32_t> seen;
    frame.SetObserver([&](const UI::Message& message) { seen.push_back(message.id); });
    frame.Target().Send(UI::WM_GLM_START);
    frame.show();
    ASSERT_NE(frame.GetSplash(), nullptr);
    EXPECT_TRUE(frame.GetSplash()->isVisible());
    EXPECT_TRUE(frame.GetSplash()->GetProgressBar()->IsMarquee());
    EXPECT_EQ(fixture.worker->starts, 1);

    ASSERT_TRUE(QTest::qWaitFor([&] { return frame.GetTray() != nullptr; }, 5000));
    EXPECT_EQ(frame.GetSplash()->GetProgressBar()->GetPosition(), 40) << "progress stopped the marquee";
    EXPECT_FALSE(frame.GetSplash()->isVisible()) << "the splash hides once the patcher is done";
    const std::vector<std::uint32_t> expected{UI::WM_GLM_START, UI::WM_GLM_SHOW_SPLASH,
                                              UI::WM_GLM_START_SCREENS, UI::WM_GLM_SHOW_DEVICES};
    EXPECT_EQ(seen, expected);
    const std::string log = fixture.Log();
    EXPECT_NE(log.find("V1.0.4.34"), std::string::npos);
    EXPECT_NE(log.find("Connecting to https://127.0.0.1:1/api/"), std::string::npos) << log;
    EXPECT_LT(log.find("V1.0.4.34"), log.find("Connecting to"));
}

TEST(StartUpTest, StartErrorFromThePatcherClosesTheApplication) {
    Fixture fixture;
    fixture.worker->reportStartError = true;
    Glm::MainFrame frame(*fixture.application);
    FlowTest::PopupDismisser dismisser(frame);
    frame.Target().Send(UI::WM_GLM_START);
    frame.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame.IsClosed(); }, 5000));
    EXPECT_EQ(frame.GetErrorId(), 175U);
    EXPECT_EQ(frame.GetTray(), nullptr);
    EXPECT_NE(fixture.Log().find("Error popup 175: There has been an error starting"), std::string::npos);
}

TEST(TrayTest, HideAndShowGreyTheOtherItemAndShowRunsTheUpdateCheck) {
    Fixture fixture;
    Glm::MainFrame frame(*fixture.application);
    FlowTest::PopupDismisser dismisser(frame);
    frame.Target().Send(UI::WM_GLM_START);
    frame.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame.GetTray() != nullptr; }, 5000));
    Glm::TrayIcon& tray = *frame.GetTray();
    EXPECT_FALSE(tray.IsItemEnabled(UI::ID_TRAY_SHOW));
    EXPECT_TRUE(tray.IsItemEnabled(UI::ID_TRAY_HIDE));

    frame.Target().Send(UI::WM_GLM_TRAY_COMMAND, UI::ID_TRAY_HIDE);
    EXPECT_TRUE(tray.IsHidden());
    EXPECT_TRUE(tray.IsItemEnabled(UI::ID_TRAY_SHOW));
    EXPECT_FALSE(tray.IsItemEnabled(UI::ID_TRAY_HIDE));
    // No notification area on the offscreen platform: hiding minimises.
    EXPECT_TRUE(frame.isMinimized() || !frame.isVisible());

    fixture.worker->newerVersion = true;
    tray.OnActivated(QSystemTrayIcon::DoubleClick); // what a second instance asks for too
    EXPECT_FALSE(tray.IsHidden());
    EXPECT_TRUE(frame.isVisible());
    EXPECT_FALSE(frame.isMinimized());
    EXPECT_FALSE(tray.IsItemEnabled(UI::ID_TRAY_SHOW));
    EXPECT_TRUE(tray.IsItemEnabled(UI::ID_TRAY_HIDE));
    EXPECT_EQ(frame.GetErrorId(), 180U) << "a newer version found on Show raises error 180";

    frame.Target().Send(UI::WM_GLM_TRAY_COMMAND, UI::ID_TRAY_EXIT);
    EXPECT_TRUE(frame.IsClosed());
}

TEST(RestartTest, AThrowingHandlerRestartsTheInterfaceAndTheLogKeepsGrowing) {
    Fixture fixture;
    auto& qtApplication = *static_cast<Glm::GuiApplication*>(QCoreApplication::instance());
    int boxes = 0;
    Glm::Shell shell(qtApplication, *fixture.application, [&] { ++boxes; });
    constexpr std::uint32_t kThrowingMessage = 1600;
    std::size_t logSizeAtRestart = 0;
    shell.SetFrameCreatedHook([&](Glm::MainFrame& frame) {
        frame.SetHandler(kThrowingMessage, [](const UI::Message&) -> UI::LRESULT {
            throw std::runtime_error("injected failure");
        });
        if (shell.GetLives() == 1) {
            frame.Target().Post(kThrowingMessage);
        } else {
            logSizeAtRestart = fixture.Log().size();
            frame.SetObserver([&frame](const UI::Message& message) {
                if (message.id == UI::WM_GLM_START_SCREENS) {
                    frame.Target().Post(UI::WM_CLOSE);
                }
            });
        }
    });
    EXPECT_EQ(shell.RunUntilDone(), 1);
    EXPECT_EQ(shell.GetLives(), 2);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(fixture.worker->starts, 2) << "the second life starts with the splash again";
    const std::string log = fixture.Log();
    EXPECT_NE(log.find("injected failure"), std::string::npos);
    EXPECT_GT(logSizeAtRestart, 0U);
    EXPECT_GT(log.size(), logSizeAtRestart);
    EXPECT_NE(log.find("Connecting to", log.find("injected failure")), std::string::npos)
        << "the restarted life logs its start into the same log";
}

// The restart limit counts restarts within a minute only: failures spread
// out further keep restarting; a burst ends in the fatal-error handler.
TEST(RestartTest, OnlyAFourthFailureWithinAMinuteIsFatal) {
    Fixture fixture;
    auto& qtApplication = *static_cast<Glm::GuiApplication*>(QCoreApplication::instance());
    int boxes = 0;
    Glm::Shell shell(qtApplication, *fixture.application, [&] { ++boxes; });
    std::vector<std::string> fatal;
    shell.SetFatalErrorHandler([&](const std::string& function, const Ex::Exception& exception) {
        fatal.push_back(function + ": " + exception.ToString());
    });
    auto now = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
    shell.SetClock([&] { return now; });
    constexpr std::uint32_t kThrowingMessage = 1600;
    int failingLives = 6;
    shell.SetFrameCreatedHook([&](Glm::MainFrame& frame) {
        frame.SetHandler(kThrowingMessage, [](const UI::Message&) -> UI::LRESULT {
            throw std::runtime_error("injected failure");
        });
        if (shell.GetLives() <= failingLives) {
            frame.Target().Post(kThrowingMessage);
        } else {
            frame.SetObserver([&frame](const UI::Message& message) {
                if (message.id == UI::WM_GLM_START_SCREENS) {
                    frame.Target().Post(UI::WM_CLOSE);
                }
            });
        }
        now += std::chrono::seconds(25); // at most two earlier restarts in any minute
    });
    EXPECT_EQ(shell.RunUntilDone(), 1);
    EXPECT_EQ(shell.GetLives(), 7);
    EXPECT_EQ(boxes, 6);
    EXPECT_TRUE(fatal.empty());

    FlowTest::ForgetQuitRequest();

    // Now every start fails at once: three more restarts, then the end.
    failingLives = 100;
    boxes = 0;
    shell.SetFrameCreatedHook([&](Glm::MainFrame& frame) {
        frame.SetHandler(kThrowingMessage, [](const UI::Message&) -> UI::LRESULT {
            throw std::runtime_error("injected failure");
        });
        frame.Target().Post(kThrowingMessage);
        now += std::chrono::seconds(1);
    });
    now += std::chrono::minutes(2);
    EXPECT_EQ(shell.RunUntilDone(), 1);
    EXPECT_EQ(boxes, 3);
    ASSERT_EQ(fatal.size(), 1u);
    EXPECT_NE(fatal[0].find("Glm::Shell::Run: "), std::string::npos);
    EXPECT_NE(fatal[0].find("A fatal exception has been detected. The user interface failed again after 3 "
                            "restarts within 60 seconds."),
              std::string::npos)
        << fatal[0];

    // A program re-executed after a fault counts the restarts before it.
    fatal.clear();
    boxes = 0;
    const auto at = [&](int secondsAgo) { return now - std::chrono::seconds(secondsAgo); };
    now += std::chrono::minutes(2);
    EXPECT_EQ(shell.ResumeAfterFault({at(30), at(20), at(0)}), -1);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(shell.ResumeAfterFault({at(70), at(30), at(20), at(10), at(0)}), 1);
    EXPECT_EQ(fatal.size(), 1u);
    FlowTest::ForgetQuitRequest();
}

} // namespace

// The frame's screen flow against the demo service and virtual toys: the
// devices screen with none, one, three and four toys, toys plugged and
// unplugged while other screens are up, the errors that follow, the
// guarded popups and the messages nobody handles.

#include "Flow/GLMSplashDlg.h"
#include "Flow/ScreenIds.h"
#include "Flow/SkinnedScreen.h"
#include "FrameWorld.h"

#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

using FlowTest::FrameWorld;
using FlowTest::PopupScript;
using FlowTest::PumpUntil;
using FlowTest::SaveScreenshot;
using Glm::CGLMDevicesDlg;
namespace ScreenId = Glm::ScreenId;

class FrameFlowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_demo = std::make_unique<FlowTest::DemoService>(); }
    static void TearDownTestSuite() { s_demo.reset(); }
    void SetUp() override { ASSERT_TRUE(s_demo->IsRunning()); }

    static std::unique_ptr<FlowTest::DemoService> s_demo;
};
std::unique_ptr<FlowTest::DemoService> FrameFlowTest::s_demo;

bool Visible(QWidget& screen, int controlId) {
    QWidget* control = ThinUI::FindControl(&screen, controlId);
    return control != nullptr && !control->isHidden();
}

TEST_F(FrameFlowTest, WithoutToysTheTwoActionsLeadToSignInWithTheirIds) {
    FrameWorld world(*s_demo);
    ASSERT_TRUE(world.Start());
    CGLMDevicesDlg& devices = world.Devices();
    EXPECT_EQ(world.VisibleScreens(), std::vector<int>{ScreenId::kDevices});
    EXPECT_EQ(world.Labels(), (std::vector<std::string>{"Add Friends", "Use Glint\nPoints"}));
    EXPECT_TRUE(Visible(devices, CGLMDevicesDlg::kErrorImageId));
    EXPECT_FALSE(Visible(devices, CGLMDevicesDlg::kTextImageId));
    EXPECT_FALSE(Visible(devices, CGLMDevicesDlg::kLeftArrowId));
    EXPECT_FALSE(Visible(devices, CGLMDevicesDlg::kRightArrowId));
    EXPECT_EQ(devices.GetList()->item(0)->data(Qt::UserRole).toInt(), 106);
    EXPECT_EQ(devices.GetList()->item(1)->data(Qt::UserRole).toInt(), 107);
    // Controls where the screen places them.
    EXPECT_EQ(devices.GetList()->geometry().topLeft(), QPoint(220, 260));
    EXPECT_EQ(devices.GetList()->height(), 170);
    EXPECT_EQ(ThinUI::FindControl(&devices, CGLMDevicesDlg::kErrorImageId)->pos(), QPoint(151, 180));
    EXPECT_EQ(ThinUI::FindControl(&devices, CGLMDevicesDlg::kWelcomeImageId)->pos(), QPoint(263, 132));
    EXPECT_EQ(ThinUI::FindControl(&devices, CGLMDevicesDlg::kVersionId)->pos().y(), 47);
    EXPECT_TRUE(world.LogHas("Landing on DeviceManager"));
    SaveScreenshot(world.frame, "devices-no-toy");

    // The second item is one and a half item widths right of the first.
    const QRect first = devices.GetList()->ItemRect(0);
    const QRect second = devices.GetList()->ItemRect(1);
    EXPECT_EQ(second.top(), first.top());
    EXPECT_EQ(second.center().x() - first.center().x(), CGLMDevicesDlg::kItemWidth * 3 / 2);

    ASSERT_TRUE(world.DoubleClickItem(1));
    PumpUntil([&] { return world.Count(UI::WM_GLM_SHOW_SIGN_IN) == 1; });
    EXPECT_EQ(world.App().GetCurrentDevice(), 107);
    EXPECT_EQ(world.VisibleScreens(), std::vector<int>{ScreenId::kSignIn});
    ASSERT_FALSE(world.recorder.sounds.empty());
    EXPECT_EQ(world.recorder.sounds.front(), "CLICK_BUBBLE_SOUND");

    // With a no-toy action chosen, guarded popups find their toy.
    EXPECT_TRUE(world.frame.IsToyInUsePresent());
    PopupScript popups(world.frame, true);
    world.frame.Target().Send(UI::WM_GLM_SHOW_SETUP_CONFIRM);
    EXPECT_TRUE(world.Errors().empty());
    ASSERT_EQ(popups.Popups().size(), 1U);
    EXPECT_EQ(popups.Popups()[0].dialogId, 153);
}

TEST_F(FrameFlowTest, AToyPluggedWhileSignInIsUpIsListedAndBringsTheAppForward) {
    FrameWorld world(*s_demo);
    ASSERT_TRUE(world.Start());
    world.frame.Target().Send(UI::WM_GLM_SHOW_SIGN_IN);
    ASSERT_EQ(world.VisibleScreens(), std::vector<int>{ScreenId::kSignIn});

    auto bracelet = world.Plug("bracelet");
    ASSERT_EQ(world.App().GetToys().GetCount(), 1U);
    EXPECT_EQ(world.Labels(), std::vector<std::string>{"Not Registered\nBracelet"});
    EXPECT_EQ(world.Devices().GetList()->item(0)->data(Qt::UserRole).toUInt(),
              world.App().GetToys().List().front().GetDeviceId());
    bool broughtForward = false;
    for (const UI::Message& message : world.seen) {
        broughtForward |= message.id == UI::WM_GLM_TRAY_COMMAND && message.wParam == UI::ID_TRAY_SHOW;
    }
    EXPECT_TRUE(broughtForward);
    // Only the list changed: the sign-in screen stays.
    EXPECT_EQ(world.VisibleScreens(), std::vector<int>{ScreenId::kSignIn});
    // The name is kept on the listed toy.
    EXPECT_EQ(world.App().GetToys().List().front().GetOwnerName(), "Not Registered");

    world.frame.Target().Send(UI::WM_GLM_SHOW_DEVICES);
    EXPECT_FALSE(world.Devices().GetList()->item(0)->icon().isNull());
    EXPECT_TRUE(Visible(world.Devices(), CGLMDevicesDlg::kTextImageId));
    EXPECT_FALSE(Visible(world.Devices(), CGLMDevicesDlg::kErrorImageId));
    SaveScreenshot(world.frame, "devices-one-toy");
}

TEST_F(FrameFlowTest, UnpluggingTheToyInUseShowsErrorThenOnlyTheDevicesScreen) {
    FrameWorld world(*s_demo);
    ASSERT_TRUE(world.Start());
    auto bracelet = world.Plug("jewelrybox");
    auto game = world.Plug("game");
    ASSERT_EQ(world.App().GetToys().GetCount(), 2U);
    ASSERT_TRUE(world.DoubleClickItem(0));
    PumpUntil([&] { return world.Count(UI::WM_GLM_SHOW_SIGN_IN) == 1; });
    const std::int32_t chosen = world.App().GetCurrentDevice();
    ASSERT_EQ(static_cast<std::uint32_t>(chosen), world.App().GetToys().List().front().GetDeviceId());
    world.frame.Target().Send(UI::WM_GLM_SCREEN_DONE);
    ASSERT_EQ(world.VisibleScreens(), std::vector<int>{ScreenId::kMainMenu});

    // Another toy going only changes the list.
    ASSERT_TRUE(world.Unplug(*game));
    EXPECT_TRUE(world.Errors().empty());
    EXPECT_EQ(world.VisibleScreens(), std::vector<int>{ScreenId::kMainMenu});
    EXPECT_EQ(world.Devices().GetList()->count(), 1);

    // The toy in use going: 183, and its close leaves the devices screen.
    PopupScript popups(world.frame);
    bool shot = false;
    popups.OnNextPopup([&](Glm::SkinnedPopup& popup) {
        SaveScreenshot(popup, "error-183-toy-removed");
        shot = true;
    });
    ASSERT_TRUE(world.Unplug(*bracelet));
    PumpUntil([&] { return !popups.Popups().empty() && world.frame.GetOpenPopup() == nullptr; });
    EXPECT_TRUE(shot);
    EXPECT_EQ(world.Errors(), std::vector<std::uintptr_t>{183});
    ASSERT_EQ(popups.Popups().size(), 1U);
    EXPECT_EQ(popups.Popups()[0].messageId, 183U);
    EXPECT_EQ(world.VisibleScreens(), std::vector<int>{ScreenId::kDevices});
    EXPECT_EQ(world.Labels(), (std::vector<std::string>{"Add Friends", "Use Glint\nPoints"}));
    SaveScreenshot(world.frame, "devices-after-183");
}

TEST_F(FrameFlowTest, ArrowsAppearAboveThreeToysAndScrollByTwoItemWidths) {
    FrameWorld world(*s_demo);
    ASSERT_TRUE(world.Start());
    std::vector<std::unique_ptr<FlowTest::NamedToy>> toys;
    for (const char* kind : {"bracelet", "jewelrybox", "game"}) {
        toys.push_back(world.Plug(kind));
    }
    ASSERT_EQ(world.App().GetToys().GetCount(), 3U);
    CGLMDevicesDlg& devices = world.Devices();
    EXPECT_EQ(world.Labels(),
              (std::vector<std::string>{"Not Registered\nBracelet", "Not Registered\nJewelry Box",
                                        "Not Registered\nRodod Orez"}));
    EXPECT_FALSE(Visible(devices, CGLMDevicesDlg::kLeftArrowId));
    EXPECT_FALSE(Visible(devices, CGLMDevicesDlg::kRightArrowId));
    SaveScreenshot(world.frame, "devices-three-toys");

    toys.push_back(world.Plug("bracelet", "second-bracelet"));
    ASSERT_EQ(world.App().GetToys().GetCount(), 4U);
    EXPECT_TRUE(Visible(devices, CGLMDevicesDlg::kLeftArrowId));
    EXPECT_TRUE(Visible(devices, CGLMDevicesDlg::kRightArrowId));
    EXPECT_EQ(ThinUI::FindControl(&devices, CGLMDevicesDlg::kLeftArrowId)->pos(), QPoint(125, 286));
    EXPECT_EQ(ThinUI::FindControl(&devices, CGLMDevicesDlg::kRightArrowId)->pos(), QPoint(580, 286));
    QScrollBar* bar = devices.GetList()->horizontalScrollBar();
    // The refresh brought the newest toy into view.
    EXPECT_EQ(bar->value(), bar->maximum());
    SaveScreenshot(world.frame, "devices-four-toys");

    const int end = bar->value();
    EXPECT_EQ(FlowTest::ClickAt(devices, 125 + 10, 286 + 10), CGLMDevicesDlg::kLeftArrowId);
    EXPECT_EQ(bar->value(), std::max(0, end - 2 * CGLMDevicesDlg::kItemWidth));
    EXPECT_EQ(FlowTest::ClickAt(devices, 580 + 10, 286 + 10), CGLMDevicesDlg::kRightArrowId);
    EXPECT_EQ(bar->value(), end);
}

TEST_F(FrameFlowTest, ToysAreNamedByTheServiceAndNotRecognizedWhenItIsDown) {
    FrameWorld world(*s_demo);
    ASSERT_TRUE(world.Start());
    auto bracelet = world.Plug("bracelet");
    const Glm::Toy listed = world.App().GetToys().List().front();
    const std::uint32_t clickId = s_demo->Accounts().front().braceletClickId;
    ASSERT_NE(clickId, 0U);
    // The toy as if its memory held the click id of a demo account's
    // bracelet, and no name known yet.
    const auto giveClickId = [&](std::uint32_t id) {
        world.App().GetToys().Update(listed.GetDeviceId(), [id](Glm::Toy& toy) {
            Glm::Toy::Memory image = toy.GetImage();
            Glm::Toy::SetWord(image, 0, static_cast<std::int32_t>(id));
            toy.SetImage(image);
            toy.SetOwnerName("");
        });
    };
    giveClickId(clickId);
    world.frame.Target().Send(UI::WM_GLM_SHOW_SIGN_IN);
    world.frame.Target().Send(UI::WM_GLM_SHOW_DEVICES);
    ASSERT_EQ(world.Labels().size(), 1U);
    const std::string name = world.Labels().front().substr(0, world.Labels().front().find('\n'));
    EXPECT_NE(name, "Not Recognized");
    EXPECT_NE(name, "Not Registered");
    EXPECT_EQ(world.App().GetToys().List().front().GetOwnerName(), name);
    SaveScreenshot(world.frame, "devices-named-toy");

    // The service gone: the name cannot be found, and choosing the toy
    // raises 170 and stays.
    PopupScript popups(world.frame, true);
    giveClickId(clickId);
    world.App().GetWebApi().Init(&world.frame.Target(), "https://127.0.0.1:1/api/", "1");
    world.frame.Target().Send(UI::WM_GLM_SHOW_SIGN_IN);
    world.frame.Target().Send(UI::WM_GLM_SHOW_DEVICES);
    EXPECT_EQ(world.Labels(), std::vector<std::string>{"Not Recognized\nBracelet"});
    ASSERT_TRUE(world.DoubleClickItem(0));
    PumpUntil([&] { return !world.Errors().empty() && world.Errors().back() == 170; });
    EXPECT_EQ(world.Errors().back(), 170U);
    EXPECT_EQ(world.VisibleScreens(), std::vector<int>{ScreenId::kDevices});
    EXPECT_EQ(world.Count(UI::WM_GLM_SHOW_SIGN_IN), 2U); // only the test's own
}

TEST_F(FrameFlowTest, UnreadableAndForeignToysAreNotListedAndBringNothingForward) {
    FrameWorld world(*s_demo);
    ASSERT_TRUE(world.Start());
    world.seen.clear();
    // A bracelet whose memory cannot be read: no device answers to its id.
    auto ghost = std::make_shared<Glm::Toy>(987654U, 4113U);
    world.frame.Target().Send(UI::WM_GLM_DEVICE_CHANGE, UI::kDeviceArrival, 0, ghost);
    // Another product altogether.
    auto foreign = std::make_shared<Glm::Toy>(987655U, 4200U);
    world.frame.Target().Send(UI::WM_GLM_DEVICE_CHANGE, UI::kDeviceArrival, 0, foreign);
    EXPECT_EQ(world.App().GetToys().GetCount(), 0U);
    EXPECT_EQ(world.Count(UI::WM_GLM_TRAY_COMMAND), 0U);
    EXPECT_TRUE(world.LogHas("could not be read"));
    EXPECT_EQ(world.Labels().size(), 2U);
}

TEST_F(FrameFlowTest, GuardedPopupWithItsToyGoneRaises153Instead) {
    FrameWorld world(*s_demo);
    ASSERT_TRUE(world.Start());
    PopupScript popups(world.frame, true);
    auto game = world.Plug("game");
    const std::uint32_t id = world.App().GetToys().List().front().GetDeviceId();
    world.App().SetCurrentDevice(static_cast<std::int32_t>(id));
    EXPECT_TRUE(world.frame.IsToyInUsePresent());
    // The toy is still listed but no longer answers.
    world.App().GetToys().Update(id, [](Glm::Toy& toy) { toy.SetPresent(false); });
    for (const std::uint32_t message :
         {UI::WM_GLM_SHOW_SETUP_CONFIRM, UI::WM_GLM_SHOW_SETUP_CONGRATS, UI::WM_GLM_SHOW_GLINT_CONFIRM,
          UI::WM_GLM_SHOW_FRIENDSHIP_INVITE, UI::WM_GLM_SHOW_FRIENDSHIP_INVITE_2,
          UI::WM_GLM_SHOW_FRIENDSHIP_STATUS}) {
        world.seen.clear();
        world.frame.Target().Send(message);
        EXPECT_EQ(world.Errors(), std::vector<std::uintptr_t>{153}) << message;
    }
    ASSERT_EQ(popups.Popups().size(), 6U);
    for (const auto& popup : popups.Popups()) {
        EXPECT_EQ(popup.dialogId, Glm::CGLMErrorDlg::kDialogId);
    }
    // No toy chosen at all: the same.
    world.App().SetCurrentDevice(Glm::Glimmeries::kNoDevice);
    EXPECT_FALSE(world.frame.IsToyInUsePresent());
}

TEST_F(FrameFlowTest, ASecondErrorKeepsTheOpenPopupAndChangesOnlyItsFollowUp) {
    FrameWorld world(*s_demo);
    ASSERT_TRUE(world.Start());
    world.frame.Target().Send(UI::WM_GLM_SHOW_SIGN_IN);
    PopupScript popups(world.frame);
    QString shownText;
    popups.OnNextPopup([&](Glm::SkinnedPopup& popup) {
        world.frame.Target().Send(UI::WM_GLM_SHOW_ERROR, 183);
        auto* label =
            dynamic_cast<ThinUI::TextLabel*>(ThinUI::FindControl(&popup, Glm::CGLMErrorDlg::kTextId));
        shownText = label != nullptr ? label->GetText() : QString();
        SaveScreenshot(popup, "error-two-in-a-row");
    });
    world.frame.Target().Send(UI::WM_GLM_SHOW_ERROR, 170);
    // One popup, with the first text; its close took the second's action.
    ASSERT_EQ(popups.Popups().size(), 1U);
    EXPECT_TRUE(shownText.startsWith("We did not recognize")) << shownText.toStdString();
    EXPECT_EQ(world.frame.GetErrorId(), 183U);
    EXPECT_EQ(world.VisibleScreens(), std::vector<int>{ScreenId::kDevices});
}

TEST_F(FrameFlowTest, HideAllEndsEveryOpenPopupWithTwoAndKeepsOneScreen) {
    FrameWorld world(*s_demo);
    ASSERT_TRUE(world.Start());
    world.App().SetCurrentDevice(106);
    world.frame.Target().Send(UI::WM_GLM_SCREEN_DONE);
    ASSERT_EQ(world.VisibleScreens(), std::vector<int>{ScreenId::kMainMenu});
    PopupScript popups(world.frame);
    int nestedDepth = 0;
    popups.OnNextPopup([&](Glm::SkinnedPopup&) {
        // A second popup inside the first, and hide-all inside that.
        QTimer::singleShot(20, [&] {
            nestedDepth = world.frame.GetOpenPopup() != nullptr ? 2 : 0;
            world.frame.Target().Send(UI::WM_GLM_HIDE_ALL, UI::WM_GLM_SCREEN_DONE);
        });
        world.frame.Target().Send(UI::WM_GLM_SHOW_CONGRATS, 199);
    });
    world.frame.Target().Send(UI::WM_GLM_SHOW_QUICKPHRASE_POPUP);
    EXPECT_EQ(world.frame.GetOpenPopup(), nullptr);
    EXPECT_EQ(nestedDepth, 2);
    EXPECT_EQ(world.VisibleScreens(), std::vector<int>{ScreenId::kMainMenu});
    EXPECT_TRUE(world.frame.GetSplash()->isHidden());
}

TEST_F(FrameFlowTest, MessagesWithoutAScreenOrHandlerAreLoggedOnceAndIgnored) {
    FrameWorld world(*s_demo);
    ASSERT_TRUE(world.Start());
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(world.frame.Target().Send(1600), 0);
        EXPECT_EQ(world.frame.Target().Send(UI::WM_GLM_FRIENDSHIP_NEXT), 0);
        EXPECT_EQ(world.frame.Target().Send(UI::WM_GLM_SHOW_GLINT_REDEEM_CONGRATS, 1, 2), 0);
    }
    EXPECT_EQ(world.LogCount("Message 1600 ignored: no handler"), 1U);
    EXPECT_EQ(world.LogCount("Message 1579 ignored"), 1U);
    EXPECT_EQ(world.LogCount("Message 1547 ignored"), 1U);
    // Nothing moved.
    EXPECT_EQ(world.VisibleScreens(), std::vector<int>{ScreenId::kDevices});
}

} // namespace

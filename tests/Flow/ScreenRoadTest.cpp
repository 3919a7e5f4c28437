// The road a user walks through the real frame: a chosen toy, sign-in with
// a demo account, the main menu for that toy, the tutorial and back, and the
// sign-up screen for an account without a Fairy.

#include "Flow/GLMLoginDlg.h"
#include "Flow/GLMSignUpDlg.h"
#include "Flow/GLMTutorialDlg.h"
#include "Flow/GLMWelcomeDlg.h"
#include "Flow/ScreenIds.h"
#include "Flow/ToyInUse.h"
#include "ScreenWorld.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

using FlowTest::ClickAt;
using FlowTest::DemoAccount;
using FlowTest::ScreenWorld;
using Glm::CGLMLoginDlg;
using Glm::CGLMWelcomeDlg;

class ScreenRoadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ScreenWorld::SetUpShared(); }
    void SetUp() override {
        ASSERT_TRUE(ScreenWorld::Demo().IsRunning());
        world.frame.Target().Send(UI::WM_GLM_START_SCREENS);
        login = world.frame.GetScreen<CGLMLoginDlg>(Glm::ScreenId::kSignIn);
        ASSERT_NE(login, nullptr);
        login->SetPlayerVersionProbe([](QWidget&) { return std::string("11"); });
    }
    /// What the devices screen does when a toy is chosen.
    void Choose(std::int32_t device) {
        world.App().SetCurrentDevice(device);
        world.frame.Target().Send(UI::WM_GLM_SHOW_SIGN_IN, 0, device);
    }
    void SignIn(const DemoAccount& account) {
        qobject_cast<QLineEdit*>(ThinUI::FindControl(login, CGLMLoginDlg::kAccountId))
            ->setText(QString::fromStdString(account.login));
        qobject_cast<QLineEdit*>(ThinUI::FindControl(login, CGLMLoginDlg::kPasswordId))
            ->setText(QString::fromStdString(account.password));
        EXPECT_EQ(ClickAt(*login, 333 + 20, 335 + 10), CGLMLoginDlg::kSignInId);
    }

    ScreenWorld world;
    FlowTest::PopupDismisser dismisser{world.frame};
    CGLMLoginDlg* login = nullptr;
};

TEST_F(ScreenRoadTest, ARegisteredBraceletSignsInToAMenuWithEveryTask) {
    const DemoAccount& owner = ScreenWorld::Demo().Accounts()[0];
    world.SetToyState(Glm::kBraceletProduct, static_cast<std::int32_t>(owner.braceletClickId), 120, false);
    Choose(world.ToyId(Glm::kBraceletProduct));
    EXPECT_EQ(world.frame.GetVisibleScreen(), login);
    SignIn(owner);
    EXPECT_TRUE(world.Errors().empty());
    auto* menu = world.frame.GetScreen<CGLMWelcomeDlg>(Glm::ScreenId::kMainMenu);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(world.frame.GetVisibleScreen(), menu);
    for (const int task : {CGLMWelcomeDlg::kChangeBraceletId, CGLMWelcomeDlg::kUploadFriendshipsId,
                           CGLMWelcomeDlg::kUploadCharmsId, CGLMWelcomeDlg::kUploadPointsId,
                           CGLMWelcomeDlg::kRedeemPointsId}) {
        EXPECT_TRUE(menu->IsButtonEnabled(task)) << task;
    }
    EXPECT_FALSE(menu->IsButtonShown(CGLMWelcomeDlg::kTellMeMoreId));
    FlowTest::SaveScreenshot(world.frame, "road-mainmenu-bracelet");
}

TEST_F(ScreenRoadTest, ANewJewelryBoxLeadsToItsTutorialAndBack) {
    world.SetToyState(Glm::kJewelryBoxProduct, 0, 0, false);
    Choose(world.ToyId(Glm::kJewelryBoxProduct));
    SignIn(ScreenWorld::Demo().Accounts()[1]);
    auto* menu = world.frame.GetScreen<CGLMWelcomeDlg>(Glm::ScreenId::kMainMenu);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(world.frame.GetVisibleScreen(), menu);
    EXPECT_TRUE(menu->IsButtonEnabled(CGLMWelcomeDlg::kSetupJewelryBoxId));
    EXPECT_FALSE(menu->IsButtonEnabled(CGLMWelcomeDlg::kUploadFriendshipsId));

    EXPECT_EQ(ClickAt(*menu, 103 + 10, 365 + 8), CGLMWelcomeDlg::kTellMeMoreId);
    auto* tutorial = world.frame.GetScreen<Glm::GLMTutorialDlg>(Glm::ScreenId::kTutorial);
    ASSERT_NE(tutorial, nullptr) << "created on first use";
    EXPECT_EQ(world.frame.GetVisibleScreen(), tutorial);
    EXPECT_EQ(tutorial->GetShownPicture(), Glm::GLMTutorialDlg::kJewelryBoxPictureId);
    FlowTest::SaveScreenshot(world.frame, "road-tutorial-jewelrybox");

    EXPECT_EQ(ClickAt(*tutorial, 328 + 10, 417 + 10), Glm::GLMTutorialDlg::kContinueId);
    EXPECT_EQ(world.frame.GetVisibleScreen(), menu);
    EXPECT_TRUE(world.Errors().empty());
}

TEST_F(ScreenRoadTest, AnAccountWithoutAFairySignsUpAndComesBackThroughClickHere) {
    const DemoAccount& fairyless = ScreenWorld::Demo().Fairyless();
    Choose(Glm::kAddFriendsAction);
    SignIn(fairyless);
    auto* signUp = world.frame.GetScreen<Glm::CGLMSignUpDlg>(Glm::ScreenId::kSignUp);
    ASSERT_NE(signUp, nullptr);
    ASSERT_EQ(world.frame.GetVisibleScreen(), signUp);
    const auto* greeting =
        static_cast<ThinUI::TextLabel*>(ThinUI::FindControl(signUp, Glm::CGLMSignUpDlg::kGreetingId));
    EXPECT_EQ(greeting->GetText().toStdString(), "Hi " + fairyless.login + "!");
    FlowTest::SaveScreenshot(world.frame, "road-signup");

    EXPECT_EQ(ClickAt(*signUp, 297 + 4, 371 + 4), Glm::CGLMSignUpDlg::kClickHereId);
    EXPECT_EQ(world.frame.GetVisibleScreen(), login);
    EXPECT_TRUE(world.Errors().empty());
}

} // namespace

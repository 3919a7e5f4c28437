// Each kind of toy set up from the main menu through the real frame, the
// service and a virtual toy: the warning, the bracelet page with its avatar
// movies, the congratulation popup, and the main menu afterwards; a reset
// with the owner's code and the toy set up again by another account.

#include "Flow/GLMBraceletCongratsDlg.h"
#include "Flow/GLMBraceletMsgDlg.h"
#include "Flow/GLMCongratsDlg.h"
#include "Flow/GLMDeviceResetDlg.h"
#include "Flow/GLMLoginDlg.h"
#include "Flow/GLMSetupWarningDlg.h"
#include "Flow/GLMWelcomeDlg.h"
#include "Flow/ScreenIds.h"
#include "Flow/ToyInUse.h"
#include "SetupTestWorld.h"
#include "Tools/FlashWindow.h"
#include "common/Mod/Mod.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using FlowTest::PopupSteps;
using FlowTest::PumpUntil;
using FlowTest::SaveScreenshot;
using FlowTest::SetupWorld;
using Glm::CGLMBraceletCongratsDlg;
using Glm::CGLMBraceletMsgDlg;
using Glm::CGLMSetupWarningDlg;
using Glm::CGLMWelcomeDlg;
namespace ScreenId = Glm::ScreenId;

std::string Formatted(unsigned stringId, const std::string& value) {
    std::string text = Mod::LoadString(stringId, 1024);
    text.replace(text.find("%s"), 2, value);
    return text;
}

bool AllAvatarsReady(CGLMBraceletMsgDlg& page, int count) {
    for (int i = 0; i < count; ++i) {
        Web::FlashWindow* movie = page.GetAvatar(i).GetFlashWindow();
        if (movie == nullptr || movie->GetReadyState() != 4) {
            return false;
        }
    }
    return true;
}

void SaveMovies(CGLMBraceletMsgDlg& page, const std::string& name) {
    FlowTest::SaveScreenshotWithMovies(page, name,
                                       {&page.GetAvatar(0), &page.GetAvatar(1), &page.GetAvatar(2)});
}

bool HaloOn(Glm::FlashWindowView& view) {
    return FlowTest::RunMovieScript(view, QStringLiteral("document.getElementById('halo-ring')"
                                                         ".classList.contains('on')"))
        .toBool();
}

TEST(SetupFlowTest, AFreshBraceletIsSetUpWithTheChosenFairyMessageAndGift) {
    SetupWorld world;
    ASSERT_TRUE(world.Start());
    const FlowTest::SetupAccount account = world.NewAccount(3);
    auto bracelet = world.Plug(QStringLiteral("bracelet"), QStringLiteral("fresh-bracelet"));
    ASSERT_TRUE(world.SignInWith(0, account));
    auto* menu = world.Screen<CGLMWelcomeDlg>(ScreenId::kMainMenu);
    EXPECT_TRUE(menu->IsButtonShown(CGLMWelcomeDlg::kSetupBraceletId));
    world.recorder.sounds.clear();

    PopupSteps popups(world.frame);
    popups.Then(CGLMSetupWarningDlg::kDialogId, [&](Glm::SkinnedPopup& popup) {
        auto& warning = dynamic_cast<CGLMSetupWarningDlg&>(popup);
        EXPECT_EQ(warning.GetText(), Formatted(118, account.login));
        SaveScreenshot(popup, "setup-warning-bracelet");
        EXPECT_EQ(SetupWorld::Press(popup, 267, 371), CGLMSetupWarningDlg::kOkId);
    });
    EXPECT_EQ(SetupWorld::Press(*menu, 72, 245), CGLMWelcomeDlg::kSetupBraceletId);
    EXPECT_TRUE(popups.AllDone());
    EXPECT_TRUE(world.LogHas("Landing on SetUpBraceletWarning"));

    // Registered to the account's first Fairy, the bracelet page follows.
    const std::int32_t clickId = world.WaitForClickId();
    ASSERT_GT(clickId, 0);
    EXPECT_EQ(world.ToyInUse()->GetOwnerName(), account.login);
    EXPECT_EQ(world.ToyInUse()->GetFairyId(), account.fairyIds[0]);
    auto* page = world.Screen<CGLMBraceletMsgDlg>(ScreenId::kBraceletSetup);
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(world.IsShown(ScreenId::kBraceletSetup));
    EXPECT_FALSE(world.IsShown(ScreenId::kMainMenu));
    EXPECT_EQ(page->GetMode(), CGLMBraceletMsgDlg::kSetUpMode);
    ASSERT_TRUE(PumpUntil([&] { return AllAvatarsReady(*page, 3); }, 60000));
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        Glm::FairyAvatarView& avatar = page->GetAvatar(i);
        EXPECT_EQ(avatar.GetWindow()->geometry(), QRect(214 + 133 * i, 203, 105, 159));
        EXPECT_EQ(avatar.GetFairyId(), account.fairyIds[static_cast<std::size_t>(i)]);
        EXPECT_EQ(HaloOn(avatar), i == 0);
    }
    // The avatar movies are prepared in the application's directory.
    EXPECT_TRUE(std::filesystem::exists(world.App().GetDataDirectory() + "/avatarAndButterfly.swf"));
    ASSERT_GE(page->GetMessageList()->count(), 3);
    EXPECT_EQ(page->GetMessageList()->currentIndex(), 0);
    ASSERT_EQ(page->GetGiftList()->count(), 10);
    EXPECT_EQ(page->GetGiftList()->currentIndex(), 0);
    EXPECT_EQ(page->GetMessageList()->geometry(), QRect(255, 379, 259, 17));
    EXPECT_EQ(page->GetGiftList()->geometry(), QRect(255, 418, 259, 17));
    SaveMovies(*page, "setup-bracelet-page");

    // The user picks the third Fairy, the third message and the second gift.
    world.recorder.sounds.clear();
    FlowTest::ClickMovie(page->GetAvatar(2));
    EXPECT_EQ(world.recorder.sounds, std::vector<std::string>{"PIXIE_DUST_JINGLE_SOUND"});
    EXPECT_EQ(world.ToyInUse()->GetFairyId(), account.fairyIds[2]);
    EXPECT_FALSE(HaloOn(page->GetAvatar(0)));
    EXPECT_TRUE(HaloOn(page->GetAvatar(2)));
    page->GetMessageList()->setCurrentIndex(2);
    page->GetGiftList()->setCurrentIndex(1);
    const auto messageId = page->GetMessageList()->currentData().toString().toStdString();
    const auto giftId = page->GetGiftList()->currentData().toString().toStdString();
    SaveMovies(*page, "setup-bracelet-page-chosen");

    std::string moviePath;
    popups.Then(CGLMBraceletCongratsDlg::kDialogId, [&](Glm::SkinnedPopup& popup) {
        auto& congrats = dynamic_cast<CGLMBraceletCongratsDlg&>(popup);
        moviePath = congrats.GetMoviePath();
        PumpUntil([&] {
            return congrats.GetMovie().GetFlashWindow() && congrats.GetMovie().GetFlashWindow()->isVisible();
        });
        FlowTest::SaveScreenshotWithMovies(popup, "setup-congrats-bracelet", {&congrats.GetMovie()});
        EXPECT_EQ(SetupWorld::Press(popup, 298, 364), CGLMBraceletCongratsDlg::kDoneId);
    });
    EXPECT_EQ(SetupWorld::Press(*page, 625, 219), CGLMBraceletMsgDlg::kNextId);
    EXPECT_TRUE(popups.AllDone());
    EXPECT_EQ(moviePath, world.App().GetDataDirectory() + "/bracelet_congrats.swf");
    EXPECT_TRUE(QFile::exists(QString::fromStdString(moviePath)));
    EXPECT_TRUE(world.LogHas("Landing on SetUpBraceletCongrats"));

    // The main menu now offers to change the bracelet.
    EXPECT_TRUE(world.IsShown(ScreenId::kMainMenu));
    EXPECT_FALSE(world.IsShown(ScreenId::kBraceletSetup));
    EXPECT_EQ(page->GetAvatar(0).GetWindow(), nullptr) << "the avatars go with the page";
    EXPECT_TRUE(menu->IsButtonShown(CGLMWelcomeDlg::kChangeBraceletId));
    EXPECT_TRUE(menu->IsButtonEnabled(CGLMWelcomeDlg::kUploadFriendshipsId));
    SaveScreenshot(*menu, "setup-mainmenu-after-bracelet");

    // The service and the toy agree.
    EXPECT_EQ(world.ToyInUse()->GetClickId(), clickId);
    Glm::FriendRecord owner;
    ASSERT_EQ(world.App().GetWebApi().GetUser(static_cast<std::uint32_t>(clickId), owner), 0);
    EXPECT_EQ(owner.fairyId, account.fairyIds[2]);
    EXPECT_EQ(owner.messageId, messageId);
    EXPECT_EQ(owner.giftId, giftId);
    EXPECT_EQ(owner.userId, account.userId);

    // Change bracelet shows the page in its second mode; Back returns.
    EXPECT_EQ(SetupWorld::Press(*menu, 72, 245), CGLMWelcomeDlg::kChangeBraceletId);
    ASSERT_TRUE(world.IsShown(ScreenId::kBraceletSetup));
    EXPECT_EQ(page->GetMode(), CGLMBraceletMsgDlg::kChangeMode);
    ASSERT_TRUE(PumpUntil([&] { return AllAvatarsReady(*page, 3); }, 60000));
    EXPECT_TRUE(HaloOn(page->GetAvatar(2)));
    EXPECT_FALSE(HaloOn(page->GetAvatar(0)));
    SaveMovies(*page, "setup-bracelet-page-change");
    world.recorder.sounds.clear();
    EXPECT_EQ(SetupWorld::Press(*page, 21, 219), CGLMBraceletMsgDlg::kBackId);
    EXPECT_EQ(world.recorder.sounds, std::vector<std::string>{"PAGE_TURN_SOUND"});
    EXPECT_TRUE(world.IsShown(ScreenId::kMainMenu));
    EXPECT_EQ(page->GetAvatar(2).GetWindow(), nullptr);
    EXPECT_EQ(world.LogCount("Landing on SetUpBraceletPickFairies"), 2U);
    EXPECT_EQ(popups.Seen(), (std::vector<std::string>{"153", "136"}));
}

TEST(SetupFlowTest, AJewelryBoxAndAGameAreSetUpWithTheirOwnTextsAndMovie) {
    SetupWorld world;
    ASSERT_TRUE(world.Start());
    const FlowTest::SetupAccount account = world.NewAccount(1);
    struct Kind {
        const char* kind;
        unsigned warningText;
        unsigned congratsText;
        const char* warningPage;
        const char* congratsPage;
        const char* movie;
        int setupButton;
    };
    const std::vector<Kind> kinds{
        {"jewelrybox", 119, 121, "SetUpJewelryBoxWarning", "SetUpJewelryBoxCongrats",
         "jewelry_box_congrats.swf", CGLMWelcomeDlg::kSetupJewelryBoxId},
        {"game", 120, 122, "SetUpLCDgameWarning", "SetUpLCDgameCongrats", "", CGLMWelcomeDlg::kSetupGameId},
    };
    // Both stay plugged: unplugging the toy in use would raise its own error.
    std::vector<std::unique_ptr<FlowTest::NamedToy>> toys;
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.kind);
        toys.push_back(world.Plug(QString::fromLatin1(kind.kind), QStringLiteral("new-") + kind.kind));
        if (!world.IsShown(ScreenId::kDevices)) {
            world.frame.Target().Send(UI::WM_GLM_SHOW_DEVICES);
        }
        const int index = static_cast<int>(world.Labels().size()) - 1;
        ASSERT_TRUE(world.SignInWith(index, account));
        auto* menu = world.Screen<CGLMWelcomeDlg>(ScreenId::kMainMenu);
        ASSERT_TRUE(menu->IsButtonEnabled(kind.setupButton));

        PopupSteps popups(world.frame);
        std::string moviePath = "unset";
        popups
            .Then(CGLMSetupWarningDlg::kDialogId,
                  [&](Glm::SkinnedPopup& popup) {
                      EXPECT_EQ(dynamic_cast<CGLMSetupWarningDlg&>(popup).GetText(),
                                Formatted(kind.warningText, account.login));
                      SaveScreenshot(popup, std::string("setup-warning-") + kind.kind);
                      SetupWorld::Press(popup, 267, 371);
                  })
            .Then(CGLMBraceletCongratsDlg::kDialogId, [&](Glm::SkinnedPopup& popup) {
                auto& congrats = dynamic_cast<CGLMBraceletCongratsDlg&>(popup);
                moviePath = congrats.GetMoviePath();
                const auto* text = dynamic_cast<ThinUI::TextLabel*>(
                    ThinUI::FindControl(&popup, CGLMBraceletCongratsDlg::kTextId));
                ASSERT_NE(text, nullptr);
                EXPECT_EQ(text->GetText().toStdString(), Mod::LoadString(kind.congratsText, 1024));
                if (*kind.movie != '\0') {
                    PumpUntil([&] {
                        return congrats.GetMovie().GetFlashWindow() &&
                               congrats.GetMovie().GetFlashWindow()->isVisible();
                    });
                    EXPECT_EQ(congrats.GetMovie().GetWindow()->geometry(), QRect(206, 232, 332, 128));
                } else {
                    EXPECT_EQ(congrats.GetMovie().GetWindow(), nullptr);
                }
                FlowTest::SaveScreenshotWithMovies(popup, std::string("setup-congrats-") + kind.kind,
                                                   {&congrats.GetMovie()});
                world.recorder.sounds.clear();
                EXPECT_EQ(SetupWorld::Press(popup, 521, 146), CGLMBraceletCongratsDlg::kCloseId);
                EXPECT_EQ(world.recorder.sounds, std::vector<std::string>{"CLOSE_SOUND"});
            });
        const std::size_t refreshes = world.Count(UI::WM_GLM_MAIN_MENU_REFRESH);
        SetupWorld::Press(*menu, 72, 245);
        EXPECT_TRUE(popups.AllDone());
        EXPECT_EQ(popups.Seen(), (std::vector<std::string>{"153", "136"}));
        EXPECT_TRUE(world.LogHas(std::string("Landing on ") + kind.warningPage));
        EXPECT_TRUE(world.LogHas(std::string("Landing on ") + kind.congratsPage));
        EXPECT_EQ(moviePath,
                  *kind.movie != '\0' ? world.App().GetDataDirectory() + "/" + kind.movie : std::string());
        // Closing refreshed the main menu: the set-up button is spent.
        EXPECT_EQ(world.Count(UI::WM_GLM_MAIN_MENU_REFRESH), refreshes + 1);
        EXPECT_TRUE(world.IsShown(ScreenId::kMainMenu));
        EXPECT_FALSE(menu->IsButtonEnabled(kind.setupButton));
        EXPECT_GT(world.WaitForClickId(), 0);
        std::string userId;
        std::string errorCode;
        ASSERT_EQ(world.App().GetWebApi().ObtainWhoAreThey(
                      static_cast<std::uint32_t>(world.ToyInUse()->GetClickId()), userId, errorCode),
                  0);
        EXPECT_EQ(userId, account.userId);
        world.frame.Target().Send(UI::WM_GLM_SHOW_DEVICES);
    }
}

TEST(SetupFlowTest, AResetWithTheOwnersCodeLetsAnotherAccountSetTheToyUp) {
    SetupWorld world;
    ASSERT_TRUE(world.Start());
    const FlowTest::SetupAccount first = world.NewAccount(1);
    const FlowTest::SetupAccount second = world.NewAccount(1);
    auto game = world.Plug(QStringLiteral("game"), QStringLiteral("passed-on"));
    ASSERT_TRUE(world.SignInWith(0, first));
    {
        PopupSteps popups(world.frame);
        popups
            .Then(CGLMSetupWarningDlg::kDialogId,
                  [](Glm::SkinnedPopup& p) { SetupWorld::Press(p, 267, 371); })
            .Then(CGLMBraceletCongratsDlg::kDialogId,
                  [](Glm::SkinnedPopup& p) { SetupWorld::Press(p, 298, 364); });
        SetupWorld::Press(*world.Screen<CGLMWelcomeDlg>(ScreenId::kMainMenu), 72, 245);
        ASSERT_TRUE(popups.AllDone());
    }
    const std::int32_t oldClickId = world.WaitForClickId();
    ASSERT_GT(oldClickId, 0);

    // Back on the sign-in page the registered toy offers its reset.
    SetupWorld::Press(*world.Screen<CGLMWelcomeDlg>(ScreenId::kMainMenu), 133, 13);
    ASSERT_TRUE(world.DoubleClickItem(0));
    auto* signIn = world.Screen<Glm::CGLMLoginDlg>(ScreenId::kSignIn);
    ASSERT_TRUE(world.IsShown(ScreenId::kSignIn));
    EXPECT_EQ(FlowTest::ClickAt(*signIn, 340, 445), Glm::CGLMLoginDlg::kResetToyId);
    auto* reset = world.Screen<Glm::CGLMDeviceResetDlg>(ScreenId::kDeviceReset);
    ASSERT_TRUE(world.IsShown(ScreenId::kDeviceReset));
    EXPECT_TRUE(world.LogHas("Landing on DeviceReset"));
    const std::string code = world.Admin({"toy", "reset-code", QString::number(oldClickId)}).substr(0, 8);
    reset->GetCodeEdit()->setText(QString::fromStdString(code));
    SaveScreenshot(*reset, "device-reset-with-code");

    PopupSteps popups(world.frame);
    popups.Then(Glm::CGLMCongratsDlg::kDialogId, [](Glm::SkinnedPopup& popup) {
        SaveScreenshot(popup, "device-reset-done");
        SetupWorld::Press(popup, 329, 368);
    });
    EXPECT_EQ(SetupWorld::Press(*reset, 382, 345), Glm::CGLMDeviceResetDlg::kResetNowId);
    EXPECT_TRUE(popups.AllDone());
    EXPECT_EQ(world.frame.GetCongratsId(), 199U);
    EXPECT_TRUE(world.IsShown(ScreenId::kSignIn));
    EXPECT_TRUE(world.ToyInUse()->IsResetPending());

    // The other account signs in with it and sets it up anew.
    world.frame.Target().Send(UI::WM_GLM_SHOW_DEVICES);
    ASSERT_TRUE(world.SignInWith(0, second));
    auto* menu = world.Screen<CGLMWelcomeDlg>(ScreenId::kMainMenu);
    EXPECT_TRUE(menu->IsButtonEnabled(CGLMWelcomeDlg::kSetupGameId));
    popups
        .Then(CGLMSetupWarningDlg::kDialogId,
              [&](Glm::SkinnedPopup& p) {
                  EXPECT_EQ(dynamic_cast<CGLMSetupWarningDlg&>(p).GetText(), Formatted(120, second.login));
                  SetupWorld::Press(p, 267, 371);
              })
        .Then(CGLMBraceletCongratsDlg::kDialogId,
              [](Glm::SkinnedPopup& p) { SetupWorld::Press(p, 298, 364); });
    SetupWorld::Press(*menu, 72, 245);
    EXPECT_TRUE(popups.AllDone());
    const std::int32_t newClickId = world.ToyInUse()->GetClickId();
    EXPECT_GT(newClickId, 0);
    EXPECT_NE(newClickId, oldClickId);
    EXPECT_FALSE(world.ToyInUse()->IsResetPending());
    EXPECT_FALSE(menu->IsButtonEnabled(CGLMWelcomeDlg::kSetupGameId));
    std::string userId;
    std::string errorCode;
    ASSERT_EQ(
        world.App().GetWebApi().ObtainWhoAreThey(static_cast<std::uint32_t>(newClickId), userId, errorCode),
        0);
    EXPECT_EQ(userId, second.userId);
    EXPECT_NE(
        world.App().GetWebApi().ObtainWhoAreThey(static_cast<std::uint32_t>(oldClickId), userId, errorCode),
        0)
        << "the old click id is released";
    EXPECT_TRUE(world.Errors().empty());
}

} // namespace

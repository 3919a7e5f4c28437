// What goes wrong around a set-up or a reset: codes that are missing, wrong
// or refused, toys that were never set up or cannot be reset, the account's
// toy limit, an account without Fairies, toys that go away, a service that
// refuses, a bracelet without gifts.

#include "Flow/GLMBraceletMsgDlg.h"
#include "Flow/GLMDeviceResetDlg.h"
#include "Flow/GLMSetupWarningDlg.h"
#include "Flow/GLMWelcomeDlg.h"
#include "Flow/ScreenIds.h"
#include "Flow/ToyInUse.h"
#include "Flow/ToyList.h"
#include "SetupContentServer.h"
#include "SetupTestWorld.h"
#include "common/UI/RecordingMessageTarget.h"
#include "webapi/WebApi.h"

#include <QComboBox>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

using FlowTest::PopupSteps;
using FlowTest::PumpUntil;
using FlowTest::SaveScreenshot;
using FlowTest::SetupWorld;
using Glm::CGLMBraceletMsgDlg;
using Glm::CGLMDeviceResetDlg;
using Glm::CGLMSetupWarningDlg;
using Glm::CGLMWelcomeDlg;
namespace ScreenId = Glm::ScreenId;

constexpr std::uint32_t kBraceletEntryBit = 0x80000000U;

void ChangeToyInUse(SetupWorld& world, const std::function<void(Glm::Toy&)>& change) {
    ASSERT_TRUE(Glm::UpdateToyInUse(world.App(), change));
}

// Shows the reset page with code typed and presses reset now.
void ResetWith(SetupWorld& world, const std::string& code) {
    auto* reset = world.Screen<CGLMDeviceResetDlg>(ScreenId::kDeviceReset);
    if (!world.IsShown(ScreenId::kDeviceReset)) {
        reset->GetCodeEdit()->setText(QStringLiteral("left over"));
        world.frame.Target().Send(UI::WM_GLM_SHOW_DEVICE_RESET);
        ASSERT_TRUE(world.IsShown(ScreenId::kDeviceReset));
        EXPECT_TRUE(reset->GetCodeEdit()->text().isEmpty()) << "each showing starts with an empty code";
    }
    reset->GetCodeEdit()->setText(QString::fromStdString(code));
    EXPECT_EQ(SetupWorld::Press(*reset, 382, 345), CGLMDeviceResetDlg::kResetNowId);
}

TEST(ResetFaultsTest, RefusedResetsKeepThePageAndTheToy) {
    SetupWorld world;
    ASSERT_TRUE(world.Start());
    const FlowTest::SetupAccount account = world.NewAccount(1);
    auto game = world.Plug(QStringLiteral("game"), QStringLiteral("kept-game"));
    ASSERT_TRUE(world.SignInWith(0, account));
    ASSERT_TRUE(world.SetUpFromMenu());
    const std::int32_t clickId = world.ToyInUse()->GetClickId();
    PopupSteps popups(world.frame);
    auto* reset = world.Screen<CGLMDeviceResetDlg>(ScreenId::kDeviceReset);
    SaveScreenshot(*reset, "device-reset-empty");

    struct Case {
        const char* name;
        std::string code;
        std::int32_t clickId;
        const char* error;
        std::size_t requests;
    };
    const std::vector<Case> cases{
        {"empty code", "", clickId, "157:165", 0},
        {"wrong code", "NOTMYCODE", clickId, "157:197", 1},
        // A click id the service does not know: any other refusal.
        {"unknown toy", "ABCDEFGH", 12345, "157:194", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChangeToyInUse(world, [&c](Glm::Toy& toy) {
            Glm::Toy::Memory image = toy.GetImage();
            Glm::Toy::SetWord(image, 0, c.clickId);
            toy.SetImage(image);
        });
        const std::size_t before = world.Requests("ClickResetRequest");
        const std::size_t shown = popups.Seen().size();
        ResetWith(world, c.code);
        ASSERT_EQ(popups.Seen().size(), shown + 1);
        EXPECT_EQ(popups.Seen().back(), c.error);
        EXPECT_EQ(world.Requests("ClickResetRequest"), before + c.requests);
        EXPECT_TRUE(world.IsShown(ScreenId::kDeviceReset)) << "the user may try again";
        EXPECT_FALSE(world.ToyInUse()->IsResetPending());
    }
    ChangeToyInUse(world, [clickId](Glm::Toy& toy) {
        Glm::Toy::Memory image = toy.GetImage();
        Glm::Toy::SetWord(image, 0, clickId);
        toy.SetImage(image);
    });

    // A toy its owner may not reset: the service says so, and so does the page.
    world.Admin({"toy", "not-resetable", QString::number(clickId)});
    const std::string code = world.Admin({"toy", "reset-code", QString::number(clickId)}).substr(0, 8);
    ResetWith(world, code);
    EXPECT_EQ(popups.Seen().back(), "157:198");
    EXPECT_TRUE(world.IsShown(ScreenId::kDeviceReset));
    std::string userId;
    std::string errorCode;
    ASSERT_EQ(
        world.App().GetWebApi().ObtainWhoAreThey(static_cast<std::uint32_t>(clickId), userId, errorCode), 0);
    EXPECT_EQ(userId, account.userId) << "still registered";

    // Cancel and the devices button leave without a request.
    world.recorder.sounds.clear();
    EXPECT_EQ(SetupWorld::Press(*reset, 267, 345), CGLMDeviceResetDlg::kCancelId);
    EXPECT_EQ(world.recorder.sounds, std::vector<std::string>{"PAGE_TURN_SOUND"});
    EXPECT_TRUE(world.IsShown(ScreenId::kSignIn));
    world.frame.Target().Send(UI::WM_GLM_SHOW_DEVICE_RESET);
    EXPECT_EQ(SetupWorld::Press(*reset, 133, 13), CGLMDeviceResetDlg::kDevicesId);
    EXPECT_TRUE(world.IsShown(ScreenId::kDevices));
    EXPECT_EQ(world.LogCount("Landing on DeviceReset"), 2U);
}

TEST(ResetFaultsTest, AToyNeverSetUpGoesStraightBackToSignIn) {
    SetupWorld world;
    ASSERT_TRUE(world.Start());
    auto bracelet = world.Plug(QStringLiteral("bracelet"), QStringLiteral("blank"));
    world.App().SetCurrentDevice(world.Devices().GetList()->item(0)->data(Qt::UserRole).toInt());
    ASSERT_TRUE(world.ToyInUse().has_value());
    ASSERT_EQ(world.ToyInUse()->GetClickId(), 0);
    PopupSteps popups(world.frame);
    ResetWith(world, "ABCDEFGH");
    EXPECT_EQ(world.Requests("ClickResetRequest"), 0U);
    EXPECT_TRUE(popups.Seen().empty());
    EXPECT_TRUE(world.IsShown(ScreenId::kSignIn));
    EXPECT_FALSE(world.ToyInUse()->IsResetPending());
}

TEST(SetupFaultsTest, TheAccountsToyLimitAndARefusedResetSetUpShowTheirTexts) {
    SetupWorld world;
    ASSERT_TRUE(world.Start());
    const FlowTest::SetupAccount full = world.NewAccount(1);
    {
        // Five toys registered elsewhere (their own toys never took the id).
        UI::RecordingMessageTarget elsewhere;
        Glm::WebApi client;
        client.Init(&elsewhere, SetupWorld::Demo().ApiUrl(), "0");
        std::string accountId;
        std::string errorCode;
        ASSERT_EQ(client.SignIn(full.login, full.password, accountId, errorCode), 0);
        for (std::uint32_t i = 0; i < 5; ++i) {
            Glm::Toy toy(9000 + i, Glm::kGameProduct);
            client.SetupDevice(toy, 0, 0, errorCode);
        }
    }
    auto game = world.Plug(QStringLiteral("game"), QStringLiteral("sixth"));
    ASSERT_TRUE(world.SignInWith(0, full));
    PopupSteps popups(world.frame);
    popups.Then(CGLMSetupWarningDlg::kDialogId, [](Glm::SkinnedPopup& p) { SetupWorld::Press(p, 267, 371); });
    SetupWorld::Press(*world.Screen<CGLMWelcomeDlg>(ScreenId::kMainMenu), 72, 245);
    EXPECT_EQ(popups.Seen(), (std::vector<std::string>{"153", "157:156"}));
    EXPECT_EQ(world.ToyInUse()->GetClickId(), 0);
    EXPECT_TRUE(world.IsShown(ScreenId::kMainMenu));

    // A toy reset by its first owner and then marked not resetable: the
    // second owner's set-up is refused.
    const FlowTest::SetupAccount first = world.NewAccount(1);
    const FlowTest::SetupAccount second = world.NewAccount(1);
    world.frame.Target().Send(UI::WM_GLM_SHOW_DEVICES);
    auto box = world.Plug(QStringLiteral("jewelrybox"), QStringLiteral("locked-box"));
    ASSERT_TRUE(world.SignInWith(1, first));
    ASSERT_TRUE(world.SetUpFromMenu());
    const std::int32_t clickId = world.ToyInUse()->GetClickId();
    const std::string code = world.Admin({"toy", "reset-code", QString::number(clickId)}).substr(0, 8);
    {
        std::optional<Glm::Toy> toy = world.ToyInUse();
        std::string errorCode;
        ASSERT_EQ(world.App().GetWebApi().ResetDevice(*toy, code, errorCode), 0);
        ChangeToyInUse(world, [](Glm::Toy& used) { used.SetResetPending(true); });
    }
    world.Admin({"toy", "not-resetable", QString::number(clickId)});
    world.frame.Target().Send(UI::WM_GLM_SHOW_DEVICES);
    ASSERT_TRUE(world.SignInWith(1, second));
    popups.Then(CGLMSetupWarningDlg::kDialogId, [](Glm::SkinnedPopup& p) { SetupWorld::Press(p, 267, 371); });
    SetupWorld::Press(*world.Screen<CGLMWelcomeDlg>(ScreenId::kMainMenu), 72, 245);
    EXPECT_EQ(popups.Seen().back(), "157:198");
    EXPECT_TRUE(world.LogHas("&reset=1"));
    EXPECT_TRUE(world.ToyInUse()->IsResetPending());
    EXPECT_EQ(world.ToyInUse()->GetClickId(), clickId) << "the toy keeps its old id";

    // A refusal without a code of its own shows nothing from the popup.
    ASSERT_EQ(world.App().GetWebApi().SignOut(), 0);
    const std::size_t seen = popups.Seen().size();
    popups.Then(CGLMSetupWarningDlg::kDialogId, [](Glm::SkinnedPopup& p) { SetupWorld::Press(p, 267, 371); });
    SetupWorld::Press(*world.Screen<CGLMWelcomeDlg>(ScreenId::kMainMenu), 72, 245);
    EXPECT_EQ(popups.Seen().size(), seen + 1);
    EXPECT_TRUE(world.LogHas("NOT_SIGNED_IN"));
    EXPECT_TRUE(world.IsShown(ScreenId::kMainMenu));
}

TEST(SetupFaultsTest, AnAccountWithoutFairiesGetsNoSetUpAndComesBackToTheWarning) {
    SetupWorld world;
    ASSERT_TRUE(world.Start());
    const FlowTest::SetupAccount fairyless = world.NewAccount(0);
    auto bracelet = world.Plug(QStringLiteral("bracelet"), QStringLiteral("lonely"));
    // Sign-in would send this account to the sign-up page; the warning is
    // opened for it directly.
    world.App().SetCurrentDevice(world.Devices().GetList()->item(0)->data(Qt::UserRole).toInt());
    std::string accountId;
    std::string errorCode;
    ASSERT_EQ(world.App().GetWebApi().SignIn(fairyless.login, fairyless.password, accountId, errorCode), 0);
    ChangeToyInUse(world, [&](Glm::Toy& toy) { toy.SetOwnerUserId(accountId); });

    PopupSteps popups(world.frame);
    popups.Then(CGLMSetupWarningDlg::kDialogId, [](Glm::SkinnedPopup& p) { SetupWorld::Press(p, 267, 371); });
    world.frame.Target().Send(UI::WM_GLM_SHOW_SETUP_CONFIRM);
    EXPECT_EQ(world.Requests("ClickSetupRequest"), 0U);
    auto* page = world.Screen<CGLMBraceletMsgDlg>(ScreenId::kBraceletSetup);
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(world.IsShown(ScreenId::kBraceletSetup));
    EXPECT_EQ(page->GetMode(), CGLMBraceletMsgDlg::kSetUpMode);
    EXPECT_EQ(page->GetAvatar(0).GetWindow(), nullptr) << "no Fairy to show";
    EXPECT_EQ(page->GetGiftList()->count(), 0);
    EXPECT_EQ(world.ToyInUse()->GetOwnerName(), fairyless.login);
    SaveScreenshot(*page, "setup-bracelet-page-no-fairies");

    popups.Then(CGLMSetupWarningDlg::kDialogId, [](Glm::SkinnedPopup& p) { SetupWorld::Press(p, 396, 398); });
    EXPECT_EQ(SetupWorld::Press(*page, 625, 219), CGLMBraceletMsgDlg::kNextId);
    EXPECT_EQ(popups.Seen(), (std::vector<std::string>{"153", "153"}));
    EXPECT_EQ(world.Requests("ClickSetupRequest"), 0U);
    EXPECT_EQ(world.ToyInUse()->GetClickId(), 0);
}

TEST(SetupFaultsTest, AToyUnpluggedUnderTheWarningIsNeverRegistered) {
    SetupWorld world;
    ASSERT_TRUE(world.Start());
    const FlowTest::SetupAccount account = world.NewAccount(1);
    auto box = world.Plug(QStringLiteral("jewelrybox"), QStringLiteral("wobbly"));
    ASSERT_TRUE(world.SignInWith(0, account));
    auto* menu = world.Screen<CGLMWelcomeDlg>(ScreenId::kMainMenu);

    // Seen by the application: the warning goes with every other popup.
    PopupSteps popups(world.frame);
    popups.Then(CGLMSetupWarningDlg::kDialogId, [&](Glm::SkinnedPopup&) { world.Unplug(*box); });
    SetupWorld::Press(*menu, 72, 245);
    EXPECT_EQ(popups.Seen(), (std::vector<std::string>{"153", "157:183"}));
    EXPECT_TRUE(world.IsShown(ScreenId::kDevices));

    // Gone without the list knowing yet: OK finds it absent.
    auto game = world.Plug(QStringLiteral("game"), QStringLiteral("flaky"));
    ASSERT_TRUE(world.SignInWith(0, account));
    popups.Then(CGLMSetupWarningDlg::kDialogId, [&](Glm::SkinnedPopup& p) {
        ChangeToyInUse(world, [](Glm::Toy& toy) { toy.SetPresent(false); });
        world.recorder.sounds.clear();
        SetupWorld::Press(p, 267, 371);
    });
    SetupWorld::Press(*menu, 72, 245);
    EXPECT_EQ(popups.Seen().back(), "157:153");
    EXPECT_EQ(world.Requests("ClickSetupRequest"), 0U);
    EXPECT_EQ(world.ToyInUse()->GetClickId(), 0);
}

TEST(BraceletPageFaultsTest, NoGiftsSendsNoGiftAndAGoneToyStopsThePage) {
    // A content server whose gift list has none of the bracelet's gifts.
    const FlowTest::ContentServer content("<ClickMessageList><copy><message id=\"7\">Let's fly together!"
                                          "</message></copy></ClickMessageList>",
                                          "<ClickGiftList><copy/></ClickGiftList>");
    SetupWorld world;
    world.fixture.worker->parameters["GLM_WEBSITE_BASE_URL"] = content.BaseUrl();
    ASSERT_TRUE(world.Start());
    const FlowTest::SetupAccount account = world.NewAccount(1);
    auto bracelet = world.Plug(QStringLiteral("bracelet"), QStringLiteral("giftless"));
    ASSERT_TRUE(world.SignInWith(0, account));
    ASSERT_TRUE(world.SetUpFromMenu());
    auto* page = world.Screen<CGLMBraceletMsgDlg>(ScreenId::kBraceletSetup);
    ASSERT_TRUE(world.IsShown(ScreenId::kBraceletSetup));
    EXPECT_EQ(page->GetMessageList()->count(), 1);
    EXPECT_EQ(page->GetGiftList()->count(), 0);
    const std::int32_t clickId = world.ToyInUse()->GetClickId();

    PopupSteps popups(world.frame);
    popups.Then(136, [](Glm::SkinnedPopup& p) { SetupWorld::Press(p, 298, 364); });
    SetupWorld::Press(*page, 625, 219);
    EXPECT_TRUE(world.LogHas("ClickSetupRequest?click_id=" + std::to_string(clickId) +
                             "&fairy_id=" + account.fairyIds[0] + "&message_id=7\n"))
        << "no gift id";
    EXPECT_EQ(world.App().GetGiftId(), 0U);
    EXPECT_TRUE(world.IsShown(ScreenId::kMainMenu));

    // The service's answers for the bracelet as a friend's bracelet records
    // it (bit 31 set).
    Glm::FriendRecord asFriend;
    ASSERT_EQ(
        world.App().GetWebApi().GetUser(static_cast<std::uint32_t>(clickId) | kBraceletEntryBit, asFriend),
        0);
    EXPECT_EQ(asFriend.fairyId, account.fairyIds[0]);
    EXPECT_EQ(asFriend.messageId, "7");
    std::string name;
    ASSERT_EQ(world.App().GetWebApi().ObtainWhoAreThey(
                  static_cast<std::uint32_t>(clickId) | kBraceletEntryBit, name),
              0);
    EXPECT_EQ(name, account.login);

    // Refusals of a change: another account's session, a gift the bracelet
    // does not own.
    auto* menu = world.Screen<CGLMWelcomeDlg>(ScreenId::kMainMenu);
    SetupWorld::Press(*menu, 72, 245);
    ASSERT_TRUE(world.IsShown(ScreenId::kBraceletSetup));
    page->GetGiftList()->addItem(QStringLiteral("Not mine"), QVariant::fromValue<qlonglong>(2999));
    page->GetGiftList()->setCurrentIndex(0);
    SetupWorld::Press(*page, 625, 219);
    EXPECT_EQ(popups.Seen().back(), "157:188");
    const FlowTest::SetupAccount other = world.NewAccount(1);
    std::string accountId;
    std::string errorCode;
    ASSERT_EQ(world.App().GetWebApi().SignIn(other.login, other.password, accountId, errorCode), 0);
    page->GetGiftList()->clear();
    SetupWorld::Press(*page, 625, 219);
    EXPECT_EQ(popups.Seen().back(), "157:155");
    EXPECT_TRUE(world.IsShown(ScreenId::kBraceletSetup)) << "refusals stay on the page";

    // The toy absent: Next and an avatar click only raise 153.
    ChangeToyInUse(world, [](Glm::Toy& toy) { toy.SetPresent(false); });
    const std::size_t setups = world.Requests("ClickSetupRequest");
    SetupWorld::Press(*page, 625, 219);
    EXPECT_EQ(popups.Seen().back(), "157:153");
    const std::size_t seen = popups.Seen().size();
    page->Target().Send(UI::WM_GLM_FAIRY_SELECTED, 0, std::stoi(account.fairyIds[0]));
    EXPECT_EQ(popups.Seen().size(), seen + 1);
    EXPECT_EQ(popups.Seen().back(), "157:153");
    EXPECT_EQ(world.Requests("ClickSetupRequest"), setups);
    ChangeToyInUse(world, [](Glm::Toy& toy) { toy.SetPresent(true); });

    // Unplugged while the page is up: the devices screen, no avatars left.
    ASSERT_TRUE(world.Unplug(*bracelet));
    EXPECT_EQ(popups.Seen().back(), "157:183");
    EXPECT_TRUE(world.IsShown(ScreenId::kDevices));
    EXPECT_FALSE(world.IsShown(ScreenId::kBraceletSetup));
    EXPECT_EQ(page->GetAvatar(0).GetWindow(), nullptr);
}

} // namespace

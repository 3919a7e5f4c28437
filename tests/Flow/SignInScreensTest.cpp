// The sign-in and sign-up screens against the demo service: each refusal of
// the sign-in in its order, the toy owner check, the way on to the main menu
// or the sign-up screen, the player check and the links.

#include "Flow/GLMErrorDlg.h"
#include "Flow/GLMLoginDlg.h"
#include "Flow/GLMSignUpDlg.h"
#include "Flow/HyperLink.h"
#include "Flow/ToyInUse.h"
#include "ScreenWorld.h"
#include "Tools/ApplicationParameters.h"
#include "common/Web/ContentWindowExceptions.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using FlowTest::ClickAt;
using FlowTest::DemoAccount;
using FlowTest::SaveScreenshot;
using FlowTest::ScreenWorld;
using Glm::CGLMLoginDlg;
using Glm::CGLMSignUpDlg;

// Inside the sign-in button, the devices button and the links.
constexpr QPoint kSignIn{333 + 20, 335 + 10};

class SignInTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ScreenWorld::SetUpShared(); }

    void SetUp() override {
        ASSERT_TRUE(ScreenWorld::Demo().IsRunning()) << ScreenWorld::Demo().SeedOutput();
        login = std::make_unique<CGLMLoginDlg>(world.App(), world.frame);
        login->SetPlayerVersionProbe([this](QWidget&) { return playerVersion; });
        ASSERT_TRUE(login->Create());
    }

    /// The show step and the screen shown, as the frame does on 1525.
    void Show(std::int32_t device) {
        world.App().SetCurrentDevice(device);
        login->OnShow();
        login->show();
    }
    void Type(const std::string& account, const std::string& password) {
        Edit(CGLMLoginDlg::kAccountId)->setText(QString::fromStdString(account));
        Edit(CGLMLoginDlg::kPasswordId)->setText(QString::fromStdString(password));
    }
    QLineEdit* Edit(int id) { return qobject_cast<QLineEdit*>(ThinUI::FindControl(login.get(), id)); }
    /// Clicks sign-in; every error popup is closed at once.
    void PressSignIn() {
        FlowTest::PopupDismisser dismisser(world.frame);
        ASSERT_EQ(ClickAt(*login, kSignIn.x(), kSignIn.y()), CGLMLoginDlg::kSignInId);
    }
    bool ResetLinkShown() { return !ThinUI::FindControl(login.get(), CGLMLoginDlg::kResetToyId)->isHidden(); }

    ScreenWorld world;
    std::unique_ptr<CGLMLoginDlg> login;
    std::string playerVersion = "10";
};

TEST_F(SignInTest, ControlsSitAtTheirPositionsAndTheShowStepOffersTheResetLinkOnlyForARegisteredToy) {
    const DemoAccount& owner = ScreenWorld::Demo().Accounts()[0];
    world.SetToyState(Glm::kBraceletProduct, static_cast<std::int32_t>(owner.braceletClickId), 0, false);
    Show(world.ToyId(Glm::kBraceletProduct));
    EXPECT_TRUE(ResetLinkShown());
    EXPECT_EQ(login->focusWidget(), Edit(CGLMLoginDlg::kAccountId)) << "the account field has the focus";
    EXPECT_TRUE(world.LogHas("Landing on LoginReg"));
    EXPECT_TRUE(world.Seen(UI::WM_GLM_FLASH_UPDATE).empty());
    SaveScreenshot(*login, "signin-with-reset-link");

    const std::vector<std::pair<int, QPoint>> positions{
        {CGLMLoginDlg::kAccountId, {389, 273}},         {CGLMLoginDlg::kPasswordId, {389, 299}},
        {CGLMLoginDlg::kSignInId, {333, 335}},          {CGLMLoginDlg::kExitId, {665, 17}},
        {CGLMLoginDlg::kMinimizeId, {639, 17}},         {CGLMLoginDlg::kHelpId, {62, 17}},
        {CGLMLoginDlg::kDevicesId, {133, 13}},          {CGLMLoginDlg::kVersionId, {620, 47}},
        {CGLMLoginDlg::kRegisterId, {390, 407}},        {CGLMLoginDlg::kRecoverAccountId, {335, 423}},
        {CGLMLoginDlg::kRecoverPasswordId, {406, 423}}, {CGLMLoginDlg::kResetToyId, {333, 439}},
    };
    for (const auto& [id, position] : positions) {
        const QWidget* control = ThinUI::FindControl(login.get(), id);
        ASSERT_NE(control, nullptr) << id;
        EXPECT_EQ(control->pos(), position) << id;
        if (id != CGLMLoginDlg::kVersionId) {
            EXPECT_EQ(FlowTest::ControlAt(*login, position.x() + 2, position.y() + 2), control) << id;
        }
    }
    EXPECT_EQ(Edit(CGLMLoginDlg::kAccountId)->size(), QSize(99, 13));
    EXPECT_EQ(Edit(CGLMLoginDlg::kPasswordId)->echoMode(), QLineEdit::Password);
    const auto* link =
        static_cast<Glm::HyperLink*>(ThinUI::FindControl(login.get(), CGLMLoginDlg::kResetToyId));
    EXPECT_EQ(link->GetText(), QStringLiteral("Reset Your Toy"));
    EXPECT_NEAR(QFontMetrics(link->GetFont()).height(), 14, 1);
    EXPECT_EQ(link->GetFont().weight(), QFont::Bold);
    EXPECT_EQ(static_cast<ThinUI::TextLabel*>(ThinUI::FindControl(login.get(), CGLMLoginDlg::kVersionId))
                  ->GetText(),
              QStringLiteral("V1.0.4.34"));

    // Not registered, reset pending, and the no-toy actions: no reset link.
    world.SetToyState(Glm::kBraceletProduct, 0, 0, false);
    Show(world.ToyId(Glm::kBraceletProduct));
    EXPECT_FALSE(ResetLinkShown());
    SaveScreenshot(*login, "signin-without-reset-link");
    world.SetToyState(Glm::kBraceletProduct, static_cast<std::int32_t>(owner.braceletClickId), 0, true);
    Show(world.ToyId(Glm::kBraceletProduct));
    EXPECT_FALSE(ResetLinkShown());
    Show(Glm::kAddFriendsAction);
    EXPECT_FALSE(ResetLinkShown());
}

TEST_F(SignInTest, EmptyFieldsAreRefusedInOrderWithoutARequest) {
    Show(world.ToyId(Glm::kBraceletProduct));
    Type("", "");
    PressSignIn();
    Type("", "secret-pw");
    PressSignIn();
    Type("someone", "");
    PressSignIn();
    const std::vector<std::uintptr_t> expected{152, 150, 151};
    EXPECT_EQ(world.Errors(), expected);
    EXPECT_FALSE(world.LogHas("AccountLoginRequest")) << "no request reached the service";
    EXPECT_TRUE(login->isVisible()) << "the screen stays with its fields as typed";
    EXPECT_EQ(login->GetAccountId(), "someone");
}

TEST_F(SignInTest, AWrongPasswordIsRefusedAndNeverLogged) {
    const DemoAccount& account = ScreenWorld::Demo().Accounts()[0];
    Show(world.ToyId(Glm::kBraceletProduct));
    Type(account.login, "Wrong-Pass-7731");
    PressSignIn();
    EXPECT_EQ(world.Errors(), std::vector<std::uintptr_t>{154});
    EXPECT_TRUE(world.LogHas("AccountLoginRequest")) << "the request was made";
    EXPECT_FALSE(world.LogHas("Wrong-Pass-7731"));
    EXPECT_TRUE(world.Seen(UI::WM_GLM_SCREEN_DONE).empty());
}

TEST_F(SignInTest, ASuspendedAccountPointsTheHoldPageAtTheAccountAsTyped) {
    const DemoAccount& suspended = ScreenWorld::Demo().Suspended();
    Show(world.ToyId(Glm::kBraceletProduct));
    Type(suspended.login, suspended.password);
    PressSignIn();
    EXPECT_EQ(world.Errors(), std::vector<std::uintptr_t>{196});
    EXPECT_EQ(world.App().GetParameter("GLM_BANNED_ACCOUNT_URL"),
              Glm::ApplicationParameters::GetDefault("GLM_BANNED_ACCOUNT_URL") + suspended.login);
    EXPECT_FALSE(world.LogHas(suspended.password));
}

TEST_F(SignInTest, AnotherAccountsToyIsRefusedButTheOwnerTextsAreStored) {
    const DemoAccount& owner = ScreenWorld::Demo().Accounts()[0];
    const DemoAccount& other = ScreenWorld::Demo().Accounts()[1];
    world.SetToyState(Glm::kBraceletProduct, static_cast<std::int32_t>(owner.braceletClickId), 0, false);
    world.App().GetToys().Update(static_cast<std::uint32_t>(world.ToyId(Glm::kBraceletProduct)),
                                 [](Glm::Toy& toy) {
                                     toy.SetFairyId("999");
                                     toy.SetFairyName("Old Fairy");
                                 });
    Show(world.ToyId(Glm::kBraceletProduct));
    Type(other.login, other.password);
    PressSignIn();
    EXPECT_EQ(world.Errors(), std::vector<std::uintptr_t>{155});
    const Glm::Toy toy = *world.ListedToy(Glm::kBraceletProduct);
    EXPECT_EQ(toy.GetOwnerUserId(), other.userId);
    EXPECT_EQ(toy.GetFairyId(), "");
    EXPECT_EQ(toy.GetFairyName(), "");
    EXPECT_TRUE(world.Seen(UI::WM_GLM_SCREEN_DONE).empty());
    EXPECT_TRUE(login->isVisible());

    // The owner passes and goes on to the main menu.
    world.seen.clear();
    Type(owner.login, owner.password);
    PressSignIn();
    EXPECT_TRUE(world.Errors().empty());
    EXPECT_EQ(world.Seen(UI::WM_GLM_SCREEN_DONE).size(), 1U);
    EXPECT_FALSE(login->isVisible());
    EXPECT_EQ(world.ListedToy(Glm::kBraceletProduct)->GetOwnerUserId(), owner.userId);
}

TEST_F(SignInTest, AResetToyMaySignInWithAnotherAccount) {
    const DemoAccount& owner = ScreenWorld::Demo().Accounts()[0];
    const DemoAccount& other = ScreenWorld::Demo().Accounts()[1];
    world.SetToyState(Glm::kBraceletProduct, static_cast<std::int32_t>(owner.braceletClickId), 0, true);
    Show(world.ToyId(Glm::kBraceletProduct));
    Type(other.login, other.password);
    PressSignIn();
    EXPECT_TRUE(world.Errors().empty());
    EXPECT_EQ(world.Seen(UI::WM_GLM_SCREEN_DONE).size(), 1U);
    EXPECT_EQ(world.ListedToy(Glm::kBraceletProduct)->GetOwnerUserId(), other.userId);
    EXPECT_FALSE(world.LogHas("WhoAreTheyRequest")) << "no owner check for a reset toy";
}

TEST_F(SignInTest, AnAccountWithoutAFairyGoesToSignUpAndEnterSignsIn) {
    const DemoAccount& fairyless = ScreenWorld::Demo().Fairyless();
    Show(Glm::kUseGlintPointsAction);
    Type(fairyless.login, fairyless.password);
    // Enter in the password field presses the default button.
    QTest::keyClick(Edit(CGLMLoginDlg::kPasswordId), Qt::Key_Return);
    EXPECT_TRUE(world.Errors().empty());
    EXPECT_EQ(world.Seen(UI::WM_GLM_SHOW_SIGN_UP).size(), 1U);
    EXPECT_TRUE(world.Seen(UI::WM_GLM_SCREEN_DONE).empty());
    EXPECT_FALSE(login->isVisible());
    EXPECT_EQ(world.App().GetPlaceholderToy().GetOwnerUserId(), fairyless.userId);
}

TEST_F(SignInTest, AToyUnpluggedBeforeSignInAndTheServiceDownAreRefused) {
    const DemoAccount& owner = ScreenWorld::Demo().Accounts()[0];
    Show(4242);
    Type(owner.login, owner.password);
    PressSignIn();
    EXPECT_EQ(world.Errors(), std::vector<std::uintptr_t>{153});

    world.seen.clear();
    world.App().GetWebApi().Init(&world.frame.Target(), "https://127.0.0.1:1/api/", "1");
    PressSignIn();
    ASSERT_EQ(world.Seen(UI::WM_GLM_CONNECT_ERROR).size(), 1U)
        << "the web client reports the transport failure";
    EXPECT_EQ(world.Errors(), std::vector<std::uintptr_t>{194});
    EXPECT_TRUE(world.Seen(UI::WM_GLM_SCREEN_DONE).empty());
}

TEST_F(SignInTest, AnOldOrMissingPlayerAsksForTheUpdate) {
    for (const std::string& version : {std::string("9"), std::string(""), std::string("abc")}) {
        SCOPED_TRACE(version);
        world.seen.clear();
        playerVersion = version;
        FlowTest::PopupDismisser dismisser(world.frame);
        Show(Glm::kAddFriendsAction);
        EXPECT_EQ(world.Seen(UI::WM_GLM_FLASH_UPDATE).size(), 1U);
    }
    world.seen.clear();
    playerVersion = "10 beta";
    Show(Glm::kAddFriendsAction);
    EXPECT_TRUE(world.Seen(UI::WM_GLM_FLASH_UPDATE).empty());

    login->SetPlayerVersionProbe([](QWidget&) -> std::string {
        Web::CantCreateFlashWindowException e;
        e.Message() << "no engine";
        throw e;
    });
    FlowTest::PopupDismisser dismisser(world.frame);
    Show(Glm::kAddFriendsAction);
    EXPECT_EQ(world.Seen(UI::WM_GLM_FLASH_UPDATE).size(), 1U);
    EXPECT_TRUE(world.LogHas("CGLMLoginDlg::OnShowWindow"));
}

TEST_F(SignInTest, LinksOpenTheirPagesAndTheButtonsLeaveTheScreen) {
    Show(Glm::kAddFriendsAction);
    EXPECT_EQ(ClickAt(*login, 390 + 4, 407 + 4), CGLMLoginDlg::kRegisterId);
    EXPECT_EQ(ClickAt(*login, 335 + 4, 423 + 4), CGLMLoginDlg::kRecoverAccountId);
    EXPECT_EQ(ClickAt(*login, 406 + 4, 423 + 4), CGLMLoginDlg::kRecoverPasswordId);
    ASSERT_EQ(world.recorder.urls.size(), 3U);
    EXPECT_EQ(world.recorder.urls[0].first, world.App().GetParameter("GLM_REGISTER_BASE_URL"));
    EXPECT_EQ(world.recorder.urls[1].first, world.App().GetParameter("GLM_RECOVER_ACCOUNT_ID_URL"));
    EXPECT_EQ(world.recorder.urls[2].first, world.App().GetParameter("GLM_RECOVER_PASSWORD_URL"));

    EXPECT_EQ(ClickAt(*login, 133 + 10, 13 + 10), CGLMLoginDlg::kDevicesId);
    EXPECT_EQ(world.Seen(UI::WM_GLM_SHOW_DEVICES).size(), 1U);
    EXPECT_FALSE(login->isVisible());

    const DemoAccount& owner = ScreenWorld::Demo().Accounts()[0];
    world.SetToyState(Glm::kBraceletProduct, static_cast<std::int32_t>(owner.braceletClickId), 0, false);
    Show(world.ToyId(Glm::kBraceletProduct));
    EXPECT_EQ(ClickAt(*login, 333 + 4, 439 + 4), CGLMLoginDlg::kResetToyId);
    EXPECT_EQ(world.Seen(UI::WM_GLM_SHOW_DEVICE_RESET).size(), 1U);
    EXPECT_FALSE(login->isVisible());
}

class SignUpTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ScreenWorld::SetUpShared(); }
    void SetUp() override {
        signUp = std::make_unique<CGLMSignUpDlg>(world.App(), world.frame);
        ASSERT_TRUE(signUp->Create());
        signUp->SetAccountId("fernless");
        signUp->OnShow();
        signUp->show();
    }
    ScreenWorld world;
    std::unique_ptr<CGLMSignUpDlg> signUp;
};

TEST_F(SignUpTest, GreetsTheAccountWithEveryControlInPlace) {
    const auto* greeting =
        static_cast<ThinUI::TextLabel*>(ThinUI::FindControl(signUp.get(), CGLMSignUpDlg::kGreetingId));
    ASSERT_NE(greeting, nullptr);
    EXPECT_EQ(greeting->GetText(), QStringLiteral("Hi fernless!"));
    EXPECT_TRUE(world.LogHas("Landing on LoginRegNoFairies"));
    SaveScreenshot(*signUp, "signup");

    const std::vector<std::pair<int, QPoint>> positions{
        {CGLMSignUpDlg::kSignOutId, {88, 14}},
        {CGLMSignUpDlg::kStartNowId, {326, 300}},
        {CGLMSignUpDlg::kExitId, {665, 17}},
        {CGLMSignUpDlg::kMinimizeId, {639, 17}},
        {CGLMSignUpDlg::kHelpId, {62, 17}},
        {CGLMSignUpDlg::kFairyId, {236, 218}},
        {CGLMSignUpDlg::kWelcomeImageId, {263, 132}},
        {CGLMSignUpDlg::kGreetingId, {297, 228}},
        {CGLMSignUpDlg::kCreateFairyTextId, {297, 255}},
        {CGLMSignUpDlg::kAlreadyCreatedTextId, {297, 356}},
        {CGLMSignUpDlg::kClickHereId, {297, 371}},
        {CGLMSignUpDlg::kRegisterId, {390, 407}},
        {CGLMSignUpDlg::kRecoverAccountId, {335, 423}},
        {CGLMSignUpDlg::kRecoverPasswordId, {406, 423}},
    };
    for (const auto& [id, position] : positions) {
        const QWidget* control = ThinUI::FindControl(signUp.get(), id);
        ASSERT_NE(control, nullptr) << id;
        EXPECT_EQ(control->pos(), position) << id;
    }
    const auto* clickHere =
        static_cast<Glm::HyperLink*>(ThinUI::FindControl(signUp.get(), CGLMSignUpDlg::kClickHereId));
    EXPECT_EQ(clickHere->GetText(), QStringLiteral("Click Here."));
    EXPECT_EQ(clickHere->size(), QSize(163, 13));
    EXPECT_EQ(clickHere->GetLinkColor(), 0x500285U);
    EXPECT_EQ(clickHere->GetVisitedColor(), 0x5406E4U);
    EXPECT_EQ(clickHere->GetHoverColor(), 0x500285U);

    // A typed account ID is text, never a format.
    signUp->SetAccountId("%s%n");
    signUp->OnShow();
    EXPECT_EQ(greeting->GetText(), QStringLiteral("Hi %s%n!"));
}

TEST_F(SignUpTest, StartNowOpensTheFairyPageAndStays) {
    EXPECT_EQ(ClickAt(*signUp, 326 + 20, 300 + 20), CGLMSignUpDlg::kStartNowId);
    ASSERT_EQ(world.recorder.urls.size(), 1U);
    EXPECT_EQ(world.recorder.urls[0].first, "http://game.invalid/create.html");
    EXPECT_TRUE(world.LogHas("Landing on ExitToGame"));
    EXPECT_TRUE(signUp->isVisible());
    EXPECT_TRUE(world.seen.empty());
    EXPECT_EQ(ClickAt(*signUp, 236 + 10, 218 + 10), CGLMSignUpDlg::kFairyId);
    EXPECT_TRUE(world.seen.empty()) << "the Fairy picture does nothing";
}

TEST_F(SignUpTest, SignOutByButtonOrLinkGoesBackToSignIn) {
    ASSERT_TRUE(world.SignIn(ScreenWorld::Demo().Fairyless()));
    EXPECT_EQ(ClickAt(*signUp, 88 + 10, 14 + 10), CGLMSignUpDlg::kSignOutId);
    EXPECT_EQ(world.Seen(UI::WM_GLM_SHOW_SIGN_IN).size(), 1U);
    EXPECT_FALSE(signUp->isVisible());
    EXPECT_TRUE(world.LogHas("AccountLogoutRequest"));

    signUp->OnShow();
    signUp->show();
    EXPECT_EQ(ClickAt(*signUp, 297 + 4, 371 + 4), CGLMSignUpDlg::kClickHereId);
    EXPECT_EQ(world.Seen(UI::WM_GLM_SHOW_SIGN_IN).size(), 2U);
    EXPECT_FALSE(signUp->isVisible());
}

} // namespace

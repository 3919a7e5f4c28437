// The main menu's buttons for every kind and state of toy, its tasks and the
// print button; the tutorial by product; the error popup's look and ending.

#include "Flow/GLMErrorDlg.h"
#include "Flow/GLMTutorialDlg.h"
#include "Flow/GLMWelcomeDlg.h"
#include "Flow/ToyInUse.h"
#include "ScreenWorld.h"
#include "ThinUI/C3StateButton.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

using FlowTest::ClickAt;
using FlowTest::SaveScreenshot;
using FlowTest::ScreenWorld;
using Glm::CGLMWelcomeDlg;
using Glm::GLMTutorialDlg;

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

class MainMenuTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ScreenWorld::SetUpShared(); }
    void SetUp() override {
        menu = std::make_unique<CGLMWelcomeDlg>(world.App(), world.frame);
        ASSERT_TRUE(menu->Create());
    }
    void Show(std::int32_t device) {
        world.App().SetCurrentDevice(device);
        menu->OnShow();
        menu->show();
    }
    ThinUI::C3StateButton* Button(int id) {
        return static_cast<ThinUI::C3StateButton*>(ThinUI::FindControl(menu.get(), id));
    }

    ScreenWorld world;
    std::unique_ptr<CGLMWelcomeDlg> menu;
};

struct MenuCase {
    const char* name;
    std::uint32_t product; // 0: the "Add Friends" action without a toy
    bool registered;
    bool resetPending;
    int points;
    int setupButton;
    bool setupEnabled;
    bool friendships, charms, upload, redeem, tellMeMore;
};

TEST_F(MainMenuTest, ButtonsFollowTheToysKindAndState) {
    using D = CGLMWelcomeDlg;
    const std::int32_t click = static_cast<std::int32_t>(ScreenWorld::Demo().Accounts()[0].braceletClickId);
    const std::vector<MenuCase> cases{
        {"bracelet-registered", Glm::kBraceletProduct, true, false, 120, D::kChangeBraceletId, true, true,
         true, true, true, false},
        {"bracelet-registered-no-points", Glm::kBraceletProduct, true, false, 0, D::kChangeBraceletId, true,
         true, true, false, true, false},
        {"bracelet-not-registered", Glm::kBraceletProduct, false, false, 120, D::kSetupBraceletId, true,
         false, false, false, false, true},
        {"bracelet-reset-pending", Glm::kBraceletProduct, true, true, 120, D::kSetupBraceletId, true, false,
         false, false, false, true},
        {"game-registered", Glm::kGameProduct, true, false, 35, D::kSetupGameId, false, true, false, true,
         true, false},
        {"game-registered-no-points", Glm::kGameProduct, true, false, 0, D::kSetupGameId, false, true, false,
         false, true, false},
        {"game-not-registered", Glm::kGameProduct, false, false, 35, D::kSetupGameId, true, false, false,
         false, false, true},
        {"jewelrybox-registered", Glm::kJewelryBoxProduct, true, false, 10, D::kSetupJewelryBoxId, false,
         true, true, true, true, false},
        {"jewelrybox-not-registered", Glm::kJewelryBoxProduct, false, false, 0, D::kSetupJewelryBoxId, true,
         false, false, false, false, true},
        {"no-toy-action", 0, false, false, 0, D::kChangeBraceletId, false, true, false, false, true, false},
    };
    const std::vector<std::pair<int, QPoint>> taskPositions{
        {D::kUploadFriendshipsId, {206, 245}},
        {D::kUploadCharmsId, {321, 245}},
        {D::kUploadPointsId, {425, 245}},
        {D::kRedeemPointsId, {546, 245}},
        {D::kTellMeMoreId, {103, 365}},
        {D::kPrintCoverId, {386, 395}},
        {D::kViewGiftsId, {268, 395}},
        {D::kDevicesId, {133, 13}},
        {D::kExitId, {665, 17}},
        {D::kMinimizeId, {639, 17}},
        {D::kHelpId, {62, 17}},
        {D::kWhatToDoImageId, {98, 132}},
        {D::kVersionId, {620, 47}},
    };
    for (const MenuCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.product == 0) {
            Show(Glm::kAddFriendsAction);
        } else {
            world.SetToyState(c.product, c.registered ? click : 0, c.points, c.resetPending);
            Show(world.ToyId(c.product));
        }
        EXPECT_TRUE(world.Errors().empty());
        const QImage picture = SaveScreenshot(*menu, "mainmenu-" + std::string(c.name));
        for (const int setup :
             {D::kSetupBraceletId, D::kChangeBraceletId, D::kSetupJewelryBoxId, D::kSetupGameId}) {
            EXPECT_EQ(menu->IsButtonShown(setup), setup == c.setupButton) << setup;
        }
        EXPECT_EQ(Button(c.setupButton)->pos(), QPoint(72, 245));
        EXPECT_EQ(FlowTest::ControlAt(*menu, 72 + 10, 245 + 10), Button(c.setupButton));
        EXPECT_EQ(menu->IsButtonEnabled(c.setupButton), c.setupEnabled);
        EXPECT_EQ(menu->IsButtonEnabled(D::kUploadFriendshipsId), c.friendships);
        EXPECT_EQ(menu->IsButtonEnabled(D::kUploadCharmsId), c.charms);
        EXPECT_EQ(menu->IsButtonEnabled(D::kUploadPointsId), c.upload);
        EXPECT_EQ(menu->IsButtonEnabled(D::kRedeemPointsId), c.redeem);
        EXPECT_EQ(menu->IsButtonShown(D::kTellMeMoreId), c.tellMeMore);
        for (const auto& [id, position] : taskPositions) {
            const QWidget* control = ThinUI::FindControl(menu.get(), id);
            ASSERT_NE(control, nullptr) << id;
            EXPECT_EQ(control->pos(), position) << id;
        }
        // A disabled task button shows its fourth (disabled) frame.
        for (const int task :
             {D::kUploadFriendshipsId, D::kUploadCharmsId, D::kUploadPointsId, D::kRedeemPointsId}) {
            EXPECT_EQ(Button(task)->GetStrip().GetCurrentFrame() == 3, !menu->IsButtonEnabled(task)) << task;
        }
        EXPECT_FALSE(picture.isNull());
    }
    EXPECT_EQ(Count(world.fixture.Log(), "Landing on MainMenu"), cases.size());
}

TEST_F(MainMenuTest, RefreshFollowsTheToyWithoutAReportAndAGoneToyRaises153) {
    world.SetToyState(Glm::kJewelryBoxProduct, 0, 0, false);
    Show(world.ToyId(Glm::kJewelryBoxProduct));
    EXPECT_TRUE(menu->IsButtonEnabled(CGLMWelcomeDlg::kSetupJewelryBoxId));
    EXPECT_FALSE(menu->IsButtonEnabled(CGLMWelcomeDlg::kUploadCharmsId));

    world.SetToyState(Glm::kJewelryBoxProduct, 77, 5, false);
    UI::Message refresh;
    refresh.id = UI::WM_GLM_MAIN_MENU_REFRESH;
    menu->OnFrameMessage(refresh);
    EXPECT_FALSE(menu->IsButtonEnabled(CGLMWelcomeDlg::kSetupJewelryBoxId));
    EXPECT_TRUE(menu->IsButtonEnabled(CGLMWelcomeDlg::kUploadCharmsId));
    EXPECT_TRUE(menu->IsButtonEnabled(CGLMWelcomeDlg::kUploadPointsId));
    EXPECT_EQ(Count(world.fixture.Log(), "Landing on MainMenu"), 1U);

    FlowTest::PopupDismisser dismisser(world.frame);
    Show(4242);
    EXPECT_EQ(world.Errors(), std::vector<std::uintptr_t>{153});
    EXPECT_EQ(Count(world.fixture.Log(), "Landing on MainMenu"), 1U);
}

TEST_F(MainMenuTest, TasksPlayTheBubbleAndSendTheirMessages) {
    using D = CGLMWelcomeDlg;
    const std::int32_t click = static_cast<std::int32_t>(ScreenWorld::Demo().Accounts()[0].braceletClickId);
    world.SetToyState(Glm::kBraceletProduct, click, 120, false);
    Show(world.ToyId(Glm::kBraceletProduct));
    const std::vector<std::tuple<QPoint, int, std::uint32_t, UI::LPARAM>> tasks{
        {{72, 245}, D::kChangeBraceletId, UI::WM_GLM_OPEN_BRACELET_SETUP, 1},
        {{206, 245}, D::kUploadFriendshipsId, UI::WM_GLM_OPEN_FRIENDSHIP_UPLOAD, 0},
        {{321, 245}, D::kUploadCharmsId, UI::WM_GLM_OPEN_CHARM_UPLOAD, 0},
        {{425, 245}, D::kUploadPointsId, UI::WM_GLM_OPEN_GLINT_UPLOAD, 0},
        {{546, 245}, D::kRedeemPointsId, UI::WM_GLM_OPEN_GLINT_REDEEM, 0},
    };
    for (const auto& [position, id, message, lParam] : tasks) {
        SCOPED_TRACE(id);
        // The frame decides what comes next (the task's screen, or an error
        // popup): only the menu's own message is checked here. A task screen
        // reads the toy's real memory, so the state is set again each time.
        world.SetToyState(Glm::kBraceletProduct, click, 120, false);
        Show(world.ToyId(Glm::kBraceletProduct));
        world.seen.clear();
        world.recorder.sounds.clear();
        EXPECT_EQ(ClickAt(*menu, position.x() + 20, position.y() + 20), id);
        ASSERT_FALSE(world.seen.empty());
        EXPECT_EQ(world.seen[0].id, message);
        EXPECT_EQ(world.seen[0].lParam, lParam);
        ASSERT_FALSE(world.recorder.sounds.empty());
        EXPECT_EQ(world.recorder.sounds[0], "CLICK_BUBBLE_SOUND");
    }

    // A disabled task does nothing.
    world.SetToyState(Glm::kBraceletProduct, 0, 0, false);
    Show(world.ToyId(Glm::kBraceletProduct));
    world.seen.clear();
    ClickAt(*menu, 321 + 20, 245 + 20);
    EXPECT_TRUE(world.seen.empty());
    FlowTest::PopupDismisser dismisser(world.frame);
    EXPECT_EQ(ClickAt(*menu, 72 + 20, 245 + 20), D::kSetupBraceletId);
    ASSERT_EQ(world.seen.size(), 1U);
    EXPECT_EQ(world.seen[0].id, UI::WM_GLM_SHOW_SETUP_CONFIRM);

    // Buttons that leave the menu hide it, without the bubble.
    for (const auto& [position, id, message] : std::vector<std::tuple<QPoint, int, std::uint32_t>>{
             {{103, 365}, D::kTellMeMoreId, UI::WM_GLM_OPEN_TUTORIAL},
             {{268, 395}, D::kViewGiftsId, UI::WM_GLM_SHOW_CHARM_COLLECTION},
             {{133, 13}, D::kDevicesId, UI::WM_GLM_SHOW_DEVICES}}) {
        SCOPED_TRACE(id);
        Show(world.ToyId(Glm::kBraceletProduct));
        world.seen.clear();
        world.recorder.sounds.clear();
        EXPECT_EQ(ClickAt(*menu, position.x() + 8, position.y() + 8), id);
        // The frame may go on with messages of its own (create, then show).
        ASSERT_FALSE(world.seen.empty());
        EXPECT_EQ(world.seen[0].id, message);
        EXPECT_FALSE(menu->isVisible());
        EXPECT_TRUE(world.recorder.sounds.empty());
    }
}

TEST_F(MainMenuTest, PrintTheGameCoverCarriesTheSessionTokenWhenSignedIn) {
    Show(Glm::kUseGlintPointsAction);
    EXPECT_EQ(ClickAt(*menu, 386 + 10, 395 + 10), CGLMWelcomeDlg::kPrintCoverId);
    ASSERT_EQ(world.recorder.urls.size(), 1U);
    EXPECT_EQ(world.recorder.urls[0].first, "http://game.invalid/glimmeries.html?page=portrait")
        << "no token without a session";

    ASSERT_TRUE(world.SignIn(ScreenWorld::Demo().Accounts()[1]));
    EXPECT_EQ(ClickAt(*menu, 386 + 10, 395 + 10), CGLMWelcomeDlg::kPrintCoverId);
    ASSERT_EQ(world.recorder.urls.size(), 2U);
    const std::string prefix = "http://game.invalid/glimmeries.html?page=portrait&sessiontoken=";
    EXPECT_EQ(world.recorder.urls[1].first.rfind(prefix, 0), 0U) << world.recorder.urls[1].first;
    EXPECT_GT(world.recorder.urls[1].first.size(), prefix.size());
    EXPECT_EQ(Count(world.fixture.Log(), "Landing on ExitToGame"), 2U);
}

class TutorialTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ScreenWorld::SetUpShared(); }
    void SetUp() override {
        tutorial = std::make_unique<GLMTutorialDlg>(world.App(), world.frame);
        ASSERT_TRUE(tutorial->Create());
    }
    void Show(std::int32_t device) {
        world.App().SetCurrentDevice(device);
        tutorial->OnShow();
        tutorial->show();
    }
    ScreenWorld world;
    std::unique_ptr<GLMTutorialDlg> tutorial;
};

TEST_F(TutorialTest, ThePictureAndReportFollowTheProduct) {
    const std::vector<std::tuple<std::uint32_t, int, const char*, const char*>> cases{
        {Glm::kBraceletProduct, GLMTutorialDlg::kBraceletPictureId, "TutorialBracelet", "tutorial-bracelet"},
        {Glm::kGameProduct, GLMTutorialDlg::kGamePictureId, "TutorialLcdGame", "tutorial-lcdgame"},
        {Glm::kJewelryBoxProduct, GLMTutorialDlg::kJewelryBoxPictureId, "TutorialJewelryBox",
         "tutorial-jewelrybox"},
    };
    for (const auto& [product, picture, page, shot] : cases) {
        SCOPED_TRACE(page);
        Show(world.ToyId(product));
        EXPECT_EQ(tutorial->GetShownPicture(), picture);
        EXPECT_TRUE(world.LogHas(std::string("Landing on ") + page));
        SaveScreenshot(*tutorial, shot);
        const QWidget* shown = ThinUI::FindControl(tutorial.get(), picture);
        EXPECT_EQ(shown->geometry(), QRect(87, 103, 582, 312));
        EXPECT_TRUE(shown->isVisible());
    }
    // The placeholder toy changes nothing; no toy at all raises 153 and
    // keeps the picture.
    Show(Glm::kAddFriendsAction);
    EXPECT_EQ(tutorial->GetShownPicture(), GLMTutorialDlg::kJewelryBoxPictureId);
    FlowTest::PopupDismisser dismisser(world.frame);
    Show(4242);
    EXPECT_EQ(world.Errors(), std::vector<std::uintptr_t>{153});
    EXPECT_EQ(tutorial->GetShownPicture(), GLMTutorialDlg::kJewelryBoxPictureId);
}

TEST_F(TutorialTest, ContinueAndMenuGoBackToTheMainMenuSilently) {
    for (const auto& [position, id] : std::vector<std::pair<QPoint, int>>{
             {{328, 417}, GLMTutorialDlg::kContinueId}, {{85, 14}, GLMTutorialDlg::kMenuId}}) {
        SCOPED_TRACE(id);
        Show(world.ToyId(Glm::kBraceletProduct));
        world.seen.clear();
        EXPECT_EQ(ClickAt(*tutorial, position.x() + 10, position.y() + 10), id);
        ASSERT_EQ(world.seen.size(), 1U);
        EXPECT_EQ(world.seen[0].id, UI::WM_GLM_SCREEN_DONE);
        EXPECT_FALSE(tutorial->isVisible());
    }
    EXPECT_TRUE(world.recorder.sounds.empty());
}

TEST(ErrorPopupLookTest, ShowsItsTextWithSoundsAndANonModalPopupClosesTheFrame) {
    ScreenWorld world;
    bool checked = false;
    QTimer::singleShot(0, &world.frame, [&] {
        Glm::CGLMErrorDlg* popup = world.frame.GetErrorPopup();
        ASSERT_NE(popup, nullptr);
        const QImage picture = SaveScreenshot(*popup, "error-popup");
        const auto* label =
            static_cast<ThinUI::TextLabel*>(ThinUI::FindControl(popup, Glm::CGLMErrorDlg::kTextId));
        EXPECT_TRUE(label->GetText().startsWith(QStringLiteral("This Account ID does not match")));
        EXPECT_EQ(ThinUI::FindControl(popup, Glm::CGLMErrorDlg::kOkId)->pos(), QPoint(329, 368));
        // The body is the popup's flat purple around the text.
        EXPECT_LT(FlowTest::ShareUnlike(picture, QRect(200, 330, 100, 20), QColor(161, 94, 160)), 0.1);
        checked = true;
        EXPECT_EQ(ClickAt(*popup, 329 + 10, 368 + 10), Glm::CGLMErrorDlg::kOkId);
    });
    world.frame.Target().Send(UI::WM_GLM_SHOW_ERROR, 155);
    EXPECT_TRUE(checked);
    const std::vector<std::string> sounds{"OOPS_SOUND", "CLOSE_SOUND"};
    EXPECT_EQ(world.recorder.sounds, sounds);
    EXPECT_FALSE(world.frame.IsClosed());

    Glm::CGLMErrorDlg lone(world.App(), world.frame);
    lone.SetMessageId(196);
    lone.SetModal(false);
    QTimer::singleShot(0, &lone, [&] { ClickAt(lone, 521 + 8, 146 + 8); });
    EXPECT_EQ(lone.DoModal(), Glm::SkinnedPopup::kCancel);
    EXPECT_TRUE(world.frame.IsClosed()) << "a popup that is not modal closes its parent";
    EXPECT_TRUE(world.recorder.urls.empty()) << "and takes no follow-up action";
    EXPECT_EQ(world.recorder.sounds.back(), "CLOSE_SOUND");
}

} // namespace

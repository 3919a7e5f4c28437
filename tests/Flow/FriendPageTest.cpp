// The friendship page and the letters about friendships the service holds,
// driven through the frame against the demo world.
#include "Flow/GLMFriendshipAnswerDlg.h"
#include "Flow/GLMFriendshipUploadDlg.h"
#include "Flow/ToyInUse.h"
#include "FriendTestWorld.h"
#include "ThinUI/Controls.h"
#include "webapi/FriendCollector.h"

#include <gtest/gtest.h>

namespace FlowTest {

namespace {

using Glm::CGLMFriendshipAnswerDlg;
using Glm::CGLMFriendshipUploadDlg;

std::string LabelText(QWidget& popup, int controlId) {
    auto* label = dynamic_cast<ThinUI::TextLabel*>(ThinUI::FindControl(&popup, controlId));
    return label != nullptr ? label->GetText().toStdString() : std::string("<no label>");
}

bool Shown(QWidget& dialog, int controlId) {
    QWidget* control = ThinUI::FindControl(&dialog, controlId);
    return control != nullptr && !control->isHidden();
}

} // namespace

// Moonpetal's Lirabelle has a made friendship with Wren Mistle and a pending
// one with Poppy Glimmerwing; her refusal of Hollyhock belongs to Wren's
// account, which the made friendship already stands for.
TEST(FriendPage, ListsTheServicesFriendshipsAndTheirLetters) {
    FriendWorld world;
    ASSERT_TRUE(world.demo.IsRunning());
    const DemoAccount& moon = world.Account("moonpetal");
    const std::int32_t bracelet = world.PlugBracelet("moon", moon.braceletClickId);
    ASSERT_GE(bracelet, 0);
    ASSERT_TRUE(world.SignIn(moon, bracelet));

    CGLMFriendshipUploadDlg* page = world.OpenPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(world.Statuses(), (std::vector<int>{Glm::FRIENDSHIP_MADE, Glm::FRIENDSHIP_PENDING}));
    EXPECT_EQ(world.FairyNames(), (std::vector<std::string>{"Wren Mistle", "Poppy Glimmerwing"}));
    EXPECT_TRUE(world.Errors().empty());
    EXPECT_TRUE(world.fixture.Log().find("Landing on AddFriends") != std::string::npos);
    // The toy learned its Fairy on the way.
    EXPECT_EQ(Glm::FindToyInUse(world.App())->GetFairyName(), "Lirabelle");

    Glm::FriendshipListView* list = page->GetList();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text().toStdString(), "    Friendship from Wren Mistle (Played by Fernwhistle)");
    EXPECT_EQ(list->ItemRect(1).top() - list->ItemRect(0).top(), CGLMFriendshipUploadDlg::kRowDistance);
    EXPECT_EQ(list->geometry(), QRect(139, 229, 480, 218));
    EXPECT_TRUE(Shown(*page, CGLMFriendshipUploadDlg::kImageId));
    EXPECT_FALSE(Shown(*page, CGLMFriendshipUploadDlg::kErrorImageId));
    EXPECT_FALSE(Shown(*page, CGLMFriendshipUploadDlg::kUpId));
    EXPECT_FALSE(Shown(*page, CGLMFriendshipUploadDlg::kDownId));
    SaveScreenshot(*page, "friends-page-demo");

    // Made: OK only.
    world.popups.Then([](Glm::SkinnedPopup& letter) {
        SaveScreenshot(letter, "friends-letter-made");
        EXPECT_EQ(LabelText(letter, CGLMFriendshipAnswerDlg::kTextId),
                  "Dear Lirabelle,\n\nYour friend\nWren Mistle\nhas accepted your friendship.");
        EXPECT_EQ(LabelText(letter, CGLMFriendshipAnswerDlg::kSignatureId),
                  "Fly safely,\nThe Evenfall Council!");
        EXPECT_FALSE(Shown(letter, CGLMFriendshipAnswerDlg::kCancelFriendId));
        EXPECT_EQ(ClickAt(letter, 333, 374), CGLMFriendshipAnswerDlg::kOkId);
    });
    ASSERT_TRUE(world.DoubleClickRow(0));
    EXPECT_EQ(world.popups.DialogIds(), (std::vector<int>{154}));
    EXPECT_TRUE(world.fixture.Log().find("Landing on Accepted") != std::string::npos);

    // Pending: cancelled from its letter, on the service too.
    world.popups.Then([](Glm::SkinnedPopup& letter) {
        SaveScreenshot(letter, "friends-letter-pending");
        EXPECT_EQ(LabelText(letter, CGLMFriendshipAnswerDlg::kTextId),
                  "Dear Lirabelle,\n\nYour friend\nPoppy Glimmerwing\nhas not responded yet.");
        EXPECT_TRUE(Shown(letter, CGLMFriendshipAnswerDlg::kOkId));
        EXPECT_EQ(ThinUI::FindControl(&letter, CGLMFriendshipAnswerDlg::kOkId)->pos(), QPoint(267, 375));
        EXPECT_EQ(ClickAt(letter, 394, 402), CGLMFriendshipAnswerDlg::kCancelFriendId);
    });
    ASSERT_TRUE(world.DoubleClickRow(1));
    EXPECT_TRUE(world.popups.AllActionsRun());
    EXPECT_TRUE(world.fixture.Log().find("Landing on Pending") != std::string::npos);
    EXPECT_EQ(world.AnswersSent(), 1U);
    EXPECT_TRUE(world.Errors().empty());
    EXPECT_EQ(world.FairyNames(), (std::vector<std::string>{"Wren Mistle"}));
    std::vector<std::string> online;
    for (const Glm::FriendRecord& friendship : world.ServiceFriendships(moon)) {
        online.push_back(friendship.fairyName + " " + std::to_string(friendship.status));
    }
    EXPECT_EQ(online, (std::vector<std::string>{"Wren Mistle 2", "Hollyhock 1"}));

    // A row longer than 76 characters is cut there, without an ellipsis.
    const std::string longName = "Bellamina Thistledown Moonwhisper Brambl";
    const std::string added =
        world.demo.GetService().Admin({"fairy", "add", "fernless", QString::fromStdString(longName)});
    Glm::FriendRecord invited;
    // "fairy ID"
    invited.fairyId = std::to_string(std::stoul(added.substr(std::string("fairy ").size())));
    std::string errorCode;
    ASSERT_EQ(world.App().UploadFriend(invited, "accept", errorCode), 0) << errorCode << " " << added;
    world.frame.Target().Send(UI::WM_GLM_FRIENDSHIP_NEXT);
    ASSERT_EQ(world.FairyNames(), (std::vector<std::string>{"Wren Mistle", longName}));
    const std::string row = list->item(1)->text().toStdString();
    EXPECT_EQ(row.size(), CGLMFriendshipUploadDlg::kMaxTextLength);
    EXPECT_EQ(row.rfind("    Friendship from " + longName + " (Played by ", 0), 0U) << row;
    EXPECT_EQ(row.find("..."), std::string::npos);
}

TEST(FriendPage, EmptyPageGoneToyAndLeaving) {
    FriendWorld world;
    ASSERT_TRUE(world.demo.IsRunning());
    const DemoAccount& dew = world.Account("dewberry");
    const std::int32_t bracelet = world.PlugBracelet("dew", dew.braceletClickId);
    ASSERT_GE(bracelet, 0);
    ASSERT_TRUE(world.SignIn(dew, bracelet));

    CGLMFriendshipUploadDlg* page = world.OpenPage();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(world.Statuses().empty());
    EXPECT_TRUE(Shown(*page, CGLMFriendshipUploadDlg::kErrorImageId));
    EXPECT_FALSE(Shown(*page, CGLMFriendshipUploadDlg::kImageId));
    SaveScreenshot(*page, "friends-page-empty");

    // The toy gone: a refresh says so and offers nothing.
    world.App().SetCurrentDevice(-1);
    world.frame.Target().Send(UI::WM_GLM_FRIENDSHIP_NEXT);
    EXPECT_EQ(world.Errors(), (std::vector<std::uintptr_t>{153}));
    world.App().SetCurrentDevice(bracelet);

    EXPECT_EQ(ClickAt(*page, 26, 224), CGLMFriendshipUploadDlg::kBackId);
    EXPECT_TRUE(page->isHidden());
    EXPECT_EQ(world.recorder.sounds.back(), "PAGE_TURN_SOUND");
    EXPECT_EQ(world.seen.back().id, UI::WM_GLM_SCREEN_DONE);
}

} // namespace FlowTest

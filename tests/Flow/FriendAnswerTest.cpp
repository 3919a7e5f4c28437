// Friendships touched between virtual bracelets, answered through the
// letters, and what the service and the bracelets hold afterwards; the
// refusals and the faults on the way.
#include "Flow/GLMFriendshipCongratsDlg.h"
#include "Flow/GLMFriendshipLetterDlg.h"
#include "Flow/GLMFriendshipUploadDlg.h"
#include "FrameWorld.h"
#include "FriendTestWorld.h"
#include "ThinUI/Controls.h"
#include "Tools/FlashWindow.h"
#include "webapi/FriendCollector.h"

#include <QScrollBar>
#include <algorithm>
#include <gtest/gtest.h>

namespace FlowTest {

namespace {

using Glm::CGLMFriendshipCongratsDlg;
using Glm::CGLMFriendshipLetterDlg;

// The letters' buttons, clicked a little inside their corners.
constexpr QPoint kAccept(279, 386);
constexpr QPoint kNoThanks(399, 404);
constexpr QPoint kFlyTo(312, 367);

std::string LabelText(QWidget& popup, int controlId) {
    auto* label = dynamic_cast<ThinUI::TextLabel*>(ThinUI::FindControl(&popup, controlId));
    return label != nullptr ? label->GetText().toStdString() : std::string("<no label>");
}

int Click(Glm::SkinnedPopup& popup, QPoint at) {
    return ClickAt(popup, at.x(), at.y());
}

/// The friendship with that Fairy as the service lists it; status 0 when
/// there is none.
int StatusOnline(const std::vector<Glm::FriendRecord>& friendships, const std::string& fairyName) {
    for (const Glm::FriendRecord& friendship : friendships) {
        if (friendship.fairyName == fairyName) {
            return friendship.status;
        }
    }
    return 0;
}

int IndexOf(FriendWorld& world, int status) {
    const std::vector<int> statuses = world.Statuses();
    const auto found = std::find(statuses.begin(), statuses.end(), status);
    return found == statuses.end() ? -1 : static_cast<int>(found - statuses.begin());
}

/// Fernwhistle's and Dewberry's bracelets plugged and touched to each
/// other; Fernwhistle signed in with hers.
struct TwoBracelets {
    explicit TwoBracelets(FriendWorld& world)
        : fern(world.Account("fernwhistle")), dew(world.Account("dewberry")) {
        fernId = world.PlugBracelet("fern", fern.braceletClickId);
        dewId = world.PlugBracelet("dew", dew.braceletClickId);
        met = fernId >= 0 && dewId >= 0 && world.Bracelet("fern").Command("meet dew", "met dew") &&
              world.Reread(fernId) && world.Reread(dewId) && world.SignIn(fern, fernId);
    }
    const DemoAccount& fern;
    const DemoAccount& dew;
    std::int32_t fernId = -1;
    std::int32_t dewId = -1;
    bool met = false;
};

} // namespace

TEST(FriendAnswers, TouchedBraceletsAcceptEachOtherAndBecomeFriends) {
    FriendWorld world;
    ASSERT_TRUE(world.demo.IsRunning());
    TwoBracelets toys(world);
    ASSERT_TRUE(toys.met);
    const auto before = world.ReadToy(toys.fernId);
    ASSERT_TRUE(before.has_value());

    ASSERT_NE(world.OpenPage(), nullptr);
    EXPECT_EQ(world.Statuses(), (std::vector<int>{Glm::FRIENDSHIP_NEW, Glm::FRIENDSHIP_MADE}));
    EXPECT_EQ(world.FairyNames(), (std::vector<std::string>{"Poppy Glimmerwing", "Lirabelle"}));
    EXPECT_EQ(world.Page()->GetEntries()[0].clickId, Touched(toys.dew.braceletClickId));

    world.popups.Then([](Glm::SkinnedPopup& letter) {
        // The friend's avatar plays beside the greeting.
        Glm::FlashWindowView& view = dynamic_cast<CGLMFriendshipLetterDlg&>(letter).GetAvatar();
        ASSERT_NE(view.GetWindow(), nullptr);
        EXPECT_EQ(view.GetWindow()->geometry(), CGLMFriendshipLetterDlg::kAvatarRect);
        EXPECT_TRUE(PumpUntil([&] { return view.GetFlashWindow()->GetReadyState() == 4; }, 20000));
        SaveScreenshot(letter, "friends-letter-new");
        EXPECT_EQ(LabelText(letter, CGLMFriendshipLetterDlg::kGreetingId), "Dear Wren Mistle, ");
        EXPECT_EQ(LabelText(letter, CGLMFriendshipLetterDlg::kSignatureId),
                  "Fly with you!\nPoppy Glimmerwing ");
        EXPECT_NE(LabelText(letter, CGLMFriendshipLetterDlg::kSecondLineId).find("\nHere is my gift to you."),
                  std::string::npos);
        EXPECT_EQ(LabelText(letter, CGLMFriendshipLetterDlg::kGiftId).front(), '"');
        EXPECT_EQ(Click(letter, kAccept), CGLMFriendshipLetterDlg::kAcceptId);
    });
    world.popups.Then([](Glm::SkinnedPopup& congrats) {
        SaveScreenshot(congrats, "friends-congrats-friendship");
        EXPECT_EQ(LabelText(congrats, CGLMFriendshipCongratsDlg::kTextId).substr(0, 25),
                  "Your friendship will be a");
        EXPECT_FALSE(
            ThinUI::FindControl(&congrats, CGLMFriendshipCongratsDlg::kFriendsPictureId)->isHidden());
        EXPECT_EQ(Click(congrats, kFlyTo), CGLMFriendshipCongratsDlg::kFlyToId);
    });
    ASSERT_TRUE(world.DoubleClickRow(0));
    EXPECT_EQ(world.popups.DialogIds(), (std::vector<int>{150, 148}));
    EXPECT_TRUE(world.Errors().empty());
    EXPECT_EQ(world.AnswersSent(), 1U);
    // The slot of the answered friendship is empty; nothing else changed.
    EXPECT_EQ(world.ReadToy(toys.fernId), Without(*before, Touched(toys.dew.braceletClickId)));
    // Wren's invitation now waits for Poppy.
    EXPECT_EQ(world.Statuses(), (std::vector<int>{Glm::FRIENDSHIP_MADE, Glm::FRIENDSHIP_PENDING}));
    ASSERT_FALSE(world.recorder.urls.empty());
    EXPECT_EQ(
        world.recorder.urls.back().first.rfind("http://game.invalid/bramblemere/play?fly=1&sessiontoken=", 0),
        0U);
    for (const char* page :
         {"Landing on AcceptFriend", "Landing on AcceptFriendCongrats", "Landing on ExitToGame"}) {
        EXPECT_NE(world.fixture.Log().find(page), std::string::npos) << page;
    }
    EXPECT_EQ(StatusOnline(world.ServiceFriendships(toys.fern), "Poppy Glimmerwing"),
              Glm::FRIENDSHIP_PENDING);

    // Dewberry answers on her bracelet: the invitation becomes a friendship.
    ASSERT_TRUE(world.SignIn(toys.dew, toys.dewId));
    const auto dewBefore = world.ReadToy(toys.dewId);
    ASSERT_TRUE(dewBefore.has_value());
    ASSERT_NE(world.OpenPage(), nullptr);
    EXPECT_EQ(world.FairyNames(), (std::vector<std::string>{"Wren Mistle"}));
    world.popups.Then([](Glm::SkinnedPopup& letter) { Click(letter, kAccept); });
    ASSERT_TRUE(world.DoubleClickRow(0));
    EXPECT_EQ(world.popups.DialogIds(), (std::vector<int>{150, 148, 150, 148}));
    EXPECT_EQ(world.ReadToy(toys.dewId), Without(*dewBefore, Touched(toys.fern.braceletClickId)));
    EXPECT_EQ(world.Statuses(), (std::vector<int>{Glm::FRIENDSHIP_MADE}));
    EXPECT_EQ(StatusOnline(world.ServiceFriendships(toys.dew), "Wren Mistle"), Glm::FRIENDSHIP_MADE);
    EXPECT_EQ(StatusOnline(world.ServiceFriendships(toys.fern), "Poppy Glimmerwing"), Glm::FRIENDSHIP_MADE);
}

TEST(FriendAnswers, DeclinedFriendshipLeavesBothBraceletsAndIsShownAsDeclined) {
    FriendWorld world;
    ASSERT_TRUE(world.demo.IsRunning());
    TwoBracelets toys(world);
    ASSERT_TRUE(toys.met);
    const auto fernBefore = world.ReadToy(toys.fernId);
    const auto dewBefore = world.ReadToy(toys.dewId);
    ASSERT_TRUE(fernBefore && dewBefore);

    ASSERT_NE(world.OpenPage(), nullptr);
    world.popups.Then([](Glm::SkinnedPopup& letter) {
        EXPECT_EQ(Click(letter, kNoThanks), CGLMFriendshipLetterDlg::kNoThanksId);
    });
    ASSERT_TRUE(world.DoubleClickRow(0));
    EXPECT_EQ(world.popups.DialogIds(), (std::vector<int>{150}));
    EXPECT_EQ(world.AnswersSent(), 1U);
    EXPECT_EQ(world.ReadToy(toys.fernId), Without(*fernBefore, Touched(toys.dew.braceletClickId)));
    EXPECT_EQ(StatusOnline(world.ServiceFriendships(toys.dew), "Wren Mistle"), Glm::FRIENDSHIP_DECLINED);

    // Dewberry's acceptance comes too late: her slot goes without a word.
    ASSERT_TRUE(world.SignIn(toys.dew, toys.dewId));
    ASSERT_NE(world.OpenPage(), nullptr);
    EXPECT_EQ(world.Statuses(), (std::vector<int>{Glm::FRIENDSHIP_NEW}));
    world.popups.Then([](Glm::SkinnedPopup& letter) { Click(letter, kAccept); });
    ASSERT_TRUE(world.DoubleClickRow(0));
    EXPECT_EQ(world.popups.DialogIds(), (std::vector<int>{150, 150}));
    EXPECT_TRUE(world.Errors().empty());
    EXPECT_EQ(world.ReadToy(toys.dewId), Without(*dewBefore, Touched(toys.fern.braceletClickId)));

    // What is left is her refused invitation.
    ASSERT_EQ(world.Statuses(), (std::vector<int>{Glm::FRIENDSHIP_DECLINED}));
    world.popups.Then([](Glm::SkinnedPopup& letter) {
        SaveScreenshot(letter, "friends-letter-declined");
        EXPECT_EQ(LabelText(letter, 1235), "Dear Poppy Glimmerwing,\n\nI am sorry but I can't be friends "
                                           "right\nnow. Have fun in Bramblemere!");
        EXPECT_EQ(LabelText(letter, 1238), "Fly with you!\nWren Mistle ");
        EXPECT_EQ(ClickAt(letter, 526, 151), 1237);
    });
    ASSERT_TRUE(world.DoubleClickRow(0));
    EXPECT_NE(world.fixture.Log().find("Landing on Declined"), std::string::npos);
}

// Lirabelle's bracelet touched by Wren's and Poppy's (both of accounts she is
// an account friend of), by her own family's jewelry box and by a bracelet
// the service does not know.
TEST(FriendAnswers, GiftsSameAccountAndUnknownFriends) {
    FriendWorld world;
    ASSERT_TRUE(world.demo.IsRunning());
    const DemoAccount& moon = world.Account("moonpetal");
    const std::int32_t moonId = world.PlugBracelet("moon", moon.braceletClickId);
    ASSERT_GE(world.PlugBracelet("fern", world.Account("fernwhistle").braceletClickId), 0);
    ASSERT_GE(world.PlugBracelet("dew", world.Account("dewberry").braceletClickId), 0);
    CommandedBracelet& bracelet = world.Bracelet("moon");
    ASSERT_TRUE(bracelet.Command("meet fern", "met fern"));
    ASSERT_TRUE(bracelet.Command("meet dew", "met dew"));
    const std::uint32_t box = world.MoonpetalToys().jewelryBox;
    ASSERT_TRUE(bracelet.Command("touch bracelet " + QString::number(box), "slot"));
    ASSERT_TRUE(bracelet.Command("touch bracelet 999999", "slot"));
    ASSERT_TRUE(world.Reread(moonId));
    ASSERT_TRUE(world.SignIn(moon, moonId));
    const auto before = world.ReadToy(moonId);
    ASSERT_TRUE(before.has_value());

    Glm::CGLMFriendshipUploadDlg* page = world.OpenPage();
    ASSERT_NE(page, nullptr);
    // The unknown bracelet is left out; the service's friendships with the
    // two accounts are hidden behind the bracelet's; one gift only.
    const std::vector<int> statuses = world.Statuses();
    ASSERT_EQ(statuses.size(), 3U);
    EXPECT_EQ(statuses[2], Glm::FRIENDSHIP_SAME_ACCOUNT);
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), Glm::FRIENDSHIP_GIFT), 1);
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), Glm::FRIENDSHIP_NEW), 1);
    EXPECT_TRUE(ThinUI::FindControl(page, Glm::CGLMFriendshipUploadDlg::kUpId)->isHidden());
    SaveScreenshot(*page, "friends-page-touched");

    // The gift accepted.
    const std::uint32_t gift = page->GetEntries()[static_cast<std::size_t>(IndexOf(world, 5))].clickId;
    world.popups.Then([](Glm::SkinnedPopup& letter) {
        SaveScreenshot(letter, "friends-letter-gift");
        EXPECT_EQ(LabelText(letter, CGLMFriendshipLetterDlg::kSecondLineId),
                  "We are already friends in Bramblemere.\nHere is my gift to you. ");
        EXPECT_EQ(Click(letter, kAccept), CGLMFriendshipLetterDlg::kAcceptId);
    });
    world.popups.Then([](Glm::SkinnedPopup& congrats) {
        SaveScreenshot(congrats, "friends-congrats-gift");
        EXPECT_EQ(LabelText(congrats, CGLMFriendshipCongratsDlg::kTextId),
                  "The gift has been added to your\nquick phrase phrases in Bramblemere.");
        EXPECT_TRUE(ThinUI::FindControl(&congrats, CGLMFriendshipCongratsDlg::kFriendsPictureId)->isHidden());
    });
    ASSERT_TRUE(world.DoubleClickRow(IndexOf(world, 5)));
    EXPECT_EQ(world.popups.DialogIds(), (std::vector<int>{150, 148}));
    EXPECT_EQ(world.AnswersSent(), 1U);
    EXPECT_NE(world.fixture.Log().find("Landing on AcceptGiftCongrats"), std::string::npos);
    Glm::Toy::Memory expected = Without(*before, gift);
    EXPECT_EQ(world.ReadToy(moonId), expected);

    // The same family's toy: refused and cleared, the service not asked.
    ASSERT_TRUE(world.DoubleClickRow(IndexOf(world, Glm::FRIENDSHIP_SAME_ACCOUNT)));
    EXPECT_EQ(world.Errors(), (std::vector<std::uintptr_t>{178}));
    expected = Without(expected, Touched(box));
    EXPECT_EQ(world.ReadToy(moonId), expected);

    // The other account friend's Fairy is now the gift; turning it down
    // only clears the bracelet.
    // (The service's friendship with the answered account shows again.)
    ASSERT_EQ(world.Statuses().size(), 2U);
    const int other = IndexOf(world, Glm::FRIENDSHIP_GIFT);
    ASSERT_GE(other, 0);
    const std::uint32_t declined = page->GetEntries()[static_cast<std::size_t>(other)].clickId;
    EXPECT_NE(declined, 0U);
    world.popups.Then([](Glm::SkinnedPopup& letter) { Click(letter, kNoThanks); });
    ASSERT_TRUE(world.DoubleClickRow(other));
    EXPECT_EQ(world.AnswersSent(), 1U);
    EXPECT_EQ(world.ReadToy(moonId), Without(expected, declined));
    // The service's friendships show again, unchanged by the gift.
    EXPECT_EQ(world.Statuses(), (std::vector<int>{Glm::FRIENDSHIP_MADE, Glm::FRIENDSHIP_PENDING}));
}

TEST(FriendAnswers, RefusedAnswersAndToyFaultsLoseNothing) {
    FriendWorld world;
    ASSERT_TRUE(world.demo.IsRunning());
    TwoBracelets toys(world);
    ASSERT_TRUE(toys.met);
    // Moonpetal's game is no bracelet: the service cannot take a friendship
    // with it. Two more of her family's toys make four entries.
    CommandedBracelet& fern = world.Bracelet("fern");
    const DemoToys moonToys = world.MoonpetalToys();
    for (const std::uint32_t clickId :
         {moonToys.game, world.Account("moonpetal").braceletClickId, moonToys.jewelryBox}) {
        ASSERT_TRUE(fern.Command("touch bracelet " + QString::number(clickId), "slot"));
    }
    ASSERT_TRUE(world.Reread(toys.fernId));
    const auto before = world.ReadToy(toys.fernId);
    ASSERT_TRUE(before.has_value());
    Glm::CGLMFriendshipUploadDlg* page = world.OpenPage();
    ASSERT_NE(page, nullptr);
    const std::vector<int> listed{Glm::FRIENDSHIP_NEW, Glm::FRIENDSHIP_GIFT, Glm::FRIENDSHIP_NEW,
                                  Glm::FRIENDSHIP_NEW};
    ASSERT_EQ(world.Statuses(), listed);

    // Four entries bring the arrows; they move the list by one icon's height.
    EXPECT_FALSE(ThinUI::FindControl(page, Glm::CGLMFriendshipUploadDlg::kUpId)->isHidden());
    EXPECT_FALSE(ThinUI::FindControl(page, Glm::CGLMFriendshipUploadDlg::kDownId)->isHidden());
    QScrollBar* scroll = page->GetList()->verticalScrollBar();
    EXPECT_EQ(ClickAt(*page, 633, 349), Glm::CGLMFriendshipUploadDlg::kDownId);
    EXPECT_EQ(scroll->value(), 48);
    SaveScreenshot(*page, "friends-page-scrolled");
    EXPECT_EQ(ClickAt(*page, 631, 250), Glm::CGLMFriendshipUploadDlg::kUpId);
    EXPECT_EQ(scroll->value(), 0);

    // NOT_FOUND: the letter stays open, the slot stays.
    world.popups.Then([](Glm::SkinnedPopup& letter) { Click(letter, kAccept); });
    ASSERT_TRUE(world.DoubleClickRow(1));
    EXPECT_EQ(world.Errors(), (std::vector<std::uintptr_t>{186}));
    EXPECT_EQ(world.ReadToy(toys.fernId), before);

    // The toy fails the write after the service took the answer.
    world.popups.Then([&](Glm::SkinnedPopup& letter) {
        ASSERT_TRUE(world.Bracelet("fern").Command("fault short", "fault short"));
        Click(letter, kAccept);
    });
    ASSERT_TRUE(world.DoubleClickRow(0));
    EXPECT_EQ(world.Errors(), (std::vector<std::uintptr_t>{186, 182}));
    EXPECT_EQ(world.ReadToy(toys.fernId), before);
    EXPECT_EQ(world.Statuses(), listed);
    EXPECT_EQ(StatusOnline(world.ServiceFriendships(toys.fern), "Poppy Glimmerwing"),
              Glm::FRIENDSHIP_PENDING);
    ASSERT_TRUE(world.SignIn(toys.fern, toys.fernId));
    const std::size_t answers = world.AnswersSent();

    // The toy unplugged while its letter is open: nothing is sent.
    world.popups.Then([&](Glm::SkinnedPopup& letter) {
        const std::size_t plugged = world.App().GetToys().GetCount();
        world.Bracelet("fern").Unplug();
        ASSERT_TRUE(PumpUntil([&] { return world.App().GetToys().GetCount() < plugged; }));
        Click(letter, kAccept);
        EXPECT_TRUE(letter.isVisible());
    });
    ASSERT_TRUE(world.DoubleClickRow(0));
    EXPECT_EQ(world.AnswersSent(), answers);
    ASSERT_GE(world.Errors().size(), 3U);
    EXPECT_EQ(world.Errors()[2], 153U);
}

TEST(FriendAnswers, FullFriendsListKeepsTheFriendship) {
    // Wren already has one friend (Lirabelle).
    FriendWorld world({"--max-friends", "1"});
    ASSERT_TRUE(world.demo.IsRunning());
    TwoBracelets toys(world);
    ASSERT_TRUE(toys.met);
    const auto before = world.ReadToy(toys.fernId);
    ASSERT_NE(world.OpenPage(), nullptr);
    world.popups.Then([](Glm::SkinnedPopup& letter) {
        Click(letter, kAccept);
        EXPECT_TRUE(letter.isVisible());
    });
    ASSERT_TRUE(world.DoubleClickRow(0));
    EXPECT_EQ(world.Errors(), (std::vector<std::uintptr_t>{163}));
    EXPECT_EQ(world.ReadToy(toys.fernId), before);
    EXPECT_EQ(world.Statuses(), (std::vector<int>{Glm::FRIENDSHIP_NEW, Glm::FRIENDSHIP_MADE}));
}

} // namespace FlowTest

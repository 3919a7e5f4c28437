// The Glint redeem screen, the butterfly warning and the redeem
// congratulation against the game service: a butterfly costs its points
// once, only after every refusal has been checked, and flies for its days.

#include "Flow/GLMButterflyWarningDlg.h"
#include "Flow/GLMErrorDlg.h"
#include "Flow/GLMGlintsButterflyStrip.h"
#include "Flow/GLMGlintsRedeemCongratsDlg.h"
#include "Flow/GLMGlintsRedeemDlg.h"
#include "Flow/ScreenIds.h"
#include "PointsTestWorld.h"
#include "ThinUI/TextLabel.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

using FlowTest::ClickAt;
using FlowTest::PointsWorld;
using FlowTest::SaveScreenshot;
using Redeem = Glm::CGLMGlintsRedeemDlg;
using Warning = Glm::CGLMButterflyWarningDlg;
using Congrats = Glm::CGLMGlintsRedeemCongratsDlg;

std::string LabelText(QWidget& dialog, int id) {
    auto* label = dynamic_cast<ThinUI::TextLabel*>(ThinUI::FindControl(&dialog, id));
    return label != nullptr ? label->GetText().toStdString() : "(no label " + std::to_string(id) + ")";
}

bool Shown(QWidget& dialog, int id) {
    QWidget* control = ThinUI::FindControl(&dialog, id);
    return control != nullptr && !control->isHidden();
}

class GlintRedeemTest : public ::testing::Test {
protected:
    Redeem* Open(PointsWorld& world) {
        world.frame.Target().Send(UI::WM_GLM_OPEN_GLINT_REDEEM);
        auto* screen = world.frame.GetScreen<Redeem>(Glm::ScreenId::kGlintRedeem);
        EXPECT_TRUE(screen != nullptr && screen->isVisible());
        return screen;
    }
    void ChooseFairy(Redeem& screen, std::size_t index) {
        FlowTest::ClickAvatar(screen, screen.GetViews(), index, 217 + static_cast<int>(index) * 162, 250);
    }
    // Scrolls the strip from its start with the right arrow and clicks the
    // butterfly then in view.
    void ChooseButterfly(Redeem& screen, int position) {
        while (screen.GetStrip().GetScrollPosition() > 0) {
            ASSERT_EQ(ClickAt(screen, 97 + 5, 397 + 5), Redeem::kArrowLeftId);
        }
        for (int k = 0; k < position; ++k) {
            ASSERT_EQ(ClickAt(screen, 611 + 5, 397 + 5), Redeem::kArrowRightId);
        }
        EXPECT_EQ(ClickAt(screen, 183 + 150, 386 + 25), Redeem::kStripId);
        EXPECT_EQ(screen.GetChosenIndex(), position);
    }
    template <class Popup, typename Action>
    void NextWith(PointsWorld& world, Redeem& screen, Action inPopup) {
        FlowTest::WhenOpen<Popup>(world.frame, std::move(inPopup));
        EXPECT_EQ(ClickAt(screen, 625 + 10, 219 + 10), Redeem::kNextId);
    }
    // Next when a refusal is expected: the error popup it opens is closed.
    std::vector<std::uintptr_t> RefusedNext(PointsWorld& world, Redeem& screen) {
        world.seen.clear();
        FlowTest::PopupDismisser dismisser(world.frame);
        EXPECT_TRUE(FlowTest::Click(screen, Redeem::kNextId));
        QCoreApplication::sendPostedEvents(&screen);
        return world.Errors();
    }
};

TEST_F(GlintRedeemTest, ButterflyCostsItsPointsAndFliesForItsDays) {
    PointsWorld world(0);
    ASSERT_TRUE(world.IsReady());
    world.SetBalance(world.Tansy(), 430);
    Redeem* screen = Open(world);
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(world.Errors().empty());
    EXPECT_EQ(LabelText(*screen, Redeem::kHeadingId), "Choose the butterfly you want ");
    EXPECT_EQ(LabelText(*screen, 1077), "1200\nGlint Points");
    EXPECT_EQ(LabelText(*screen, 1078), "430\nGlint Points");
    EXPECT_FALSE(Shown(*screen, 1079));
    EXPECT_FALSE(Shown(*screen, Redeem::kNextId));
    for (const auto& [id, at] : std::vector<std::pair<int, QPoint>>{{Redeem::kPictureId, {223, 115}},
                                                                    {Redeem::kHeadingId, {253, 365}},
                                                                    {1078, {324, 337}},
                                                                    {Redeem::kArrowLeftId, {97, 397}},
                                                                    {Redeem::kArrowRightId, {611, 397}},
                                                                    {Redeem::kStripId, {183, 386}}}) {
        EXPECT_EQ(ThinUI::FindControl(screen, id)->pos(), at) << id;
    }
    EXPECT_EQ(screen->GetStrip().size(), QSize(383, 90));
    ASSERT_EQ(screen->GetButterflies().size(), 8U);
    EXPECT_NE(world.fixture.Log().find("Landing on UseGlintPoints"), std::string::npos);
    SaveScreenshot(*screen, "glint-redeem");

    // The arrows move the strip by one picture and stop at its ends.
    EXPECT_EQ(ClickAt(*screen, 97 + 5, 397 + 5), Redeem::kArrowLeftId);
    EXPECT_EQ(screen->GetStrip().GetScrollPosition(), 0);
    ChooseButterfly(*screen, 1);
    EXPECT_EQ(screen->GetStrip().GetScrollPosition(), 368);
    EXPECT_EQ(world.recorder.sounds.back(), "CLICK_BUBBLE_SOUND");
    ChooseFairy(*screen, 1);
    EXPECT_TRUE(Shown(*screen, Redeem::kNextId));
    SaveScreenshot(*screen, "glint-redeem-chosen");

    bool congratulated = false;
    NextWith<Congrats>(world, *screen, [&](Congrats& popup) {
        Congrats* congrats = &popup;
        congratulated = true;
        SaveScreenshot(*congrats, "glint-redeem-congrats");
        EXPECT_EQ(LabelText(*congrats, 1267), "You used\n150 Glint Points\nfor this beautiful butterfly.");
        EXPECT_EQ(LabelText(*congrats, 1068),
                  "The butterfly will fly with\nTansy Quill\nfor 3 day(s) in Bramblemere.");
        EXPECT_EQ(ThinUI::FindControl(congrats, Congrats::kPictureId)->pos(), QPoint(354, 271));
        EXPECT_EQ(world.recorder.sounds.back(), "CONGRATS_SOUND");
        EXPECT_EQ(ClickAt(*congrats, 375 + 10, 354 + 10), Congrats::kFlyToId);
    });
    EXPECT_TRUE(congratulated);
    EXPECT_TRUE(world.Errors().empty());
    EXPECT_EQ(world.Balance(world.Tansy()), 280);
    EXPECT_EQ(world.Butterfly(world.Tansy()), std::make_pair(std::string("2"), std::string("3")));
    ASSERT_EQ(world.recorder.urls.size(), 1U);
    EXPECT_EQ(world.recorder.urls[0].first.rfind("http://game.invalid/index.html?1=1&sessiontoken=", 0), 0U)
        << world.recorder.urls[0].first;
    EXPECT_GT(world.recorder.urls[0].first.size(),
              std::string("http://game.invalid/index.html?1=1&sessiontoken=").size());
    const std::string log = world.fixture.Log();
    EXPECT_NE(log.find("Landing on UseGlintPointsCongrats"), std::string::npos);
    EXPECT_NE(log.find("Landing on ExitToGame"), std::string::npos);
    EXPECT_EQ(screen->GetChosenIndex(), -1);

    // Done refreshes the balances; a double-click on a butterfly acts as Next.
    world.SetBalance(world.Tansy(), 2000);
    ChooseButterfly(*screen, 0);
    FlowTest::WhenOpen<Warning>(world.frame, [&](Warning& popup) {
        Warning* warning = &popup;
        // Tansy flies butterfly 2 now: another one is warned of.
        EXPECT_EQ(LabelText(*warning, Warning::kTextId),
                  "We will replace the current butterfly that is now flying with\nTansy Quill.\n"
                  "Your time will be extended to\n3 day(s).\nDo you want to continue?");
        FlowTest::WhenOpen<Congrats>(world.frame, [&](Congrats& congrats) {
            EXPECT_EQ(ClickAt(congrats, 222 + 10, 354 + 10), Congrats::kDoneId);
        });
        EXPECT_EQ(ClickAt(*warning, 267 + 10, 371 + 10), Warning::kOkId);
    });
    auto* strip = &screen->GetStrip();
    QTest::mouseDClick(strip, Qt::LeftButton, Qt::NoModifier, QPoint(150, 25));
    EXPECT_EQ(world.Balance(world.Tansy()), 1900);
    EXPECT_EQ(world.Butterfly(world.Tansy()).first, "1");
    EXPECT_EQ(LabelText(*screen, 1078), "1900\nGlint Points");
}

TEST_F(GlintRedeemTest, RefusalsComeBeforeAnyRedemptionRequest) {
    PointsWorld world(0);
    ASSERT_TRUE(world.IsReady());
    Redeem* screen = Open(world);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(RefusedNext(world, *screen), std::vector<std::uintptr_t>{189});
    ChooseFairy(*screen, 1);
    EXPECT_EQ(RefusedNext(world, *screen), std::vector<std::uintptr_t>{161});

    // Tansy's 80 points do not buy the 750-point butterfly.
    ChooseButterfly(*screen, 7);
    FlowTest::WhenOpen<Glm::CGLMErrorDlg>(world.frame, [&](Glm::CGLMErrorDlg& error) {
        SaveScreenshot(error, "glint-redeem-too-few-points");
        error.EndDialog(Glm::SkinnedPopup::kCancel);
    });
    world.seen.clear();
    EXPECT_EQ(ClickAt(*screen, 625 + 10, 219 + 10), Redeem::kNextId);
    EXPECT_EQ(world.Errors(), std::vector<std::uintptr_t>{162});
    EXPECT_EQ(world.RequestCount("ClickRedemptionRequest"), 0);
    EXPECT_EQ(world.Balance(world.Tansy()), 80);
    EXPECT_EQ(world.Butterfly(world.Tansy()).first, "0");
}

TEST_F(GlintRedeemTest, OnlyOkInTheWarningSpendsThePoints) {
    PointsWorld world(0);
    ASSERT_TRUE(world.IsReady());
    Redeem* screen = Open(world);
    ASSERT_NE(screen, nullptr);
    ChooseFairy(*screen, 0);

    // Lirabelle already flies butterfly 3 (position 2).
    for (const auto& [name, x, y, id] : std::vector<std::tuple<std::string, int, int, int>>{
             {"cancel", 396 + 5, 398 + 5, Warning::kCancelId},
             {"close", 521 + 5, 146 + 5, Warning::kCloseId}}) {
        SCOPED_TRACE(name);
        ChooseButterfly(*screen, 2);
        NextWith<Warning>(world, *screen, [&](Warning& popup) {
            Warning* warning = &popup;
            SaveScreenshot(*warning, "glint-warning-same-butterfly");
            EXPECT_EQ(
                LabelText(*warning, Warning::kTextId),
                "You picked the butterfly that is now flying with\nLirabelle.\nYour time will extend to\n"
                "5 day(s).\nDo you want to continue? ");
            EXPECT_EQ(world.recorder.sounds.back(), "WARNING_SOUND");
            EXPECT_EQ(ClickAt(*warning, x, y), id);
        });
        EXPECT_EQ(world.recorder.sounds.back(), "CLOSE_SOUND");
    }
    EXPECT_EQ(world.RequestCount("ClickRedemptionRequest"), 0);
    EXPECT_EQ(world.Balance(world.Lirabelle()), 1200);

    ChooseButterfly(*screen, 2);
    bool congratulated = false;
    NextWith<Warning>(world, *screen, [&](Warning& warning) {
        FlowTest::WhenOpen<Congrats>(world.frame, [&](Congrats& congrats) {
            congratulated = true;
            congrats.EndDialog(Glm::SkinnedPopup::kCancel);
        });
        ClickAt(warning, 267 + 10, 371 + 10);
    });
    EXPECT_TRUE(congratulated);
    EXPECT_EQ(world.Balance(world.Lirabelle()), 1000);
    EXPECT_EQ(world.Butterfly(world.Lirabelle()).first, "3");
    EXPECT_FALSE(world.Seen(UI::WM_GLM_GLINT_REDEEM_NEXT).empty());
    EXPECT_EQ(LabelText(*screen, 1077), "1000\nGlint Points");

    // Another butterfly: 181, and OK replaces it.
    ChooseButterfly(*screen, 0);
    NextWith<Warning>(world, *screen, [&](Warning& popup) {
        Warning* warning = &popup;
        SaveScreenshot(*warning, "glint-warning-other-butterfly");
        EXPECT_EQ(LabelText(*warning, Warning::kTextId),
                  "We will replace the current butterfly that is now flying with\nLirabelle.\n"
                  "Your time will be extended to\n3 day(s).\nDo you want to continue?");
        FlowTest::WhenOpen<Congrats>(
            world.frame, [](Congrats& congrats) { congrats.EndDialog(Glm::SkinnedPopup::kCancel); });
        ClickAt(*warning, 267 + 10, 371 + 10);
    });
    EXPECT_EQ(world.Balance(world.Lirabelle()), 900);
    EXPECT_EQ(world.Butterfly(world.Lirabelle()), std::make_pair(std::string("1"), std::string("3")));
}

TEST_F(GlintRedeemTest, ServiceRefusingForTooFewPointsShows162AndSpendsNothing) {
    PointsWorld world(0);
    ASSERT_TRUE(world.IsReady());
    Redeem* screen = Open(world);
    ASSERT_NE(screen, nullptr);
    ChooseFairy(*screen, 0);
    ChooseButterfly(*screen, 0);
    NextWith<Warning>(world, *screen, [&](Warning& popup) {
        Warning* warning = &popup;
        // Spent elsewhere while the warning was up.
        world.SetBalance(world.Lirabelle(), 50);
        FlowTest::PopupDismisser dismisser(world.frame);
        ClickAt(*warning, 267 + 10, 371 + 10);
    });
    EXPECT_EQ(world.Errors(), std::vector<std::uintptr_t>{162});
    EXPECT_EQ(world.RequestCount("ClickRedemptionRequest"), 1);
    EXPECT_EQ(world.Balance(world.Lirabelle()), 50);
    EXPECT_EQ(world.Butterfly(world.Lirabelle()).first, "3");
    EXPECT_TRUE(world.Seen(UI::WM_GLM_SHOW_GLINT_REDEEM_CONGRATS).empty());
}

} // namespace

// The Glint upload screen and its popups against the game service and a
// virtual handheld game: the points reach the chosen Fairy exactly once and
// leave the toy only after the service took them.

#include "Flow/GLMErrorDlg.h"
#include "Flow/GLMGlintsCompleteDlg.h"
#include "Flow/GLMGlintsRedeemDlg.h"
#include "Flow/GLMGlintsUploadCongratsDlg.h"
#include "Flow/GLMGlintsUploadDlg.h"
#include "Flow/ScreenIds.h"
#include "PointsTestWorld.h"
#include "ThinUI/TextLabel.h"
#include "webapi/PointsHandOver.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

using FlowTest::ClickAt;
using FlowTest::InNextModalLoop;
using FlowTest::PointsWorld;
using FlowTest::SaveScreenshot;
using Glm::CGLMGlintsUploadDlg;
using Upload = Glm::CGLMGlintsUploadDlg;
using Confirm = Glm::CGLMGlintsCompleteDlg;
using Congrats = Glm::CGLMGlintsUploadCongratsDlg;

std::string LabelText(QWidget& dialog, int id) {
    auto* label = dynamic_cast<ThinUI::TextLabel*>(ThinUI::FindControl(&dialog, id));
    return label != nullptr ? label->GetText().toStdString() : "(no label " + std::to_string(id) + ")";
}

bool Shown(QWidget& dialog, int id) {
    QWidget* control = ThinUI::FindControl(&dialog, id);
    return control != nullptr && !control->isHidden();
}

class GlintUploadTest : public ::testing::Test {
protected:
    // Opens the upload screen as the main menu's button does.
    Upload* Open(PointsWorld& world) {
        world.frame.Target().Send(UI::WM_GLM_OPEN_GLINT_UPLOAD);
        auto* screen = world.frame.GetScreen<Upload>(Glm::ScreenId::kGlintUpload);
        EXPECT_NE(screen, nullptr);
        EXPECT_TRUE(screen != nullptr && screen->isVisible());
        return screen;
    }
    // Chooses the Fairy of avatar index by clicking it where it stands.
    void Choose(Upload& screen, std::size_t index) {
        FlowTest::ClickAvatar(screen, screen.GetViews(), index, 232 + static_cast<int>(index) * 146, 323);
    }
    // Next, with what happens in the popup it opens.
    template <typename Action>
    void NextWith(PointsWorld& world, Upload& screen, Action inPopup) {
        InNextModalLoop(world.frame, std::move(inPopup));
        EXPECT_EQ(ClickAt(screen, 625 + 10, 219 + 10), Upload::kNextId);
    }
};

TEST_F(GlintUploadTest, PointsGoToTheChosenFairyOnceAndTheToyReadsZero) {
    PointsWorld world(350);
    ASSERT_TRUE(world.IsReady());
    const int tansyBefore = world.Balance(world.Tansy());
    const int lirabelleBefore = world.Balance(world.Lirabelle());
    Upload* screen = Open(world);
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(world.Errors().empty());
    EXPECT_EQ(LabelText(*screen, Upload::kHeadingId),
              "You have\n350\nGlint Points.\nChoose a Fairy to get your Glint Points.");
    EXPECT_EQ(LabelText(*screen, 1243), "Current Balance\n" + std::to_string(lirabelleBefore) + " Points");
    EXPECT_EQ(LabelText(*screen, 1066), "Current Balance\n" + std::to_string(tansyBefore) + " Points");
    EXPECT_TRUE(Shown(*screen, 1243));
    EXPECT_TRUE(Shown(*screen, 1066));
    EXPECT_FALSE(Shown(*screen, 1067)) << "the family has two Fairies: the third view is empty";
    EXPECT_FALSE(Shown(*screen, Upload::kNextId));
    for (const auto& [id, at] : std::vector<std::pair<int, QPoint>>{{Upload::kPictureId, {274, 123}},
                                                                    {Upload::kHeadingId, {211, 162}},
                                                                    {1243, {182, 413}},
                                                                    {Upload::kBackId, {21, 219}},
                                                                    {Upload::kMenuId, {85, 14}}}) {
        EXPECT_EQ(ThinUI::FindControl(screen, id)->pos(), at) << id;
    }
    EXPECT_NE(world.fixture.Log().find("Landing on AddGlintPoints"), std::string::npos);

    Choose(*screen, 1);
    EXPECT_EQ(screen->GetChosenFairy(), world.Tansy());
    EXPECT_TRUE(Shown(*screen, Upload::kNextId));
    EXPECT_EQ(world.recorder.sounds.back(), "PIXIE_DUST_JINGLE_SOUND");
    SaveScreenshot(*screen, "glint-upload-fairy-chosen");

    bool confirmed = false;
    bool congratulated = false;
    NextWith(world, *screen, [&] {
        auto* confirm = dynamic_cast<Confirm*>(world.frame.GetOpenPopup());
        ASSERT_NE(confirm, nullptr);
        SaveScreenshot(*confirm, "glint-upload-confirm");
        EXPECT_EQ(LabelText(*confirm, Confirm::kTextId),
                  "You are going to reward\n350\nGlint Points to\nTansy Quill\nIs this OK?");
        FlowTest::WhenOpen<Congrats>(world.frame, [&](Congrats& popup) {
            Congrats* congrats = &popup;
            SaveScreenshot(*congrats, "glint-upload-congrats");
            EXPECT_EQ(LabelText(*congrats, Congrats::kTextId),
                      "You have given Fairy\nTansy Quill\n350 Glint Points.");
            EXPECT_EQ(world.recorder.sounds.back(), "CONGRATS_SOUND");
            congratulated = true;
            EXPECT_EQ(ClickAt(*congrats, 521 + 5, 146 + 5), Congrats::kCloseId);
        });
        confirmed = ClickAt(*confirm, 267 + 10, 371 + 10) == Confirm::kOkId;
    });
    EXPECT_TRUE(confirmed);
    EXPECT_TRUE(congratulated);
    EXPECT_TRUE(world.Errors().empty());
    EXPECT_EQ(world.Balance(world.Tansy()), tansyBefore + 350);
    EXPECT_EQ(world.Balance(world.Lirabelle()), lirabelleBefore);
    EXPECT_EQ(world.ToyPoints(), 0);
    EXPECT_EQ(world.Seen(UI::WM_GLM_SHOW_GLINT_UPLOAD_CONGRATS).at(0).wParam, 350U);
    ASSERT_FALSE(world.Seen(UI::WM_GLM_GLINT_UPLOAD_NEXT).empty());
    EXPECT_EQ(LabelText(*screen, Upload::kHeadingId),
              "You have\n0\nGlint Points.\nChoose a Fairy to get your Glint Points.");
    EXPECT_EQ(LabelText(*screen, 1066), "Current Balance\n" + std::to_string(tansyBefore + 350) + " Points");
    EXPECT_NE(world.fixture.Log().find("Landing on AddGlintPointsCongrats"), std::string::npos);
    SaveScreenshot(*screen, "glint-upload-after");
    EXPECT_FALSE(Glm::PointsJournal(world.App().GetDataDirectory()).Find(world.GameClickId()));

    // Nothing is left to give.
    world.seen.clear();
    FlowTest::PopupDismisser dismisser(world.frame);
    ClickAt(*screen, 625 + 10, 219 + 10);
    EXPECT_EQ(world.Errors(), std::vector<std::uintptr_t>{160});
    EXPECT_EQ(world.Balance(world.Tansy()), tansyBefore + 350);
}

TEST_F(GlintUploadTest, NextRefusesWithoutFairyOrPointsAndClosingTheQuestionKeepsThePoints) {
    PointsWorld world(120);
    ASSERT_TRUE(world.IsReady());
    const int before = world.Balance(world.Lirabelle());
    Upload* screen = Open(world);
    ASSERT_NE(screen, nullptr);

    // Next is hidden until a Fairy is chosen; pressed anyway it asks for one.
    {
        FlowTest::PopupDismisser dismisser(world.frame);
        ASSERT_TRUE(FlowTest::Click(*screen, Upload::kNextId));
        QCoreApplication::sendPostedEvents(screen);
    }
    EXPECT_EQ(world.Errors(), std::vector<std::uintptr_t>{189});

    Choose(*screen, 0);
    ASSERT_EQ(screen->GetChosenFairy(), world.Lirabelle());
    for (const auto& [name, x, y, id] : std::vector<std::tuple<std::string, int, int, int>>{
             {"cancel", 391 + 5, 384 + 5, Confirm::kCancelId},
             {"close", 521 + 5, 146 + 5, Confirm::kCloseId}}) {
        SCOPED_TRACE(name);
        world.recorder.sounds.clear();
        NextWith(world, *screen, [&] {
            auto* confirm = dynamic_cast<Confirm*>(world.frame.GetOpenPopup());
            ASSERT_NE(confirm, nullptr);
            EXPECT_EQ(ClickAt(*confirm, x, y), id);
        });
        EXPECT_EQ(world.recorder.sounds.back(), "CLOSE_SOUND");
        EXPECT_EQ(world.ToyPoints(), 120);
        EXPECT_EQ(world.Balance(world.Lirabelle()), before);
        EXPECT_TRUE(world.Seen(UI::WM_GLM_SHOW_GLINT_UPLOAD_CONGRATS).empty());
    }
    EXPECT_EQ(world.RequestCount("ClickUploadRequest"), 0);

    // A refusal by the service leaves the points on the toy, credits nothing
    // and leaves the question open.
    const auto listedClickId = [&](std::int32_t clickId) {
        world.App().GetToys().Update(static_cast<std::uint32_t>(world.App().GetCurrentDevice()),
                                     [clickId](Glm::Toy& toy) {
                                         Glm::Toy::Memory image = toy.GetImage();
                                         Glm::Toy::SetWord(image, 0, clickId);
                                         toy.SetImage(image);
                                     });
    };
    listedClickId(12345);
    bool stayedOpen = false;
    NextWith(world, *screen, [&] {
        auto* confirm = dynamic_cast<Confirm*>(world.frame.GetOpenPopup());
        ASSERT_NE(confirm, nullptr);
        EXPECT_EQ(ClickAt(*confirm, 267 + 10, 371 + 10), Confirm::kOkId);
        stayedOpen = confirm->isVisible();
        ClickAt(*confirm, 391 + 5, 384 + 5);
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(world.RequestCount("ClickUploadRequest"), 1);
    EXPECT_EQ(world.ToyPoints(), 120);
    EXPECT_EQ(world.Balance(world.Lirabelle()), before);
    EXPECT_FALSE(Glm::PointsJournal(world.App().GetDataDirectory()).Find(12345));
    EXPECT_TRUE(world.Seen(UI::WM_GLM_SHOW_GLINT_UPLOAD_CONGRATS).empty());
    listedClickId(static_cast<std::int32_t>(world.GameClickId()));

    // A toy whose points are 0 cannot reach the question.
    world.seen.clear();
    FlowTest::PopupDismisser dismisser(world.frame);
    world.App().GetToys().Update(static_cast<std::uint32_t>(world.App().GetCurrentDevice()),
                                 [](Glm::Toy& toy) {
                                     Glm::Toy::Memory image = toy.GetImage();
                                     Glm::Toy::SetWord(image, 1, 0);
                                     toy.SetImage(image);
                                 });
    ClickAt(*screen, 625 + 10, 219 + 10);
    EXPECT_EQ(world.Errors(), std::vector<std::uintptr_t>{160});
    EXPECT_TRUE(world.Seen(UI::WM_GLM_SHOW_GLINT_CONFIRM).empty());
}

TEST_F(GlintUploadTest, GameUnpluggedAfterTheServiceTookThePointsIsNotCreditedTwice) {
    PointsWorld world(500);
    ASSERT_TRUE(world.IsReady());
    const int before = world.Balance(world.Tansy());
    Upload* screen = Open(world);
    ASSERT_NE(screen, nullptr);
    Choose(*screen, 1);

    NextWith(world, *screen, [&] {
        auto* confirm = dynamic_cast<Confirm*>(world.frame.GetOpenPopup());
        ASSERT_NE(confirm, nullptr);
        // Gone from the bus before the application has heard of it: the
        // service takes the points, then the clear cannot reach the toy.
        world.UnplugGame();
        FlowTest::WhenOpen<Glm::CGLMErrorDlg>(world.frame, [&](Glm::CGLMErrorDlg& error) {
            SaveScreenshot(error, "glint-upload-clear-failed");
        });
        // The device error, then the toy's absence seen by the refresh.
        FlowTest::PopupDismisser dismisser(world.frame);
        EXPECT_EQ(ClickAt(*confirm, 267 + 10, 371 + 10), Confirm::kOkId);
    });
    ASSERT_FALSE(world.Errors().empty());
    EXPECT_EQ(world.Errors().front(), 182U);
    EXPECT_EQ(world.Balance(world.Tansy()), before + 500);
    EXPECT_TRUE(world.Seen(UI::WM_GLM_SHOW_GLINT_UPLOAD_CONGRATS).empty());
    const auto pending = Glm::PointsJournal(world.App().GetDataDirectory()).Find(world.GameClickId());
    ASSERT_TRUE(pending.has_value());
    EXPECT_EQ(pending->points, 500);
    EXPECT_EQ(pending->state, Glm::PointsRecord::Accepted);

    // Plugged back in, the game still holds the points; the next attempt,
    // even to another Fairy, only clears them.
    ASSERT_TRUE(world.ReplugGame());
    EXPECT_EQ(world.ToyPoints(), 500);
    world.seen.clear();
    EXPECT_EQ(ClickAt(*screen, 21 + 5, 219 + 5), Upload::kBackId);
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(screen->GetViews().GetView(0).GetWindow(), nullptr) << "the movies go with the screen";
    EXPECT_EQ(world.Seen(UI::WM_GLM_SCREEN_DONE).size(), 1U);
    world.seen.clear();
    screen = Open(world);
    ASSERT_NE(screen, nullptr);
    Choose(*screen, 0);
    const int uploadsBefore = world.RequestCount("ClickUploadRequest");
    NextWith(world, *screen, [&] {
        auto* confirm = dynamic_cast<Confirm*>(world.frame.GetOpenPopup());
        ASSERT_NE(confirm, nullptr);
        FlowTest::WhenOpen<Congrats>(world.frame, [&](Congrats& popup) {
            Congrats* congrats = &popup;
            // The points went to the Fairy of the first attempt.
            EXPECT_EQ(LabelText(*congrats, Congrats::kTextId),
                      "You have given Fairy\nTansy Quill\n500 Glint Points.");
            congrats->EndDialog(Glm::SkinnedPopup::kCancel);
        });
        EXPECT_EQ(ClickAt(*confirm, 267 + 10, 371 + 10), Confirm::kOkId);
    });
    EXPECT_TRUE(world.Errors().empty());
    EXPECT_EQ(world.RequestCount("ClickUploadRequest"), uploadsBefore);
    EXPECT_EQ(world.Balance(world.Tansy()), before + 500);
    EXPECT_EQ(world.ToyPoints(), 0);
    EXPECT_FALSE(Glm::PointsJournal(world.App().GetDataDirectory()).Find(world.GameClickId()));
}

TEST_F(GlintUploadTest, UsePointsOpensTheRedeemScreen) {
    PointsWorld world(40);
    ASSERT_TRUE(world.IsReady());
    Upload* screen = Open(world);
    ASSERT_NE(screen, nullptr);
    Choose(*screen, 1);
    NextWith(world, *screen, [&] {
        auto* confirm = world.frame.GetOpenPopup();
        ASSERT_NE(confirm, nullptr);
        FlowTest::WhenOpen<Congrats>(world.frame, [&](Congrats& congrats) {
            EXPECT_EQ(ClickAt(congrats, 329 + 10, 368 + 10), Congrats::kUsePointsId);
        });
        ClickAt(*confirm, 267 + 10, 371 + 10);
    });
    auto* redeem = world.frame.GetScreen<Glm::CGLMGlintsRedeemDlg>(Glm::ScreenId::kGlintRedeem);
    ASSERT_NE(redeem, nullptr);
    EXPECT_TRUE(redeem->isVisible());
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(world.frame.GetVisibleScreen(), redeem);
    EXPECT_EQ(redeem->GetButterflies().size(), 8U);
}

} // namespace

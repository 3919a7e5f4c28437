// Window shapes, the screen's first paint and the popups' results.

#include "Flow/GLMCongratsDlg.h"
#include "Flow/GLMQuickPhraseDlg.h"
#include "Flow/MainFrame.h"
#include "Flow/MaskImage.h"
#include "Flow/SkinnedScreen.h"
#include "FlowFixture.h"
#include "ThinUI/Controls.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using FlowTest::Fixture;

TEST(RegionTest, RunsOfDarkPixelsBecomeOnePixelRectanglesRowByRow) {
    QImage mask(6, 3, QImage::Format_RGB32);
    mask.fill(Qt::white);
    mask.setPixel(1, 0, qRgb(0, 0, 0));
    mask.setPixel(2, 0, qRgb(199, 255, 255)); // one component below 200: kept
    mask.setPixel(4, 0, qRgb(0, 0, 0));
    mask.setPixel(3, 1, qRgb(200, 200, 200)); // every component in range: cut
    for (int x = 0; x < 6; ++x) {
        mask.setPixel(x, 2, qRgb(10, 10, 10));
    }
    const std::vector<QRect> runs =
        Glm::RegionRunsFromBitmap(mask, Glm::kMaskTransparentColor, Glm::kMaskTolerance);
    const std::vector<QRect> expected{QRect(1, 0, 2, 1), QRect(4, 0, 1, 1), QRect(0, 2, 6, 1)};
    EXPECT_EQ(runs, expected);
    const QRegion region = Glm::RegionFromBitmap(mask, Glm::kMaskTransparentColor, Glm::kMaskTolerance);
    EXPECT_TRUE(region.contains(QPoint(2, 0)));
    EXPECT_FALSE(region.contains(QPoint(3, 0)));
    EXPECT_FALSE(region.contains(QPoint(3, 1)));
    EXPECT_EQ(region.boundingRect(), QRect(0, 0, 6, 3));
}

TEST(RegionTest, AMissingMaskLeavesTheWindowRectangular) {
    QWidget window;
    Glm::MaskImage mask("NO_SUCH_MASK");
    EXPECT_FALSE(mask.ApplyTo(&window));
    EXPECT_TRUE(window.mask().isEmpty());
}

class PictureImage : public ThinUI::Image {
public:
    bool Load() override {
        QImage picture(Glm::MainFrame::kWidth, Glm::MainFrame::kHeight, QImage::Format_RGB32);
        picture.fill(Qt::darkBlue);
        SetBitmap(picture);
        return true;
    }
};

class MissingImage : public ThinUI::Image {
public:
    bool Load() override { return false; }
};

class TestScreen : public Glm::SkinnedScreen {
public:
    TestScreen(Glm::Glimmeries& application, Glm::MainFrame& frame, std::unique_ptr<ThinUI::Image> background)
        : SkinnedScreen(application, frame, 999, std::move(background)) {}

protected:
    bool OnInitDialog() override {
        AddButton("EXIT_BUTTONS", 3, 1130, 665, 17);
        return true;
    }
};

TEST(SkinnedScreenTest, TheFirstPaintResizesOnceAndLaterPaintsDoNot) {
    Fixture fixture;
    Glm::MainFrame frame(*fixture.application);
    TestScreen screen(*fixture.application, frame, std::make_unique<PictureImage>());
    ASSERT_TRUE(screen.Create());
    screen.resize(100, 80);
    screen.show();
    screen.grab();
    EXPECT_EQ(screen.size(), QSize(750, 500));
    screen.resize(300, 200);
    screen.grab();
    EXPECT_EQ(screen.size(), QSize(300, 200));
    EXPECT_EQ(screen.GetFirstPaintResizes(), 1);
}

TEST(SkinnedScreenTest, AMissingBackgroundLeavesTheControlsThere) {
    Fixture fixture;
    Glm::MainFrame frame(*fixture.application);
    TestScreen screen(*fixture.application, frame, std::make_unique<MissingImage>());
    ASSERT_TRUE(screen.Create());
    screen.show();
    screen.grab();
    EXPECT_EQ(screen.GetFirstPaintResizes(), 0);
    QWidget* exitButton = ThinUI::FindControl(&screen, 1130);
    ASSERT_NE(exitButton, nullptr);
    EXPECT_EQ(exitButton->pos(), QPoint(665, 17));
}

// Clicks the control with that id once the popup's modal loop runs.
void ClickLater(QDialog& popup, int controlId) {
    FlowTest::InNextModalLoop(popup, [&popup, controlId] {
        ASSERT_TRUE(FlowTest::Click(popup, controlId)) << "no control " << controlId;
    });
}

TEST(PopupTest, QuickPhraseOkReturnsOneAndCloseReturnsTwo) {
    Fixture fixture;
    Glm::MainFrame frame(*fixture.application);
    frame.show();
    Glm::CGLMQuickPhraseDlg popup(*fixture.application, frame);
    ClickLater(popup, Glm::CGLMQuickPhraseDlg::kOkId);
    EXPECT_EQ(popup.DoModal(), 1);
    ClickLater(popup, Glm::CGLMQuickPhraseDlg::kCloseId);
    EXPECT_EQ(popup.DoModal(), 2);
    QWidget* text = ThinUI::FindControl(&popup, Glm::CGLMQuickPhraseDlg::kTextId);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->pos(), QPoint(243, 314));
    EXPECT_EQ(static_cast<ThinUI::TextLabel*>(text)->GetText().left(34),
              QStringLiteral("Your gift is a QuickPhrase phrase."));
}

TEST(PopupTest, CongratulationsReturnTwoFromBothButtonsAndShowTheirString) {
    Fixture fixture;
    Glm::MainFrame frame(*fixture.application);
    frame.show();
    Glm::CGLMCongratsDlg popup(*fixture.application, frame);
    popup.SetStringId(175);
    ClickLater(popup, Glm::CGLMCongratsDlg::kOkId);
    EXPECT_EQ(popup.DoModal(), 2);
    ClickLater(popup, Glm::CGLMCongratsDlg::kCloseId);
    EXPECT_EQ(popup.DoModal(), 2);
    auto* text = static_cast<ThinUI::TextLabel*>(ThinUI::FindControl(&popup, Glm::CGLMCongratsDlg::kTextId));
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->GetText().startsWith(QStringLiteral("There has been an error starting")));
    EXPECT_EQ(popup.geometry().topLeft(), frame.geometry().topLeft());
}

} // namespace

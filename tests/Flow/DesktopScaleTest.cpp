// Scale 2 (run with QT_SCALE_FACTOR=2): pictures drawn at twice the size are
// used where the program carries them, while every size and position stays
// in the pixels the screens are laid out in; the frame's shape stays the
// scale-1 mask, which the window system doubles without a fringe.

#include "Flow/MainFrame.h"
#include "Flow/MaskImage.h"
#include "Flow/ScreenIds.h"
#include "Flow/SkinnedScreen.h"
#include "FlowFixture.h"
#include "ScreenTestSupport.h"
#include "ThinUI/C3StateButton.h"
#include "ThinUI/ResourceImage.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

namespace {

TEST(DesktopScaleTest, DensePicturesKeepTheLayoutAndTheShape) {
    ASSERT_EQ(qGuiApp->devicePixelRatio(), 2.0) << "run with QT_SCALE_FACTOR=2";
    // A button strip drawn at scale 2 is used, counted in scale-1 pixels.
    ThinUI::ResourceImage signIn("SIGNIN_BUTTONS", "JPG");
    ASSERT_TRUE(signIn.Load());
    EXPECT_EQ(signIn.GetBitmap().devicePixelRatio(), 2.0);
    EXPECT_EQ(QSize(signIn.GetWidth(), signIn.GetHeight()), QSize(96, 120));
    // A background the program carries at scale 1 only is scaled.
    ThinUI::ResourceImage background("BACKGROUND_SIGNIN", "JPG");
    ASSERT_TRUE(background.Load());
    EXPECT_EQ(background.GetBitmap().devicePixelRatio(), 1.0);
    EXPECT_EQ(QSize(background.GetWidth(), background.GetHeight()), QSize(750, 500));

    FlowTest::Fixture fixture;
    Glm::MainFrame frame(*fixture.application);
    frame.show();
    Glm::MaskImage mask("BACKGROUND_MASK");
    ASSERT_TRUE(mask.ApplyTo(&frame));
    // The shape is the kept area of the mask in layout pixels.
    EXPECT_EQ(frame.mask().boundingRect(), QRect(18, 1, 709, 496));
    EXPECT_FALSE(frame.mask().contains(QPoint(19, 2)));
    EXPECT_TRUE(frame.mask().contains(QPoint(375, 250)));

    Glm::SkinnedScreen* screen = frame.CreateScreen(Glm::ScreenId::kSignIn);
    ASSERT_NE(screen, nullptr);
    screen->show();
    const QImage picture = FlowTest::SaveScreenshot(frame, "desktop-scale2-signin");
    EXPECT_EQ(picture.size(), QSize(1500, 1000));
    EXPECT_EQ(picture.devicePixelRatio(), 2.0);
    // The Sign in button where the layout puts it, one frame of its strip.
    auto* button = dynamic_cast<ThinUI::C3StateButton*>(FlowTest::ControlAt(*screen, 333 + 10, 335 + 10));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetPictureName(), "SIGNIN_BUTTONS");
    EXPECT_EQ(button->geometry(), QRect(333, 335, 96, 40));
    FlowTest::ForgetQuitRequest();
}

} // namespace

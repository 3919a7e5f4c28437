// The progress bar's palette and marquee.

#include "ThinUI/ProgressBar.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(ProgressBarTest, PaletteStepsBy51AndKeepsChannelsThatWouldOverflow) {
    // Red 60, green 42, blue 64: the splash's colour.
    const auto palette = ThinUI::ProgressBar::DerivePalette(0x402A3C, QColor(10, 20, 30), QColor(30, 41, 50));
    using P = ThinUI::ProgressBar;
    EXPECT_EQ(palette[P::Light1], QColor(111, 93, 115));
    EXPECT_EQ(palette[P::Light2], QColor(162, 144, 166));
    EXPECT_EQ(palette[P::Light3], QColor(213, 195, 217));
    EXPECT_EQ(palette[P::Dark1], QColor(60 - 51, 42, 64 - 51)) << "green 42 is below 51 and stays";
    EXPECT_EQ(palette[P::Dark2], QColor(9, 42, 13));
    EXPECT_EQ(palette[P::ShadowMean], QColor(20, 30, 40));

    const auto bright = ThinUI::ProgressBar::DerivePalette(ThinUI::Rgb(230, 200, 100), QColor(), QColor());
    EXPECT_EQ(bright[P::Light1], QColor(230, 251, 151));
    EXPECT_EQ(bright[P::Light2], QColor(230, 251, 202));
    EXPECT_EQ(bright[P::Light3], QColor(230, 251, 253));
}

TEST(ProgressBarTest, MarqueeAdvancesOnePhasePerTickAndWrapsAfterSixteen) {
    ThinUI::ProgressBar bar;
    bar.resize(215, 14);
    bar.StartMarquee();
    EXPECT_EQ(bar.GetPhase(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar.GetPhase() >= 3; }, 5000));
    bar.grab();
    // Phases only ever run 0..15.
    for (int i = 0; i < 40; ++i) {
        QTest::qWait(5);
        EXPECT_LT(bar.GetPhase(), ThinUI::ProgressBar::kMarqueePhases);
    }
    bar.StopMarquee();
    const int stopped = bar.GetPhase();
    QTest::qWait(80);
    EXPECT_EQ(bar.GetPhase(), stopped);
    EXPECT_FALSE(bar.IsMarquee());
}

} // namespace

// The window masks keep exactly their boxes: black kept, white cut, read the way the
// window-shaping code reads them (a pixel is cut when every component is 200 or more).

#include "ThinUI/ResourceImage.h"
#include "resources/Resources.h"

#include <QRect>
#include <gtest/gtest.h>

namespace {

struct MaskCase {
    const char* name;
    QRect kept; // from (left, top) to (right, bottom), right and bottom excluded
};

bool Kept(const QImage& image, int x, int y) {
    const QRgb pixel = image.pixel(x, y);
    return !(qRed(pixel) >= 200 && qGreen(pixel) >= 200 && qBlue(pixel) >= 200);
}

class MaskTest : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskTest, KeepsExactlyItsRoundedBoxInTwoColours) {
    GlmInitResources();
    const MaskCase& mask = GetParam();
    ThinUI::ResourceImage image(mask.name, "GIF");
    ASSERT_TRUE(image.Load()) << mask.name;
    const QImage& bitmap = image.GetBitmap();
    ASSERT_EQ(bitmap.size(), QSize(750, 500));

    int left = 750, top = 500, right = -1, bottom = -1;
    for (int y = 0; y < 500; ++y) {
        for (int x = 0; x < 750; ++x) {
            const QRgb pixel = bitmap.pixel(x, y);
            const bool black = (pixel & 0xFFFFFFu) == 0;
            const bool white = (pixel & 0xFFFFFFu) == 0xFFFFFFu;
            ASSERT_TRUE(black || white) << "pixel (" << x << "," << y << ") is neither black nor white";
            if (Kept(bitmap, x, y)) {
                left = std::min(left, x);
                top = std::min(top, y);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
        }
    }
    EXPECT_EQ(QRect(QPoint(left, top), QPoint(right, bottom)), mask.kept);

    // Straight edges are kept whole from corner curve to corner curve; the corners are cut.
    const QRect& k = mask.kept;
    for (int x = k.left() + 30; x <= k.right() - 30; ++x) {
        EXPECT_TRUE(Kept(bitmap, x, k.top()) && Kept(bitmap, x, k.bottom())) << "column " << x;
    }
    for (int y = k.top() + 30; y <= k.bottom() - 30; ++y) {
        EXPECT_TRUE(Kept(bitmap, k.left(), y) && Kept(bitmap, k.right(), y)) << "row " << y;
    }
    EXPECT_FALSE(Kept(bitmap, k.left(), k.top()));
    EXPECT_FALSE(Kept(bitmap, k.right(), k.top()));
    EXPECT_FALSE(Kept(bitmap, k.left(), k.bottom()));
    EXPECT_FALSE(Kept(bitmap, k.right(), k.bottom()));
    EXPECT_TRUE(Kept(bitmap, k.center().x(), k.center().y()));
    for (int y = k.top() + 26; y <= k.bottom() - 26; y += 7) {
        for (int x = k.left(); x <= k.right(); x += 5) {
            ASSERT_TRUE(Kept(bitmap, x, y)) << "hole at (" << x << "," << y << ")";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Masks, MaskTest,
    ::testing::Values(MaskCase{"BACKGROUND_MASK", QRect(QPoint(18, 1), QPoint(726, 496))},
                      MaskCase{"BACKGROUND_POPUP_MASK", QRect(QPoint(186, 132), QPoint(563, 427))}));

} // namespace

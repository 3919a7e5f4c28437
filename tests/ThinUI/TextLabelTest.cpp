// Label sizing and placement by style.

#include "ThinUI/TextLabel.h"

#include "ThinUI/StringSource.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {

ThinUI::TextLabel* MakeLabel(QWidget& /*dialog*/, unsigned style = ThinUI::TextLabel::Left,
                             unsigned stringId = 0) {
    return new ThinUI::TextLabel(0xFFFFFF, ThinUI::kTransparent, false, 700, 14, "arial", stringId, style);
}

TEST(TextLabelTest, WidthComesFromTheLeadingCharactersOfTheWholeText) {
    QWidget dialog;
    ThinUI::TextLabel* label = MakeLabel(dialog);
    ASSERT_TRUE(label->Attach(&dialog, 1293, 243, 314));
    // Longest line 6 characters: the first 10 characters of the whole text,
    // "iiiiii\nWWW", set the width, not the long line of W.
    label->SetText("iiiiii\nWWWWWW");
    const QFontMetrics metrics(label->GetFont());
    EXPECT_EQ(label->width(), metrics.horizontalAdvance(QStringLiteral("iiiiii WWW")));
    EXPECT_NE(label->width(), metrics.horizontalAdvance(QStringLiteral("WWWWWW")));
    EXPECT_EQ(label->height(), 2 * metrics.height());
    EXPECT_EQ(label->pos(), QPoint(243, 314));
}

TEST(TextLabelTest, FontIsBoldArialWithTheGivenLineHeight) {
    QWidget dialog;
    ThinUI::TextLabel* label = MakeLabel(dialog);
    label->Attach(&dialog, 1, 0, 0);
    EXPECT_EQ(label->GetFont().weight(), QFont::Bold);
    EXPECT_NEAR(QFontMetrics(label->GetFont()).height(), 14, 1);
}

TEST(TextLabelTest, CentredAndRightAlignedLabelsKeepTheirCentreOrRightEdge) {
    QWidget dialog;
    ThinUI::TextLabel* centred =
        MakeLabel(dialog, ThinUI::TextLabel::Center | ThinUI::TextLabel::CenterImage);
    centred->Attach(&dialog, 1, 100, 100);
    centred->setGeometry(100, 100, 200, 40);
    centred->SetText("abc");
    EXPECT_NEAR(centred->geometry().center().x(), 200, 1);
    EXPECT_NEAR(centred->geometry().center().y(), 120, 1);

    ThinUI::TextLabel* right = MakeLabel(dialog, ThinUI::TextLabel::Right);
    right->Attach(&dialog, 2, 0, 0);
    right->setGeometry(50, 10, 300, 20);
    right->SetText("a longer text");
    EXPECT_EQ(right->geometry().right(), 349);
    EXPECT_EQ(right->y(), 10);
}

TEST(TextLabelTest, AMissingStringKeepsTheTemplatePositionAndSize) {
    ThinUI::SetStringLoader([](unsigned id) -> std::optional<std::string> {
        if (id == 172) {
            return std::string("Known text");
        }
        return std::nullopt;
    });
    QWidget dialog;
    ThinUI::TextLabel* missing = MakeLabel(dialog, ThinUI::TextLabel::Left, 9999);
    missing->setGeometry(5, 6, 7, 8);
    EXPECT_FALSE(missing->Attach(&dialog, 1, 243, 314));
    EXPECT_EQ(missing->geometry(), QRect(5, 6, 7, 8));

    ThinUI::TextLabel* known = MakeLabel(dialog, ThinUI::TextLabel::Left, 172);
    EXPECT_TRUE(known->Attach(&dialog, 2, 243, 314));
    EXPECT_EQ(known->GetText(), QStringLiteral("Known text"));
    ThinUI::SetStringLoader({});
    delete missing;
}

} // namespace

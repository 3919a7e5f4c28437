// The button's state machine driven by synthesised mouse events.

#include "ThinUI/C3StateButton.h"

#include "ThinUI/Controls.h"
#include "ThinUI/ResourceImage.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A strip picture made in memory: frame i is filled with grey level 10 * i.
class PaintedImage : public ThinUI::Image {
public:
    PaintedImage(int width, int frameHeight, int frames)
        : m_width(width), m_frameHeight(frameHeight), m_frames(frames) {}
    bool Load() override {
        QImage picture(m_width, m_frameHeight * m_frames, QImage::Format_RGB32);
        for (int frame = 0; frame < m_frames; ++frame) {
            QPainter(&picture).fillRect(0, frame * m_frameHeight, m_width, m_frameHeight,
                                        QColor(frame * 10, 0, 0));
        }
        SetBitmap(picture);
        return true;
    }

private:
    int m_width;
    int m_frameHeight;
    int m_frames;
};

// The dialog: records the commands its buttons post.
class RecordingDialog : public QWidget {
public:
    std::vector<int> commands;

protected:
    bool event(QEvent* event) override {
        if (event->type() == ThinUI::CommandEvent::Type()) {
            commands.push_back(static_cast<ThinUI::CommandEvent*>(event)->GetControlId());
            return true;
        }
        return QWidget::event(event);
    }
};

class C3StateButtonTest : public ::testing::Test {
protected:
    ThinUI::C3StateButton* MakeButton(int frames, int id = 1201) {
        auto strip = std::make_unique<ThinUI::ImageStrip>(std::make_unique<PaintedImage>(23, 23, frames),
                                                          true, static_cast<unsigned>(frames));
        auto* button = new ThinUI::C3StateButton(std::move(strip));
        EXPECT_TRUE(button->Attach(&m_dialog, id, 40, 30));
        m_dialog.resize(200, 200);
        m_dialog.show();
        Paint(button);
        return button;
    }
    static void Paint(QWidget* widget) { widget->grab(); }
    static void Mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
                      Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
    static void Move(QWidget* widget, QPoint at, Qt::MouseButtons held = Qt::NoButton) {
        Mouse(widget, QEvent::MouseMove, at, Qt::NoButton, held);
    }
    static void Press(QWidget* widget, QPoint at) {
        Mouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    }
    static void Release(QWidget* widget, QPoint at) {
        Mouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }
    std::vector<int> Commands() {
        QApplication::processEvents();
        return m_dialog.commands;
    }

    RecordingDialog m_dialog;
};

TEST_F(C3StateButtonTest, FirstPaintSizesToOneFrameAtItsPosition) {
    ThinUI::C3StateButton* button = MakeButton(3);
    EXPECT_EQ(button->geometry(), QRect(40, 30, 23, 23));
    EXPECT_EQ(ThinUI::FindControl(&m_dialog, 1201), button);
}

TEST_F(C3StateButtonTest, HoverPressAndReleaseClickOnceWithTheControlId) {
    ThinUI::C3StateButton* button = MakeButton(3, 1284);
    Move(button, {5, 5});
    Paint(button);
    EXPECT_EQ(button->GetStrip().GetCurrentFrame(), 1U);
    Press(button, {5, 5});
    Paint(button);
    EXPECT_EQ(button->GetStrip().GetCurrentFrame(), 2U);
    EXPECT_TRUE(Commands().empty()) << "a press alone never clicks";
    Release(button, {5, 5});
    Paint(button);
    EXPECT_EQ(button->GetStrip().GetCurrentFrame(), 1U);
    EXPECT_EQ(Commands(), std::vector<int>{1284});
}

TEST_F(C3StateButtonTest, PressLeaveAndReleaseElsewhereGivesNoClickButComingBackDoes) {
    ThinUI::C3StateButton* button = MakeButton(3);
    Move(button, {5, 5});
    Press(button, {5, 5});
    Move(button, {60, 60}, Qt::LeftButton);
    Paint(button);
    EXPECT_FALSE(button->IsHover());
    EXPECT_EQ(button->GetStrip().GetCurrentFrame(), 0U) << "off the button it shows the normal frame";
    Release(button, {60, 60});
    EXPECT_TRUE(Commands().empty());

    Move(button, {5, 5});
    Press(button, {5, 5});
    Move(button, {60, 60}, Qt::LeftButton);
    Move(button, {6, 6}, Qt::LeftButton);
    Paint(button);
    EXPECT_EQ(button->GetStrip().GetCurrentFrame(), 2U);
    Release(button, {6, 6});
    EXPECT_EQ(Commands().size(), 1U);
}

TEST_F(C3StateButtonTest, DoubleClickGivesTwoClicks) {
    ThinUI::C3StateButton* button = MakeButton(3);
    Move(button, {5, 5});
    Press(button, {5, 5});
    Release(button, {5, 5});
    Mouse(button, QEvent::MouseButtonDblClick, {5, 5}, Qt::LeftButton, Qt::LeftButton);
    Release(button, {5, 5});
    EXPECT_EQ(Commands().size(), 2U);
}

TEST_F(C3StateButtonTest, DisabledFrameOnlyWhenTheStripHasOne) {
    ThinUI::C3StateButton* four = MakeButton(4, 1);
    four->SetEnabled(false);
    Paint(four);
    EXPECT_EQ(four->GetStrip().GetCurrentFrame(), 3U);
    four->SetEnabled(true);
    Paint(four);
    EXPECT_EQ(four->GetStrip().GetCurrentFrame(), 0U);

    ThinUI::C3StateButton* three = MakeButton(3, 2);
    Move(three, {5, 5});
    Paint(three);
    three->SetEnabled(false);
    Paint(three);
    EXPECT_EQ(three->GetStrip().GetCurrentFrame(), 1U) << "keeps the frame it showed last";
}

TEST_F(C3StateButtonTest, TwoFrameStripKeepsTheMouseOverFrameWhilePressed) {
    ThinUI::C3StateButton* button = MakeButton(2);
    Move(button, {5, 5});
    Paint(button);
    Press(button, {5, 5});
    Paint(button);
    EXPECT_EQ(button->GetStrip().GetCurrentFrame(), 1U);
}

TEST_F(C3StateButtonTest, AMissingPictureLeavesAZeroSizedButton) {
    auto* button = new ThinUI::C3StateButton(std::make_unique<ThinUI::ImageStrip>(
        std::make_unique<ThinUI::ResourceImage>("NO_SUCH_BUTTONS", "JPG"), true, 3));
    ASSERT_TRUE(button->Attach(&m_dialog, 9, 10, 10));
    m_dialog.show();
    Paint(button);
    EXPECT_EQ(button->size(), QSize(0, 0));
}

} // namespace

// What the image controls offer the keyboard and screen readers, and how a
// picture drawn at twice the size is counted and copied.

#include "ThinUI/Accessibility.h"
#include "ThinUI/C3StateButton.h"
#include "ThinUI/Controls.h"
#include "ThinUI/ResourceImage.h"

#include <QAccessible>
#include <QApplication>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Frames of a vertical strip, each filled with its own red level (0, 100,
// 200), painted at device pixel ratio `density`.
class DenseStrip : public ThinUI::Image {
public:
    DenseStrip(int width, int frameHeight, int frames, int density)
        : m_width(width), m_frameHeight(frameHeight), m_frames(frames), m_density(density) {}
    bool Load() override {
        QImage picture(m_width * m_density, m_frameHeight * m_frames * m_density, QImage::Format_RGB32);
        picture.setDevicePixelRatio(m_density);
        QPainter painter(&picture);
        for (int frame = 0; frame < m_frames; ++frame) {
            painter.fillRect(0, frame * m_frameHeight, m_width, m_frameHeight, QColor(frame * 100, 0, 0));
        }
        painter.end();
        SetBitmap(picture);
        return true;
    }

private:
    int m_width, m_frameHeight, m_frames, m_density;
};

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

TEST(AccessibleNamesTest, EveryStripIsNamedByWhatItShowsOrDoes) {
    EXPECT_EQ(ThinUI::AccessibleNameForPicture("SIGNIN_BUTTONS"), "Sign in");
    // Symbol buttons by their action.
    EXPECT_EQ(ThinUI::AccessibleNameForPicture("POPUP_EXIT_BUTTONS"), "Close");
    EXPECT_EQ(ThinUI::AccessibleNameForPicture("DEVICE_ARROW_RIGHT"), "More toys");
    // A strip nobody listed yet is named from its own words.
    EXPECT_EQ(ThinUI::AccessibleNameForPicture("POPUP_SEND_GIFT_BUTTONS"), "Send gift");
    EXPECT_EQ(ThinUI::AccessibleNameForPicture("SHOW_MORE_BUTTON"), "Show more");
    EXPECT_EQ(ThinUI::AccessibleNameForPicture("_BUTTONS"), "Button");
    EXPECT_TRUE(ThinUI::IsDismissPicture("POPUP_NO_THANKS"));
    EXPECT_FALSE(ThinUI::IsDismissPicture("POPUP_CANCEL_FRIEND_BUTTONS"));
}

TEST(ButtonKeyboardTest, EnterAndSpaceClickAButtonAScreenReaderPressesIt) {
    RecordingDialog dialog;
    auto strip = std::make_unique<ThinUI::ImageStrip>(
        std::make_unique<ThinUI::ResourceImage>("POPUP_OK_BUTTONS", "JPG"), true, 3);
    auto* button = new ThinUI::C3StateButton(std::move(strip));
    ASSERT_TRUE(button->Attach(&dialog, 1284, 10, 10, 40, 20));
    dialog.resize(100, 100);
    dialog.show();

    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->role(), QAccessible::Button);
    EXPECT_EQ(access->text(QAccessible::Name), "OK");
    EXPECT_TRUE(access->state().focusable);

    QTest::keyClick(button, Qt::Key_Return);
    QTest::keyClick(button, Qt::Key_Space);
    // Escape and Tab are the dialog's, not a click.
    QTest::keyClick(button, Qt::Key_Escape);
    ASSERT_NE(access->actionInterface(), nullptr);
    access->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(dialog.commands, (std::vector<int>{1284, 1284, 1284}));

    // A disabled button takes no key and no press.
    button->SetEnabled(false);
    EXPECT_TRUE(access->state().disabled);
    QTest::keyClick(button, Qt::Key_Return);
    access->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(dialog.commands.size(), 3u);
}

TEST(DenseImageTest, ADenseStripIsCountedAndCopiedInLayoutPixels) {
    ThinUI::ImageStrip strip(std::make_unique<DenseStrip>(20, 10, 3, 2), true, 3);
    ASSERT_TRUE(strip.Load());
    EXPECT_EQ(strip.GetFrameWidth(), 20);
    EXPECT_EQ(strip.GetFrameHeight(), 10);
    // Frame 1 drawn on a scale-2 target fills it with frame 1 alone.
    QImage target(40, 20, QImage::Format_RGB32);
    target.setDevicePixelRatio(2);
    target.fill(Qt::white);
    strip.SetCurrentFrame(1);
    {
        QPainter painter(&target);
        strip.DrawCurrentFrame(painter);
    }
    for (const QPoint& at : {QPoint(0, 0), QPoint(39, 0), QPoint(0, 19), QPoint(39, 19), QPoint(20, 10)}) {
        EXPECT_EQ(qRed(target.pixel(at)), 100) << at.x() << "," << at.y();
    }
    // The same strip on a scale-1 target: one layout pixel each.
    QImage plain(20, 10, QImage::Format_RGB32);
    plain.fill(Qt::white);
    strip.SetCurrentFrame(2);
    {
        QPainter painter(&plain);
        strip.DrawCurrentFrame(painter);
    }
    EXPECT_EQ(qRed(plain.pixel(0, 0)), 200);
    EXPECT_EQ(qRed(plain.pixel(19, 9)), 200);
}

} // namespace

#include "SkinnedPopup.h"

#include "KeyboardAccess.h"
#include "MainFrame.h"
#include "MaskImage.h"
#include "ThinUI/Accessibility.h"
#include "ThinUI/Controls.h"
#include "ThinUI/ImageStrip.h"
#include "ThinUI/ResourceImage.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace Glm {

SkinnedPopup::SkinnedPopup(Glimmeries& application, MainFrame& frame, int dialogId)
    : QDialog(&frame, Qt::Dialog | Qt::FramelessWindowHint), m_application(application), m_frame(frame),
      m_dialogId(dialogId) {
    setModal(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (MainFrame::PopupsInsideFrame()) {
        // A dialog always starts as a window of its own; this one becomes a
        // page of the frame.
        setWindowFlags(Qt::Widget);
        hide();
    }
}

SkinnedPopup::~SkinnedPopup() = default;

int SkinnedPopup::DoModal() {
    // Every run starts with fresh controls.
    const auto old = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* control : old) {
        delete control;
    }
    if (!isWindow()) {
        return RunInsideFrame();
    }
    setGeometry(QRect(m_frame.geometry().topLeft(), QSize(MainFrame::kWidth, MainFrame::kHeight)));
    OnInitDialog();
    MaskImage mask("BACKGROUND_POPUP_MASK");
    mask.ApplyTo(this);
    return exec();
}

int SkinnedPopup::RunInsideFrame() {
    // Modal as a window would be: the frame's pages take no input while the
    // popup is open (clicks beside the popup's shape reach the frame and do
    // nothing), and get it back however the popup ends.
    const QPointer<QWidget> focused = QApplication::focusWidget();
    std::vector<QPointer<QWidget>> disabled;
    for (QWidget* page : m_frame.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (page != this && !page->isWindow() && page->isEnabled()) {
            page->setEnabled(false);
            disabled.emplace_back(page);
        }
    }
    setGeometry(0, 0, MainFrame::kWidth, MainFrame::kHeight);
    OnInitDialog();
    MaskImage mask("BACKGROUND_POPUP_MASK");
    mask.ApplyTo(this);
    raise();
    const int result = exec();
    for (const QPointer<QWidget>& page : disabled) {
        if (page != nullptr) {
            page->setEnabled(true);
        }
    }
    // The keyboard goes back where it was, as it does when a window closes.
    if (QWidget* restore = focused.data();
        restore != nullptr && restore->isVisible() && restore->isEnabled()) {
        restore->setFocus(Qt::PopupFocusReason);
    } else {
        m_frame.setFocus(Qt::PopupFocusReason);
    }
    return result;
}

std::vector<ThinUI::C3StateButton*> SkinnedPopup::ButtonsInReadingOrder() const {
    std::vector<ThinUI::C3StateButton*> buttons;
    for (QWidget* control : ReadingOrder(*this)) {
        if (auto* button = dynamic_cast<ThinUI::C3StateButton*>(control)) {
            buttons.push_back(button);
        }
    }
    return buttons;
}

ThinUI::C3StateButton* SkinnedPopup::GetMainButton() const {
    for (ThinUI::C3StateButton* button : ButtonsInReadingOrder()) {
        if (!ThinUI::IsDismissPicture(button->GetPictureName())) {
            return button;
        }
    }
    return nullptr;
}

ThinUI::C3StateButton* SkinnedPopup::GetCloseButton() const {
    ThinUI::C3StateButton* dismiss = nullptr;
    for (ThinUI::C3StateButton* button : ButtonsInReadingOrder()) {
        if (button->GetPictureName() == "POPUP_EXIT_BUTTONS") {
            return button;
        }
        if (dismiss == nullptr && ThinUI::IsDismissPicture(button->GetPictureName())) {
            dismiss = button;
        }
    }
    return dismiss;
}

void SkinnedPopup::EndDialog(int result) {
    done(result);
}

ThinUI::C3StateButton* SkinnedPopup::AddButton(const std::string& pictureName, unsigned frames, int controlId,
                                               int x, int y) {
    auto strip = std::make_unique<ThinUI::ImageStrip>(
        std::make_unique<ThinUI::ResourceImage>(pictureName, "JPG"), true, frames);
    // The screen owns its controls as their Qt parent.
    auto* button = ThinUI::AdoptControl(*this, std::make_unique<ThinUI::C3StateButton>(std::move(strip)));
    button->Attach(this, controlId, x, y);
    return button;
}

ThinUI::StaticImage* SkinnedPopup::AddStaticImage(const std::string& pictureName, int controlId, int x,
                                                  int y) {
    auto* image = ThinUI::AdoptControl(
        *this,
        std::make_unique<ThinUI::StaticImage>(std::make_unique<ThinUI::ResourceImage>(pictureName, "JPG")));
    image->Attach(this, controlId, x, y);
    return image;
}

ThinUI::TextLabel* SkinnedPopup::AddBodyLabel(int controlId, int x, int y, unsigned stringId) {
    auto* label =
        ThinUI::AdoptControl(*this, std::make_unique<ThinUI::TextLabel>(0xFFFFFF, ThinUI::kTransparent, false,
                                                                        700, 14, "arial", stringId));
    if (!label->Attach(this, controlId, x, y)) {
        // Still the popup's child, so it goes with the next run's controls.
        label->hide();
    }
    return label;
}

void SkinnedPopup::OnCommand(int) {}

bool SkinnedPopup::event(QEvent* event) {
    if (event->type() == ThinUI::CommandEvent::Type()) {
        OnCommand(static_cast<ThinUI::CommandEvent*>(event)->GetControlId());
        return true;
    }
    return QDialog::event(event);
}

void SkinnedPopup::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), ThinUI::ToQColor(kBodyColor));
}

void SkinnedPopup::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        // A modal popup moves alone; one inside the frame moves with it.
        m_frame.BeginMove(isWindow() ? static_cast<QWidget&>(*this) : m_frame, event->globalPosition());
    }
}

void SkinnedPopup::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) != 0) {
        m_frame.ContinueMove(event->globalPosition());
    }
}

void SkinnedPopup::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_frame.EndMove();
    }
}

void SkinnedPopup::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    OnShown();
    NameUnnamedControls(*this, m_dialogId);
    LetEnterChooseListItems(*this);
    if (isWindow()) {
        activateWindow();
    }
    // The keyboard starts on the main button, so Enter confirms at once.
    if (ThinUI::C3StateButton* main = GetMainButton()) {
        main->setFocus(Qt::ActiveWindowFocusReason);
    } else {
        MoveFocusInReadingOrder(*this, true);
    }
}

void SkinnedPopup::keyPressEvent(QKeyEvent* event) {
    // The buttons take Enter and Space themselves when they have the focus;
    // what reaches the popup is meant for the popup as a whole.
    if (event->key() == Qt::Key_Escape) {
        if (ThinUI::C3StateButton* close = GetCloseButton()) {
            close->Click();
        } else {
            EndDialog(kCancel);
        }
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (ThinUI::C3StateButton* main = GetMainButton()) {
            main->Click();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

bool SkinnedPopup::focusNextPrevChild(bool next) {
    if (isHidden()) {
        // Closing with the focus inside: it leaves with the popup.
        return false;
    }
    return MoveFocusInReadingOrder(*this, next);
}

} // namespace Glm

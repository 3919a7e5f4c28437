#include "SkinnedPopup.h"

#include "MainFrame.h"
#include "MaskImage.h"
#include "ThinUI/Controls.h"
#include "ThinUI/ImageStrip.h"
#include "ThinUI/ResourceImage.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace Glm {

SkinnedPopup::SkinnedPopup(Glimmeries& application, MainFrame& frame, int dialogId)
    : QDialog(&frame, Qt::Dialog | Qt::FramelessWindowHint), m_application(application), m_frame(frame),
      m_dialogId(dialogId) {
    setModal(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

SkinnedPopup::~SkinnedPopup() = default;

int SkinnedPopup::DoModal() {
    // Every run starts with fresh controls.
    const auto old = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* control : old) {
        delete control;
    }
    setGeometry(QRect(m_frame.geometry().topLeft(), QSize(MainFrame::kWidth, MainFrame::kHeight)));
    OnInitDialog();
    MaskImage mask("BACKGROUND_POPUP_MASK");
    mask.ApplyTo(this);
    return exec();
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
    // A modal popup moves alone.
    if (event->button() == Qt::LeftButton && windowHandle() != nullptr) {
        windowHandle()->startSystemMove();
    }
}

void SkinnedPopup::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    OnShown();
}

} // namespace Glm

#include "SkinnedScreen.h"

#include "MainFrame.h"
#include "ThinUI/Controls.h"
#include "ThinUI/ImageStrip.h"
#include "ThinUI/ResourceImage.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace Glm {

SkinnedScreen::SkinnedScreen(Glimmeries& application, MainFrame& frame, int dialogId,
                             std::unique_ptr<ThinUI::Image> background)
    : QWidget(&frame), m_application(application), m_frame(frame), m_dialogId(dialogId),
      m_background(std::move(background)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The template's size until the background has been loaded.
    setGeometry(0, 0, MainFrame::kWidth, MainFrame::kHeight);
    hide();
}

SkinnedScreen::~SkinnedScreen() = default;

bool SkinnedScreen::Create() {
    if (m_created) {
        return true;
    }
    m_created = OnInitDialog();
    return m_created;
}

ThinUI::C3StateButton* SkinnedScreen::AddButton(const std::string& pictureName, unsigned frames,
                                                int controlId, int x, int y) {
    auto strip = std::make_unique<ThinUI::ImageStrip>(
        std::make_unique<ThinUI::ResourceImage>(pictureName, "JPG"), true, frames);
    // The screen owns its controls as their Qt parent.
    auto* button = new ThinUI::C3StateButton(std::move(strip));
    button->Attach(this, controlId, x, y);
    return button;
}

ThinUI::StaticImage* SkinnedScreen::AddStaticImage(const std::string& pictureName, int controlId, int x,
                                                   int y) {
    auto* image = new ThinUI::StaticImage(std::make_unique<ThinUI::ResourceImage>(pictureName, "JPG"));
    image->Attach(this, controlId, x, y);
    return image;
}

void SkinnedScreen::OnCommand(int) {}

bool SkinnedScreen::event(QEvent* event) {
    if (event->type() == ThinUI::CommandEvent::Type()) {
        OnCommand(static_cast<ThinUI::CommandEvent*>(event)->GetControlId());
        return true;
    }
    return QWidget::event(event);
}

void SkinnedScreen::paintEvent(QPaintEvent*) {
    if (!m_background->IsLoaded()) {
        if (!m_background->Load()) {
            return;
        }
        // The page takes the size of its picture once, at its first paint.
        ++m_firstPaintResizes;
        resize(m_background->GetWidth(), m_background->GetHeight());
        if (m_redrawOnResize) {
            update();
        }
    }
    QPainter painter(this);
    m_background->Draw(painter, 0, 0, m_background->GetWidth(), m_background->GetHeight(), 0, 0);
}

void SkinnedScreen::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_frame.windowHandle() != nullptr) {
        m_frame.windowHandle()->startSystemMove();
    }
}

} // namespace Glm

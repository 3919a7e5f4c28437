#include "StaticImage.h"

#include "Controls.h"

#include <QPainter>

namespace ThinUI {

StaticImage::StaticImage(std::unique_ptr<Image> image) : m_image(std::move(image)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(0, 0);
}

StaticImage::~StaticImage() = default;

bool StaticImage::Attach(QWidget* dialog, int controlId, int x, int y, int cx, int cy) {
    m_controlId = controlId;
    if (!PlaceControl(this, dialog, controlId, x, y)) {
        return false;
    }
    resize(cx != 0 || cy != 0 ? QSize(cx, cy) : QSize(1, 1));
    return true;
}

void StaticImage::paintEvent(QPaintEvent*) {
    if (!m_image->IsLoaded()) {
        m_image->Load();
        resize(m_image->GetWidth(), m_image->GetHeight());
        if (!m_image->IsLoaded()) {
            return;
        }
    }
    QPainter painter(this);
    m_image->Draw(painter, 0, 0, m_image->GetWidth(), m_image->GetHeight(), 0, 0);
}

} // namespace ThinUI

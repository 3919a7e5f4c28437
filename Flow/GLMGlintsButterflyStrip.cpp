#include "GLMGlintsButterflyStrip.h"

#include "ScreenLabels.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace Glm {

GlintButterflyStrip::GlintButterflyStrip() {
    resize(m_step + kMargin, kHeight);
    setAttribute(Qt::WA_TranslucentBackground);
}

void GlintButterflyStrip::SetButterflies(const PictureStrip& pictures,
                                         const std::vector<ButterflyRecord>& butterflies) {
    m_pictures.clear();
    m_step = pictures.GetImageWidth();
    m_pictureHeight = pictures.GetImageHeight();
    for (const ButterflyRecord& butterfly : butterflies) {
        m_pictures.push_back(pictures.GetPicture(butterfly.imageIndex));
    }
    m_scroll = 0;
    m_selected = -1;
    resize(m_step + kMargin, kHeight);
    update();
}

bool GlintButterflyStrip::Scroll(int delta) {
    const int last = std::max(0, static_cast<int>(m_pictures.size()) - 1) * m_step;
    const int target = std::clamp(m_scroll + delta, 0, last);
    if (target == m_scroll) {
        return false;
    }
    m_scroll = target;
    update();
    return true;
}

void GlintButterflyStrip::ClearSelection() {
    m_selected = -1;
    update();
}

int GlintButterflyStrip::PositionAt(int x) const {
    if (x < 0 || m_step <= 0) {
        return -1;
    }
    const int position = (x + m_scroll) / m_step;
    return position < static_cast<int>(m_pictures.size()) ? position : -1;
}

void GlintButterflyStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (std::size_t k = 0; k < m_pictures.size(); ++k) {
        const int left = static_cast<int>(k) * m_step - m_scroll;
        if (left >= width() || left + m_step <= 0) {
            continue;
        }
        // The pictures carry the butterflies' names.
        painter.drawImage(left, 0, m_pictures[k]);
        if (static_cast<int>(k) == m_selected) {
            painter.setPen(QPen(ThinUI::ToQColor(kPageTextColor), 2));
            painter.drawRect(QRect(left + 1, 1, m_step - 2, m_pictureHeight - 2));
        }
    }
}

void GlintButterflyStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int position = PositionAt(event->position().toPoint().x());
    if (position < 0) {
        return;
    }
    m_selected = position;
    update();
    if (onClick) {
        onClick(position);
    }
}

void GlintButterflyStrip::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int position = PositionAt(event->position().toPoint().x());
    if (position < 0) {
        return;
    }
    m_selected = position;
    if (onDoubleClick) {
        onDoubleClick(position);
    }
}

} // namespace Glm

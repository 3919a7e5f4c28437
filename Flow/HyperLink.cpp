#include "HyperLink.h"

#include "ThinUI/Accessibility.h"
#include "ThinUI/Controls.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace Glm {

HyperLink::HyperLink(const QString& text) : m_text(text) {
    m_font.setUnderline(true);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::TabFocus);
    ThinUI::SetAccessibleRole(*this, QAccessible::Link);
    setAccessibleName(m_text);
}

HyperLink::~HyperLink() = default;

QFont HyperLink::MakeFont(int cellHeight, QFont::Weight weight) {
    QFont font(QStringLiteral("arial"));
    font.setWeight(weight);
    font.setPixelSize(cellHeight);
    const int cell = QFontMetrics(font).height();
    if (cell > 0 && cell != cellHeight) {
        font.setPixelSize(std::max(1, (cellHeight * cellHeight + cell / 2) / cell));
    }
    return font;
}

bool HyperLink::Attach(QWidget* dialog, int controlId, int x, int y, int cx, int cy) {
    if (!ThinUI::PlaceControl(this, dialog, controlId, x, y)) {
        return false;
    }
    m_controlId = controlId;
    if (cx != 0 || cy != 0) {
        resize(cx, cy);
    } else {
        resize(TextSize());
    }
    return true;
}

void HyperLink::SetLinkFont(const QFont& font) {
    m_font = font;
    m_font.setUnderline(true);
    update();
}

void HyperLink::SetColors(ThinUI::ColorRef link, ThinUI::ColorRef visited, ThinUI::ColorRef hover) {
    m_link = link;
    m_visited = visited;
    m_hover = hover;
    update();
}

void HyperLink::SetText(const QString& text) {
    m_text = text;
    setAccessibleName(m_text);
    update();
}

QSize HyperLink::TextSize() const {
    const QFontMetrics metrics(m_font);
    return {metrics.horizontalAdvance(m_text) + 1, metrics.height()};
}

void HyperLink::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(m_font);
    const ThinUI::ColorRef color = m_hovering || hasFocus() ? m_hover : (m_wasVisited ? m_visited : m_link);
    painter.setPen(ThinUI::ToQColor(color));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_text);
}

void HyperLink::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
    }
}

void HyperLink::mouseReleaseEvent(QMouseEvent* event) {
    const bool clicked =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (clicked) {
        Follow();
    }
}

void HyperLink::keyPressEvent(QKeyEvent* event) {
    if (!ThinUI::IsActivationKey(event->key()) || event->isAutoRepeat()) {
        event->ignore();
        return;
    }
    Follow();
}

void HyperLink::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void HyperLink::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void HyperLink::Follow() {
    if (parentWidget() == nullptr) {
        return;
    }
    m_wasVisited = true;
    update();
    // Posted, as a button's click is, so the screen handles it after the
    // mouse event has been dealt with.
    QCoreApplication::postEvent(parentWidget(), new ThinUI::CommandEvent(m_controlId));
}

void HyperLink::enterEvent(QEnterEvent*) {
    m_hovering = true;
    update();
}

void HyperLink::leaveEvent(QEvent*) {
    m_hovering = false;
    update();
}

} // namespace Glm

#include "C3StateButton.h"

#include "Accessibility.h"
#include "Controls.h"
#include "ResourceImage.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace ThinUI {

C3StateButton::C3StateButton(std::unique_ptr<ImageStrip> strip) : m_strip(std::move(strip)) {
    // Moves without a button held must reach us to show the mouse-over frame.
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(0, 0);
    if (const auto* picture = dynamic_cast<const ResourceImage*>(&m_strip->GetImage())) {
        m_pictureName = picture->GetName();
    }
    // Tab reaches the button; a mouse click leaves the focus where it was.
    setFocusPolicy(Qt::TabFocus);
    SetAccessibleRole(*this, QAccessible::Button);
    setAccessibleName(AccessibleNameForPicture(m_pictureName));
}

C3StateButton::~C3StateButton() = default;

bool C3StateButton::Attach(QWidget* dialog, int controlId, int x, int y, int cx, int cy) {
    m_controlId = controlId;
    if (!PlaceControl(this, dialog, controlId, x, y)) {
        return false;
    }
    if (cx != 0 || cy != 0) {
        resize(cx, cy);
    } else {
        // The first paint sizes the button; it must get one to be painted.
        resize(1, 1);
    }
    return true;
}

void C3StateButton::SetEnabled(bool enabled) {
    m_disabled = !enabled;
    setEnabled(enabled);
    update();
}

unsigned C3StateButton::ChooseState() const {
    if (m_disabled) {
        return 3;
    }
    if (!m_hover) {
        // The keyboard's focus looks like the pointer over the button.
        return hasFocus() ? 1 : 0;
    }
    return m_pressed ? 2 : 1;
}

void C3StateButton::paintEvent(QPaintEvent*) {
    if (!m_strip->IsLoaded()) {
        m_strip->Load();
        // A missing picture gives a 0 by 0 button, which simply disappears.
        resize(m_strip->GetFrameWidth(), m_strip->GetFrameHeight());
        if (!m_strip->IsLoaded()) {
            return;
        }
    }
    const unsigned state = ChooseState();
    // A strip without that frame keeps showing the one it has: a disabled
    // three-frame button keeps its last frame, a two-frame button shows the
    // mouse-over frame while pressed.
    if (state < m_strip->GetFrameCount()) {
        m_strip->SetCurrentFrame(state);
    }
    QPainter painter(this);
    m_strip->DrawCurrentFrame(painter);
}

void C3StateButton::mouseMoveEvent(QMouseEvent* event) {
    const bool inside = rect().contains(event->position().toPoint());
    if (m_hover) {
        if (!inside) {
            // Leaving ends the hover; the held button stays pressed so that
            // coming back before the release still clicks.
            m_hover = false;
            update();
        }
        return;
    }
    if (inside) {
        m_hover = true;
    }
    m_pressed = (event->buttons() & Qt::LeftButton) != 0;
    update();
}

void C3StateButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    m_pressed = true;
    m_hover = rect().contains(event->position().toPoint());
    repaint();
}

void C3StateButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click presses again, so it clicks again.
    mousePressEvent(event);
}

void C3StateButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    // Only a release over the button clicks: pressing, leaving and releasing
    // elsewhere does nothing.
    if (m_pressed && rect().contains(event->position().toPoint())) {
        Click();
    }
    m_pressed = false;
    update();
}

void C3StateButton::Click() {
    if (parentWidget() != nullptr) {
        QCoreApplication::postEvent(parentWidget(), new CommandEvent(m_controlId));
    }
}

void C3StateButton::keyPressEvent(QKeyEvent* event) {
    if (!IsActivationKey(event->key()) || event->isAutoRepeat() || m_disabled) {
        // Escape, Tab and the rest belong to the dialog.
        event->ignore();
        return;
    }
    Click();
}

void C3StateButton::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void C3StateButton::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void C3StateButton::leaveEvent(QEvent*) {
    if (!m_pressed) {
        m_hover = false;
        update();
    }
}

} // namespace ThinUI

#include "Tools/ContentWindowMouseThief.h"

#include "Tools/ContentWindow.h"

#include <QChildEvent>
#include <QMouseEvent>

namespace Web {

namespace {

constexpr UI::WPARAM MK_LBUTTON = 0x0001;
constexpr UI::WPARAM MK_RBUTTON = 0x0002;
constexpr UI::WPARAM MK_SHIFT = 0x0004;
constexpr UI::WPARAM MK_CONTROL = 0x0008;
constexpr UI::WPARAM MK_MBUTTON = 0x0010;

UI::WPARAM MouseFlags(const QMouseEvent& event) {
    UI::WPARAM flags = 0;
    // A press carries its own button; Windows reports it as held.
    const Qt::MouseButtons buttons =
        event.buttons() |
        (event.type() == QEvent::MouseButtonRelease ? Qt::MouseButtons{} : Qt::MouseButtons{event.button()});
    if (buttons & Qt::LeftButton) {
        flags |= MK_LBUTTON;
    }
    if (buttons & Qt::RightButton) {
        flags |= MK_RBUTTON;
    }
    if (buttons & Qt::MiddleButton) {
        flags |= MK_MBUTTON;
    }
    if (event.modifiers() & Qt::ShiftModifier) {
        flags |= MK_SHIFT;
    }
    if (event.modifiers() & Qt::ControlModifier) {
        flags |= MK_CONTROL;
    }
    return flags;
}

UI::LPARAM MousePosition(const QMouseEvent& event, QObject* watched, ContentWindow* owner) {
    QPoint position = event.position().toPoint();
    if (auto* widget = qobject_cast<QWidget*>(watched)) {
        position = widget->mapTo(owner, position);
    }
    const auto x = static_cast<std::uint16_t>(position.x());
    const auto y = static_cast<std::uint16_t>(position.y());
    return static_cast<UI::LPARAM>((static_cast<std::uint32_t>(y) << 16) | x);
}

} // namespace

ContentWindowMouseThief::ContentWindowMouseThief(ContentWindow* owner) : m_owner(owner) {}

ContentWindowMouseThief::~ContentWindowMouseThief() {
    Detach();
}

void ContentWindowMouseThief::Attach(QWidget* target) {
    if (target == m_target) {
        return;
    }
    Detach();
    m_target = target;
    if (target) {
        Watch(target);
    }
}

void ContentWindowMouseThief::Detach() {
    for (const QPointer<QWidget>& widget : m_watched) {
        if (widget) {
            widget->removeEventFilter(this);
        }
    }
    m_watched.clear();
    m_target = nullptr;
}

void ContentWindowMouseThief::Watch(QWidget* widget) {
    for (const QPointer<QWidget>& known : m_watched) {
        if (known == widget) {
            return;
        }
    }
    m_watched.append(widget);
    widget->installEventFilter(this);
    widget->setContextMenuPolicy(Qt::NoContextMenu);
    widget->setAcceptDrops(false);
    ApplyCursor(widget);
    for (QObject* child : widget->children()) {
        if (auto* childWidget = qobject_cast<QWidget*>(child)) {
            Watch(childWidget);
        }
    }
}

void ContentWindowMouseThief::ApplyCursor(QWidget* widget) {
    if (widget->cursor().shape() != m_owner->GetCursor().shape()) {
        m_owner->OnSetCursor(widget);
    }
}

bool ContentWindowMouseThief::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        const auto& mouse = static_cast<const QMouseEvent&>(*event);
        const UI::WPARAM wParam = MouseFlags(mouse);
        const UI::LPARAM lParam = MousePosition(mouse, watched, m_owner);
        const bool left = mouse.button() == Qt::LeftButton;
        const bool right = mouse.button() == Qt::RightButton;
        if (event->type() == QEvent::MouseButtonPress) {
            if (left) {
                m_owner->OnLButtonDown(wParam, lParam);
            } else if (right) {
                m_owner->OnRButtonDown(wParam, lParam);
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            if (left) {
                m_owner->OnLButtonUp(wParam, lParam);
            } else if (right) {
                m_owner->OnRButtonUp(wParam, lParam);
            }
        } else if (left) {
            m_owner->OnLButtonDblClk(wParam, lParam);
        } else if (right) {
            m_owner->OnRButtonDblClk(wParam, lParam);
        }
        // The middle button is swallowed too: it would open links or start
        // auto-scrolling in the page.
        return true;
    }
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    case QEvent::CursorChange:
    case QEvent::Enter:
        if (widget) {
            ApplyCursor(widget);
        }
        return false;
    case QEvent::ChildAdded: {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (auto* childWidget = qobject_cast<QWidget*>(child)) {
            Watch(childWidget);
        }
        return false;
    }
    default:
        return false;
    }
}

} // namespace Web

#include "QtMessageTarget.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

namespace UI {

namespace {

const QEvent::Type kPostedMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class PostedMessageEvent : public QEvent {
public:
    explicit PostedMessageEvent(Message message)
        : QEvent(kPostedMessageEvent), m_message(std::move(message)) {}
    const Message& GetMessage() const { return m_message; }

private:
    Message m_message;
};

} // namespace

QtMessageTarget::QtMessageTarget(Handler handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler)) {}

QtMessageTarget::~QtMessageTarget() = default;

LRESULT QtMessageTarget::Send(std::uint32_t id, WPARAM wParam, LPARAM lParam, std::shared_ptr<void> object) {
    Message message{id, wParam, lParam, std::move(object)};
    if (QThread::currentThread() == thread()) {
        return m_handler(message);
    }
    LRESULT result = 0;
    QMetaObject::invokeMethod(
        this, [this, &message] { return m_handler(message); }, Qt::BlockingQueuedConnection, &result);
    return result;
}

void QtMessageTarget::Post(std::uint32_t id, WPARAM wParam, LPARAM lParam, std::shared_ptr<void> object) {
    // Qt owns posted events and deletes them, delivered or not.
    QCoreApplication::postEvent(this, new PostedMessageEvent(Message{id, wParam, lParam, std::move(object)}));
}

bool QtMessageTarget::event(QEvent* event) {
    if (event->type() == kPostedMessageEvent) {
        m_handler(static_cast<PostedMessageEvent*>(event)->GetMessage());
        return true;
    }
    return QObject::event(event);
}

} // namespace UI

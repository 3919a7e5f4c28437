#pragma once
// A message target on Qt's event loop: the handler always runs on the thread
// that owns the QObject (the UI thread for every window of the application).

#include "MessageTarget.h"

#include <QObject>
#include <functional>

namespace UI {

class QtMessageTarget : public QObject, public MessageTarget {
    Q_OBJECT
public:
    using Handler = std::function<LRESULT(const Message&)>;

    explicit QtMessageTarget(Handler handler, QObject* parent = nullptr);
    ~QtMessageTarget() override;

    LRESULT Send(std::uint32_t id, WPARAM wParam = 0, LPARAM lParam = 0,
                 std::shared_ptr<void> object = {}) override;
    void Post(std::uint32_t id, WPARAM wParam = 0, LPARAM lParam = 0,
              std::shared_ptr<void> object = {}) override;

protected:
    bool event(QEvent* event) override;

private:
    Handler m_handler;
};

} // namespace UI

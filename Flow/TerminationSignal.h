#pragma once
// SIGTERM and SIGINT end the application the way its Exit command does
// (the frame closes, toy discovery and the workers stop, the log is closed)
// instead of killing it in the middle of its work.

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace Glm {

class TerminationSignal : public QObject {
public:
    /// Installs the handlers; onSignal runs on the thread that made this
    /// object, from its event loop. One object per process. Throws
    /// Win32::Win32Exception when the signal pipe cannot be made.
    explicit TerminationSignal(std::function<void()> onSignal);
    /// Gives both signals their default handling back.
    ~TerminationSignal() override;
    TerminationSignal(const TerminationSignal&) = delete;
    TerminationSignal& operator=(const TerminationSignal&) = delete;

private:
    void OnReadable();

    std::function<void()> m_onSignal;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace Glm

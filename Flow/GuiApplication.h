#pragma once
// The Qt application with the one place where an exception that leaves an
// event handler is caught: it is logged and this life of the interface ends
// with -1, so the shell shows the critical-error box and starts it again.

#include <QApplication>

namespace Glm {

class GuiApplication : public QApplication {
public:
    GuiApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    /// True once an exception reached notify in this life of the interface.
    bool HadCriticalError() const { return m_criticalError; }
    void ClearCriticalError() { m_criticalError = false; }

private:
    bool m_criticalError = false;
};

} // namespace Glm

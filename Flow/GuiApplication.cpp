#include "GuiApplication.h"

#include "common/Ex/Exceptions.h"
#include "common/Ex/Logger.h"

namespace Glm {

GuiApplication::GuiApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // Hiding to the tray hides the last window; that must not end the program.
    setQuitOnLastWindowClosed(false);
}

bool GuiApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::GuiApplication::notify");
    } catch (const std::exception& caught) {
        Ex::StlException e(caught);
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::GuiApplication::notify");
    } catch (...) {
        try {
            Ex::GetLogger()->Log("Glm::GuiApplication::notify: unknown exception");
        } catch (...) {
            // The restart below still happens without the log line.
        }
    }
    // Exceptions never travel through Qt's event loop: this life of the
    // interface ends here and the shell starts a new one.
    m_criticalError = true;
    exit(-1);
    return true;
}

} // namespace Glm

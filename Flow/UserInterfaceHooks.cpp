#include "UserInterfaceHooks.h"

#include "common/Ex/MessageBoxLogger.h"
#include "device/BusyIndicator.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QString>
#include <QThread>
#include <cstdio>

namespace Glm {

namespace {

bool OnUserInterfaceThread() {
    const QCoreApplication* application = QCoreApplication::instance();
    return application != nullptr && QThread::currentThread() == application->thread();
}

void PresentFatalError(const std::string& text) {
    if (!OnUserInterfaceThread()) {
        // A worker thread must not draw; the record is in the log as well.
        std::fprintf(stderr, "%s\n", text.c_str());
        return;
    }
    QMessageBox::critical(nullptr, QStringLiteral("Glimmeries"), QString::fromStdString(text));
}

} // namespace

void ShowBusyCursor(bool busy) {
    if (!OnUserInterfaceThread()) {
        return;
    }
    if (busy) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void InstallUserInterfaceHooks() {
    SetBusyHook(&ShowBusyCursor);
    Ex::MessageBoxLogger::SetPresenter(&PresentFatalError);
}

void RemoveUserInterfaceHooks() {
    SetBusyHook(nullptr);
    Ex::MessageBoxLogger::SetPresenter({});
}

} // namespace Glm

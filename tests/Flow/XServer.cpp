#include "XServer.h"

#include "FrameWorld.h"

#include <QFile>
#include <QProcessEnvironment>

namespace FlowTest {

XServer::XServer() {
    for (int display = 90; display < 140; ++display) {
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(display);
        if (QFile::exists(socket) || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(display))) {
            continue;
        }
        m_process.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(display), "-screen", "0",
                                                 "1280x1024x24", "-nolisten", "tcp"});
        if (!m_process.waitForStarted(5000)) {
            return;
        }
        if (PumpUntil([&] { return QFile::exists(socket) || m_process.state() != QProcess::Running; },
                      10000) &&
            m_process.state() == QProcess::Running) {
            m_display = QStringLiteral(":%1").arg(display);
            return;
        }
    }
}

XServer::~XServer() {
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString XDoTool(const QString& display, const QStringList& arguments) {
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral("xdotool"), arguments);
    tool.waitForFinished(15000);
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

} // namespace FlowTest

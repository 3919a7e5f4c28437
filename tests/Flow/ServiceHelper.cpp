#include "ServiceHelper.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>
#include <cstdlib>

namespace FlowTest {

QString BuildProgram(const QString& name) {
    const char* buildDir = std::getenv("GLM_BUILD_DIR");
    return QString::fromLocal8Bit(buildDir != nullptr ? buildDir : ".") + "/bin/" + name;
}

Service::Service(const std::string& patcherFile) {
    QStringList arguments{"serve", "--data", m_data.path(), "--http-port", "0", "--https-port", "0"};
    if (!patcherFile.empty()) {
        QFile file(m_content.path() + "/patcher.ver");
        if (file.open(QIODevice::WriteOnly)) {
            file.write(patcherFile.data(), static_cast<qint64>(patcherFile.size()));
        }
        arguments << "--content" << m_content.path();
    }
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(BuildProgram("glimmeries-service"), arguments);
    const QDeadlineTimer deadline(10000);
    QByteArray output;
    while (!deadline.hasExpired() && !output.contains('\n')) {
        if (!m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            break;
        }
        output += m_process.readAll();
    }
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^listening http=(\\d+) https=(\\d+)"))
            .match(QString::fromUtf8(output));
    if (match.hasMatch()) {
        m_httpPort = match.captured(1).toInt();
        m_httpsPort = match.captured(2).toInt();
    }
}

Service::~Service() {
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

std::string Service::HttpBase() const {
    return "http://127.0.0.1:" + std::to_string(m_httpPort);
}

std::string Service::Admin(const QStringList& arguments) const {
    QProcess command;
    command.start(BuildProgram("glimmeries-service"), QStringList(arguments) << "--data" << m_data.path());
    command.waitForFinished(10000);
    return command.readAllStandardOutput().toStdString();
}

VirtualToy::VirtualToy(const QString& kind, const QString& toyDirectory) {
    m_process.start(BuildProgram("glimmeries-toy"),
                    {kind, "--dir", toyDirectory, "--state", m_state.path() + "/toy.state", "--detached"});
    m_process.waitForStarted(5000);
}

VirtualToy::~VirtualToy() {
    Unplug();
}

void VirtualToy::Unplug() {
    if (m_process.state() == QProcess::NotRunning) {
        return;
    }
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

} // namespace FlowTest

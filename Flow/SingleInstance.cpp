#include "SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace Glm {

namespace {
const QByteArray kShowRequest = QByteArrayLiteral("show\n");
}

SingleInstance::SingleInstance(std::string name, QString directory)
    : m_name(std::move(name)), m_directory(std::move(directory)) {
    if (m_directory.isEmpty()) {
        m_directory = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    }
    if (m_directory.isEmpty()) {
        m_directory = QDir::tempPath();
    }
}

SingleInstance::~SingleInstance() {
    if (m_server) {
        m_server->close();
    }
    if (m_lockDescriptor >= 0) {
        ::close(m_lockDescriptor);
    }
}

QString SingleInstance::GetLockPath() const {
    return m_directory + u'/' + QString::fromStdString(m_name) + QStringLiteral(".lock");
}

QString SingleInstance::GetServerPath() const {
    return m_directory + u'/' + QString::fromStdString(m_name) + QStringLiteral(".socket");
}

bool SingleInstance::TryAcquire() {
    const QByteArray lockPath = QFile::encodeName(GetLockPath());
    // Close-on-exec: a re-executed program must be able to take the lock again.
    const int descriptor = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        return false;
    }
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        ::close(descriptor);
        return false;
    }
    m_lockDescriptor = descriptor;
    // Holding the lock proves no live instance owns a socket of this name:
    // one left by a killed instance can go.
    QLocalServer::removeServer(GetServerPath());
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(m_server.get(), &QLocalServer::newConnection, this, [this] { OnNewConnection(); });
    m_server->listen(GetServerPath());
    return true;
}

bool SingleInstance::AskRunningInstanceToShow(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(GetServerPath());
        if (socket.waitForConnected(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) {
            socket.write(kShowRequest);
            const bool written =
                socket.waitForBytesWritten(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
            socket.disconnectFromServer();
            return written;
        }
        // The first instance holds the lock but is not listening yet.
        QThread::msleep(20);
    }
    return false;
}

void SingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->canReadLine() && socket->readLine() == kShowRequest && m_showRequested) {
                m_showRequested();
            }
        });
    }
}

} // namespace Glm

#include "SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Glm {

namespace {
const QByteArray kShowRequest = QByteArrayLiteral("show\n");

QString ErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// A directory only this user may enter; made when missing. Another user's
// directory, or a link planted in the shared temporary folder, is refused.
bool MakePrivateDirectory(const QString& path, QString& problem) {
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
        problem = QStringLiteral("cannot make %1: %2").arg(path, ErrorText(errno));
        return false;
    }
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0) {
        problem = QStringLiteral("cannot inspect %1: %2").arg(path, ErrorText(errno));
        return false;
    }
    if (!S_ISDIR(status.st_mode) || status.st_uid != ::getuid() || (status.st_mode & 077) != 0) {
        problem = QStringLiteral("%1 is not a private directory of this user").arg(path);
        return false;
    }
    return true;
}
} // namespace

QString SingleInstance::DefaultFallbackDirectory() {
    return QDir::tempPath() + QStringLiteral("/glimmeries-") + QString::number(::getuid());
}

SingleInstance::SingleInstance(std::string name, QString directory, QString fallbackDirectory)
    : m_name(std::move(name)), m_directory(std::move(directory)),
      m_fallbackDirectory(std::move(fallbackDirectory)) {
    if (m_directory.isEmpty()) {
        m_directory = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    }
    if (m_directory.isEmpty()) {
        m_directory = QDir::tempPath();
    }
    if (m_fallbackDirectory.isEmpty()) {
        m_fallbackDirectory = DefaultFallbackDirectory();
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

SingleInstance::Attempt SingleInstance::TryLockIn(const QString& directory, QString& problem) {
    const QString path = directory + u'/' + QString::fromStdString(m_name) + QStringLiteral(".lock");
    const QByteArray lockPath = QFile::encodeName(path);
    // Close-on-exec: a re-executed program must be able to take the lock again.
    const int descriptor = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        problem = QStringLiteral("cannot create the lock file %1: %2").arg(path, ErrorText(errno));
        return Attempt::Failed;
    }
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(descriptor);
        if (error == EWOULDBLOCK) {
            return Attempt::HeldByAnother;
        }
        problem = QStringLiteral("cannot lock %1: %2").arg(path, ErrorText(error));
        return Attempt::Failed;
    }
    m_lockDescriptor = descriptor;
    return Attempt::Locked;
}

bool SingleInstance::TryAcquire() {
    QString problem;
    Attempt attempt = TryLockIn(m_directory, problem);
    if (attempt == Attempt::Failed) {
        // Every instance that cannot use the first directory meets in the
        // same fallback, so the rule still holds between them.
        QString fallbackProblem;
        if (MakePrivateDirectory(m_fallbackDirectory, fallbackProblem)) {
            attempt = TryLockIn(m_fallbackDirectory, fallbackProblem);
        }
        if (attempt == Attempt::Failed) {
            m_problem = QStringLiteral("running without the single-instance lock: %1; %2")
                            .arg(problem, fallbackProblem);
            return true;
        }
        // The show request of a second instance goes there too.
        m_directory = m_fallbackDirectory;
        m_problem = QStringLiteral("single-instance lock in %1: %2").arg(m_fallbackDirectory, problem);
    }
    if (attempt == Attempt::HeldByAnother) {
        return false;
    }
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

#pragma once
// One running copy per executable file name: a lock file held for the
// process's life, and a local server of the same name through which a
// second start asks the first to show itself. The kernel drops the lock of a
// process that dies, so a killed instance never blocks the next start, and
// only the lock holder ever removes a leftover server socket.
//
// When the lock file cannot be made where it belongs (an unwritable or
// missing runtime directory), a private directory of the user's in the
// temporary folder takes it; when that fails too, the program runs without
// the rule rather than never starting, and says why.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

class QLocalServer;

namespace Glm {

class SingleInstance : public QObject {
public:
    /// name is the executable's file name; directory holds the lock and the
    /// socket (default: the runtime directory of the user); fallbackDirectory
    /// is used when no lock file can be made there (default: DefaultFallbackDirectory()).
    explicit SingleInstance(std::string name, QString directory = {}, QString fallbackDirectory = {});
    ~SingleInstance() override;

    /// Takes the lock and starts listening. False only when another live
    /// process holds it. True without a lock when none could be made in
    /// either directory: then GetProblem() says why.
    bool TryAcquire();
    /// Why the program runs without the single-instance rule, or why the
    /// lock moved to the fallback directory; empty when neither happened.
    const QString& GetProblem() const { return m_problem; }
    bool IsLocked() const { return m_lockDescriptor >= 0; }
    /// "<temporary folder>/glimmeries-<user id>": created private (0700) on
    /// first use, and refused unless it is a real directory of this user
    /// that nobody else may enter.
    static QString DefaultFallbackDirectory();
    /// From a second instance: asks the first to show itself, retrying until
    /// timeoutMs while the first is still starting. True when delivered.
    bool AskRunningInstanceToShow(int timeoutMs);
    /// What the first instance does when asked to show itself.
    void SetShowRequestHandler(std::function<void()> handler) { m_showRequested = std::move(handler); }

    QString GetLockPath() const;
    QString GetServerPath() const;

private:
    enum class Attempt { Locked, HeldByAnother, Failed };
    Attempt TryLockIn(const QString& directory, QString& problem);
    void OnNewConnection();

    std::string m_name;
    QString m_directory;
    QString m_fallbackDirectory;
    QString m_problem;
    int m_lockDescriptor = -1;
    std::unique_ptr<QLocalServer> m_server;
    std::function<void()> m_showRequested;
};

} // namespace Glm

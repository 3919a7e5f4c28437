#pragma once
// One running copy per executable file name: a lock file held for the
// process's life, and a local server of the same name through which a
// second start asks the first to show itself. The kernel drops the lock of a
// process that dies, so a killed instance never blocks the next start, and
// only the lock holder ever removes a leftover server socket.

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
    /// socket (default: the runtime directory of the user).
    explicit SingleInstance(std::string name, QString directory = {});
    ~SingleInstance() override;

    /// Takes the lock and starts listening. False when another live process
    /// holds it (or the lock file cannot be made).
    bool TryAcquire();
    /// From a second instance: asks the first to show itself, retrying until
    /// timeoutMs while the first is still starting. True when delivered.
    bool AskRunningInstanceToShow(int timeoutMs);
    /// What the first instance does when asked to show itself.
    void SetShowRequestHandler(std::function<void()> handler) { m_showRequested = std::move(handler); }

    QString GetLockPath() const;
    QString GetServerPath() const;

private:
    void OnNewConnection();

    std::string m_name;
    QString m_directory;
    int m_lockDescriptor = -1;
    std::unique_ptr<QLocalServer> m_server;
    std::function<void()> m_showRequested;
};

} // namespace Glm

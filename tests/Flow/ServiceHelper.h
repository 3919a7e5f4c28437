#pragma once
// The real game service and virtual toys as child processes of a test.

#include "tests/support/ServiceProcess.h"
#include "tests/support/TempDir.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

namespace FlowTest {

/// The build tree's program of that name (GLM_BUILD_DIR/bin/name).
QString BuildProgram(const QString& name);

/// glimmeries-service serving on free loopback ports with a data directory
/// and a content directory of its own (through the shared launcher);
/// stopped by the destructor.
class Service {
public:
    /// patcherFile, when not empty, is served as the remote parameter file;
    /// arguments go to `serve` as they are (rules such as --max-friends N).
    explicit Service(const std::string& patcherFile = {}, const std::vector<std::string>& arguments = {});
    ~Service();
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    /// False when the service did not come up within its deadline.
    bool IsRunning() const { return m_process != nullptr; }
    int HttpPort() const { return m_process ? m_process->HttpPort() : 0; }
    int HttpsPort() const { return m_process ? m_process->HttpsPort() : 0; }
    /// The service's data directory (its database and its ca.pem).
    QString DataPath() const { return QString::fromStdString(m_data.Path()); }
    /// "http://127.0.0.1:PORT"
    std::string HttpBase() const;
    /// The output of an administration command against this service's data.
    std::string Admin(const QStringList& arguments) const;

private:
    GlmTest::TempDir m_data;
    GlmTest::TempDir m_content;
    std::unique_ptr<ServiceTest::ServiceProcess> m_process;
};

/// A virtual toy of kind ("bracelet", "jewelrybox", "game") plugged into the
/// simulated bus in toyDirectory until Unplug or the destructor. options are
/// passed on (--points N, ...); with statePath the toy keeps its memory in
/// that file, so a toy made again with it is the same toy plugged back in.
class VirtualToy {
public:
    VirtualToy(const QString& kind, const QString& toyDirectory, const QStringList& options = {},
               const QString& statePath = {});
    ~VirtualToy();
    VirtualToy(const VirtualToy&) = delete;
    VirtualToy& operator=(const VirtualToy&) = delete;

    bool IsRunning() const { return m_process.state() == QProcess::Running; }
    void Unplug();

private:
    QTemporaryDir m_state;
    QProcess m_process;
};

} // namespace FlowTest

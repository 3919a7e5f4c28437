#include "ServiceHelper.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace FlowTest {

QString BuildProgram(const QString& name) {
    const char* buildDir = std::getenv("GLM_BUILD_DIR");
    return QString::fromLocal8Bit(buildDir != nullptr ? buildDir : ".") + "/bin/" + name;
}

Service::Service(const std::string& patcherFile, const std::vector<std::string>& arguments) {
    std::vector<std::string> extra = arguments;
    if (!patcherFile.empty()) {
        GlmTest::WriteFile(m_content / "patcher.ver", patcherFile);
        extra.insert(extra.end(), {"--content", m_content.Path()});
    }
    try {
        m_process = std::make_unique<ServiceTest::ServiceProcess>(m_data.Path(), extra);
    } catch (const std::exception& failure) {
        ADD_FAILURE() << "glimmeries-service did not start: " << failure.what();
    }
}

Service::~Service() = default;

std::string Service::HttpBase() const {
    return "http://127.0.0.1:" + std::to_string(HttpPort());
}

std::string Service::Admin(const QStringList& arguments) const {
    std::vector<std::string> argv;
    for (const QString& argument : arguments) {
        argv.push_back(argument.toStdString());
    }
    argv.insert(argv.end(), {"--data", m_data.Path()});
    return ServiceTest::RunService(argv).out;
}

VirtualToy::VirtualToy(const QString& kind, const QString& toyDirectory, const QStringList& options,
                       const QString& statePath) {
    const QString state = statePath.isEmpty() ? m_state.path() + "/toy.state" : statePath;
    m_process.start(BuildProgram("glimmeries-toy"),
                    QStringList{kind, "--dir", toyDirectory, "--state", state, "--detached"} + options);
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

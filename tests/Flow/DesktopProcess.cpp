#include "DesktopProcess.h"

#include "FrameWorld.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace FlowTest {

XServer::XServer(const QString& screen) {
    for (int display = 150; display < 200; ++display) {
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(display);
        if (QFile::exists(socket) || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(display))) {
            continue;
        }
        m_process.start(QStringLiteral("Xvfb"),
                        {QStringLiteral(":%1").arg(display), "-screen", "0", screen, "-nolisten", "tcp"});
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

Weston::Weston(const QString& x11Display, const QSize& size) {
    QFile::setPermissions(m_runtime.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", m_runtime.path());
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("DISPLAY");
    if (!x11Display.isEmpty()) {
        environment.insert("DISPLAY", x11Display);
    }
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    const QString socket = QStringLiteral("glimmeries-test");
    // --debug offers the screenshot protocol.
    m_process.start(QStringLiteral("weston"),
                    {x11Display.isEmpty() ? "--backend=headless-backend.so" : "--backend=x11-backend.so",
                     "--use-pixman", "--no-config", "--debug", QStringLiteral("--width=%1").arg(size.width()),
                     QStringLiteral("--height=%1").arg(size.height()), "--socket=" + socket});
    if (!m_process.waitForStarted(5000)) {
        return;
    }
    const QString path = m_runtime.filePath(socket);
    if (PumpUntil([&] { return QFile::exists(path) || m_process.state() != QProcess::Running; }, 15000) &&
        m_process.state() == QProcess::Running) {
        m_socket = socket;
    }
}

Weston::~Weston() {
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QImage Weston::Screenshot() {
    QTemporaryDir directory;
    QProcess shooter;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", m_runtime.path());
    environment.insert("WAYLAND_DISPLAY", m_socket);
    shooter.setProcessEnvironment(environment);
    shooter.setWorkingDirectory(directory.path());
    shooter.start(QStringLiteral("weston-screenshooter"), {});
    if (!shooter.waitForFinished(15000) || shooter.exitCode() != 0) {
        return {};
    }
    const QStringList shots = QDir(directory.path()).entryList({"wayland-screenshot-*.png"}, QDir::Files);
    return shots.isEmpty() ? QImage() : QImage(directory.filePath(shots.front()));
}

AppProcess::AppProcess(Service& service) : m_environment(QProcessEnvironment::systemEnvironment()) {
    QFile parameters(m_files.filePath("parameters.txt"));
    if (parameters.open(QIODevice::WriteOnly)) {
        const std::string https = "https://127.0.0.1:" + std::to_string(service.HttpsPort());
        const std::string http = service.HttpBase();
        parameters.write(("GLM_BASE_URL=" + https + "/api/\n" + "GLM_PATCHER_BASE_URL=" + http +
                          "/bramblemere/game/glimmeries/english/\n" + "GLM_REPORTING_URL=" + http +
                          "/b/ss/glmdesktopapp/1/%s?D=glm&gn=glimmeries:desktop:%s\n" + "GLM_EXTRA_CA_FILE=" +
                          (service.DataPath() + "/ca.pem").toStdString() + "\n" + "GLM_LOG_LEVEL=1\n")
                             .c_str());
    }
    QFile::setPermissions(m_runtime.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_environment.insert("GLIMMERIES_TOY_DIR", m_toys.path());
    m_environment.insert("XDG_RUNTIME_DIR", m_runtime.path());
    m_environment.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    m_environment.insert("GLM_DISABLE_GPU", "1");
    m_environment.remove("GLIMMERIES_APP_DIR");
    m_environment.remove("QT_QPA_PLATFORM");
    m_environment.remove("DISPLAY");
    m_environment.remove("WAYLAND_DISPLAY");
    // libxkbcommon hands strndup a buffer without a terminator, which the
    // sanitizer's strict string checks report inside the display connection.
    if (m_environment.contains("ASAN_OPTIONS")) {
        m_environment.insert("ASAN_OPTIONS", m_environment.value("ASAN_OPTIONS") + ":strict_string_checks=0");
    }
}

AppProcess::~AppProcess() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(30000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
}

bool AppProcess::Start() {
    m_process.setProcessEnvironment(m_environment);
    m_process.start(BuildProgram("glimmeries"), {"--app-dir", m_files.path()});
    return m_process.waitForStarted(10000);
}

std::string AppProcess::Log() const {
    QFile file(m_files.filePath("Glimmeries.log"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

bool AppProcess::WaitForLog(const std::string& text, int timeoutMs) {
    return PumpUntil([&] { return Log().find(text) != std::string::npos; }, timeoutMs);
}

int AppProcess::WaitForExit(int timeoutMs) {
    if (!m_process.waitForFinished(timeoutMs)) {
        return -1;
    }
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

std::string AppProcess::ErrorOutput() {
    m_errors += m_process.readAllStandardError().toStdString();
    return m_errors;
}

void SaveDisplayShot(const QImage& picture, const std::string& name) {
    const QByteArray buildDir = qgetenv("GLM_BUILD_DIR");
    const QString directory =
        QString::fromLocal8Bit(buildDir.isEmpty() ? QByteArray(".") : buildDir) + "/test-artifacts/screens";
    QDir().mkpath(directory);
    picture.save(directory + "/" + QString::fromStdString(name) + ".png");
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

#pragma once
// The built program run as a user runs it, on a display server of the
// test's own: an Xvfb X server or a headless Weston compositor, each with
// its own sockets, and the program's log and output to watch.

#include "ServiceHelper.h"

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSize>
#include <QStringList>
#include <QTemporaryDir>
#include <string>

namespace FlowTest {

/// An Xvfb server on the first free display from 150 on, at the given
/// screen size; stopped by the destructor.
class XServer {
public:
    explicit XServer(const QString& screen = QStringLiteral("1280x1024x24"));
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    /// ":N", empty when the server did not start.
    const QString& Display() const { return m_display; }

private:
    QProcess m_process;
    QString m_display;
};

/// Weston listening on a socket of its own in a runtime directory of its
/// own: with its headless back end (no seat: nothing can press on a window),
/// or with its X11 back end as a window on an X server (at its top-left),
/// whose pointer and keyboard xdotool drives. Stopped by the destructor.
class Weston {
public:
    /// Headless without x11Display, else nested in that X server; its
    /// output is size.
    explicit Weston(const QString& x11Display = {}, const QSize& size = QSize(1000, 700));
    ~Weston();
    Weston(const Weston&) = delete;
    Weston& operator=(const Weston&) = delete;
    bool IsRunning() const { return !m_socket.isEmpty(); }
    /// The socket's full path, which WAYLAND_DISPLAY may name.
    QString SocketPath() const { return m_runtime.filePath(m_socket); }
    std::string Output() { return m_process.readAll().toStdString(); }
    /// The compositor's output as weston-screenshooter takes it; null when
    /// that fails.
    QImage Screenshot();

private:
    QTemporaryDir m_runtime;
    QProcess m_process;
    QString m_socket;
};

/// glimmeries against the service, with its files in a directory of its own
/// and a toy bus of its own.
class AppProcess {
public:
    explicit AppProcess(Service& service);
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    /// The environment the program gets; change it before Start.
    QProcessEnvironment& Environment() { return m_environment; }
    bool Start();
    /// Waits until the log holds text; false after timeoutMs.
    bool WaitForLog(const std::string& text, int timeoutMs = 60000);
    std::string Log() const;
    /// Waits for the program to end by itself; its exit code, or -1.
    int WaitForExit(int timeoutMs);
    std::string ErrorOutput();
    QString ToyDirectory() const { return m_toys.path(); }
    QProcess& Process() { return m_process; }

private:
    QTemporaryDir m_files;
    QTemporaryDir m_toys;
    QTemporaryDir m_runtime;
    QProcessEnvironment m_environment;
    QProcess m_process;
    std::string m_errors;
};

/// Saves a picture taken from a display server as
/// $GLM_BUILD_DIR/test-artifacts/screens/NAME.png, as the screen tests do.
void SaveDisplayShot(const QImage& picture, const std::string& name);
/// Runs xdotool with arguments on display; its output.
QString XDoTool(const QString& display, const QStringList& arguments);

} // namespace FlowTest

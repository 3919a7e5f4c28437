#pragma once
// A private X server (Xvfb) for the tests that run the built program as a
// user does, and xdotool to drive it.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace FlowTest {

/// An Xvfb server on the first free display from 90 on; stopped by the
/// destructor. Display() is empty when none could start.
class XServer {
public:
    XServer();
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    const QString& Display() const { return m_display; }

private:
    QProcess m_process;
    QString m_display;
};

/// Runs xdotool with arguments on display; its output.
QString XDoTool(const QString& display, const QStringList& arguments);

} // namespace FlowTest

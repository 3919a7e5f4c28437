#pragma once
// Shared pieces of the view tests: waiting on the event loop, a recording
// logger and listener, a loopback HTTP server, movie files and screenshots.

#include "Tools/ContentWindowListener.h"
#include "common/Ex/Logger.h"
#include "tests/support/RecordingLogger.h"

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QString>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QVariant>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class QWebEnginePage;
class QWidget;

namespace ViewsTest {

/// Runs the event loop until done() or the deadline; returns done().
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000);
/// Runs the event loop for a while (only to show that something does NOT
/// happen).
void RunEventsFor(int ms);
/// Runs script in the page and returns its result (invalid at the deadline).
QVariant RunJs(QWebEnginePage* page, const QString& script, int timeoutMs = 5000);

/// Copies a compiled-in movie (":/res/SWF/NAME") to dir/fileName.
QString ExtractMovie(const QTemporaryDir& dir, const QString& resourceName, const QString& fileName);
/// Writes text to dir/fileName.
QString WriteFile(const QTemporaryDir& dir, const QString& fileName, const QByteArray& text);

/// Waits until the widget shows something other than a flat colour (and,
/// when given, until shows() accepts the picture), then saves it to
/// $GLM_BUILD_DIR/test-artifacts/views/NAME.png. Returns the picture.
QImage SaveScreenshot(QWidget* widget, const QString& name,
                      const std::function<bool(const QImage&)>& shows = {});
/// How many pixels of the picture are a bright gold (the halo's colour).
int GoldPixels(const QImage& image);

using GlmTest::RecordingLogger;

struct ListenerEvent {
    enum Kind { Ready, Error, Click } kind;
    std::string error;
};

class RecordingListener : public Web::ContentWindowListener {
public:
    void OnContentReady(Web::ContentWindow*) override { events.push_back({ListenerEvent::Ready, {}}); }
    void OnContentError(Web::ContentWindow*, const std::string& error) override {
        events.push_back({ListenerEvent::Error, error});
    }
    void OnContentClick(Web::ContentWindow*, int) override { events.push_back({ListenerEvent::Click, {}}); }
    std::vector<ListenerEvent> events;
};

/// A small HTTP server on 127.0.0.1 with fixed routes; unknown paths get
/// 404. A route with status 0 never answers. Counts requests per path.
class LoopbackServer : public QTcpServer {
public:
    struct Route {
        int status = 200;
        QByteArray contentType = "text/html";
        QByteArray body;
    };
    LoopbackServer();
    void AddRoute(const QByteArray& path, Route route) { m_routes.insert(path, std::move(route)); }
    QString Url(const QString& path) const;
    int RequestCount(const QByteArray& path) const { return m_requests.value(path); }

private:
    void Answer(class QTcpSocket* socket);
    QMap<QByteArray, Route> m_routes;
    QMap<QByteArray, int> m_requests;
};

} // namespace ViewsTest

#include "ViewsTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTcpSocket>
#include <QTimer>
#include <QWebEnginePage>
#include <QWidget>
#include <memory>

namespace ViewsTest {

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return done();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void RunEventsFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

QVariant RunJs(QWebEnginePage* page, const QString& script, int timeoutMs) {
    auto result = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
    page->runJavaScript(script, [result](const QVariant& value) { *result = {true, value}; });
    WaitUntil([&] { return result->first; }, timeoutMs);
    return result->second;
}

QString ExtractMovie(const QTemporaryDir& dir, const QString& resourceName, const QString& fileName) {
    const QString path = dir.filePath(fileName);
    QFile::remove(path);
    QFile::copy(QStringLiteral(":/res/SWF/") + resourceName, path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
}

QString WriteFile(const QTemporaryDir& dir, const QString& fileName, const QByteArray& text) {
    const QString path = dir.filePath(fileName);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(text);
    }
    return path;
}

namespace {

bool IsFlat(const QImage& image) {
    if (image.isNull()) {
        return true;
    }
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3) {
            if (image.pixel(x, y) != first) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

int GoldPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 230 && c.green() > 190 && c.blue() < 140) {
                ++count;
            }
        }
    }
    return count;
}

QImage SaveScreenshot(QWidget* widget, const QString& name, const std::function<bool(const QImage&)>& shows) {
    QImage image;
    WaitUntil(
        [&] {
            image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
            return !IsFlat(image) && (!shows || shows(image));
        },
        5000);
    const QByteArray buildDir = qgetenv("GLM_BUILD_DIR");
    const QString dir = (buildDir.isEmpty() ? QDir::tempPath() : QString::fromLocal8Bit(buildDir)) +
                        QStringLiteral("/test-artifacts/views");
    QDir().mkpath(dir);
    image.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
    // Small views are hard to judge at their own size: a three-times copy.
    if (image.width() < 400) {
        image.scaled(image.size() * 3, Qt::KeepAspectRatio, Qt::FastTransformation)
            .save(dir + QLatin1Char('/') + name + QStringLiteral("-x3.png"));
    }
    return image;
}

LoopbackServer::LoopbackServer() {
    listen(QHostAddress::LocalHost, 0);
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Answer(socket); });
        }
    });
}

QString LoopbackServer::Url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:") + QString::number(serverPort()) + path;
}

void LoopbackServer::Answer(QTcpSocket* socket) {
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n")) {
        return;
    }
    socket->setProperty("request", QByteArray());
    const QList<QByteArray> firstLine = request.left(request.indexOf("\r\n")).split(' ');
    const QByteArray path = firstLine.size() > 1 ? firstLine[1] : QByteArray("/");
    m_requests[path] += 1;
    const auto found = m_routes.constFind(path);
    Route route = found == m_routes.constEnd() ? Route{404, "text/html", "<html><body>missing</body></html>"}
                                               : found.value();
    if (route.status == 0) {
        return; // never answers
    }
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(route.status) +
                       " X\r\nContent-Type: " + route.contentType +
                       "\r\nContent-Length: " + QByteArray::number(route.body.size()) +
                       "\r\nConnection: close\r\n\r\n" + route.body;
    socket->write(reply);
    socket->disconnectFromHost();
}

} // namespace ViewsTest

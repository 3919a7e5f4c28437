#include "Tools/MovieSchemeHandler.h"

#include "Tools/WebEngineSetup.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QUuid>
#include <QWebEngineUrlRequestJob>

namespace Web {

QMutex MovieSchemeHandler::s_mutex;
QMap<QString, QString> MovieSchemeHandler::s_files;

MovieSchemeHandler::MovieSchemeHandler(QObject* parent) : QWebEngineUrlSchemeHandler(parent) {}

QUrl MovieSchemeHandler::Register(const QString& filePath) {
    const QString token = QUuid::createUuid().toString(QUuid::Id128);
    {
        QMutexLocker lock(&s_mutex);
        s_files.insert(token, filePath);
    }
    QUrl url;
    url.setScheme(QString::fromLatin1(kMovieScheme));
    url.setHost(QStringLiteral("movie"));
    url.setPath(QLatin1Char('/') + token + QLatin1Char('/') + QFileInfo(filePath).fileName());
    return url;
}

void MovieSchemeHandler::Unregister(const QUrl& url) {
    QMutexLocker lock(&s_mutex);
    s_files.remove(TokenOf(url));
}

QString MovieSchemeHandler::TokenOf(const QUrl& url) {
    const QStringList parts = url.path().split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return parts.isEmpty() ? QString() : parts.first();
}

void MovieSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    QString path;
    {
        QMutexLocker lock(&s_mutex);
        path = s_files.value(TokenOf(job->requestUrl()));
    }
    // The URL must name the registered file itself, nothing beside it.
    if (path.isEmpty() || !job->requestUrl().path().endsWith(QLatin1Char('/') + QFileInfo(path).fileName())) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::RequestFailed);
        return;
    }
    // The job owns the buffer and frees it when the engine has read it.
    auto* body = new QBuffer(job);
    body->setData(file.readAll());
    job->reply(QByteArrayLiteral("text/html"), body);
}

} // namespace Web

#pragma once
// Serves movie files to the web engine. A movie window registers the file
// it plays and gets an unguessable token; the engine asks for
// glmmovie://movie/TOKEN/FILE and receives the file's bytes as text/html,
// whatever the file's extension (movies keep their .swf names on disk).
// Only registered files are served, so a page cannot read other files
// through the scheme.

#include <QMap>
#include <QMutex>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

namespace Web {

class MovieSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    explicit MovieSchemeHandler(QObject* parent = nullptr);

    /// Makes the file reachable and returns its URL. Each call gives a new
    /// token, so a reloaded movie is read afresh from disk.
    static QUrl Register(const QString& filePath);
    /// Makes a registered URL unreachable again; unknown URLs are ignored.
    static void Unregister(const QUrl& url);

    /// Answers with the file's contents, or fails the request with
    /// UrlNotFound (unknown token) or RequestFailed (unreadable file).
    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    static QString TokenOf(const QUrl& url);
    static QMutex s_mutex;
    static QMap<QString, QString> s_files; // token -> path
};

} // namespace Web

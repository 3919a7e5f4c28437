#include "Tools/FlashWindow.h"

#include "Tools/MovieSchemeHandler.h"
#include "Tools/WebEngineSetup.h"
#include "common/Web/ContentWindowExceptions.h"

#include <QColor>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUuid>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <memory>

namespace Web {

namespace {

const QString kBootstrapName = QStringLiteral("glm-player-bootstrap");

// A JavaScript string literal holding text.
QString JsString(const QString& text) {
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

// Defines window.GlmPlayer and the invoke entry point before the movie's own
// scripts run. %1 raw FlashVars, %2 the ready-report token, %3 background.
const char kBootstrap[] = R"JS((function () {
  'use strict';
  var raw = %1, token = %2, background = %3;
  function decode(text) {
    try { return decodeURIComponent(text.replace(/\+/g, ' ')); } catch (e) { return text; }
  }
  var vars = {};
  raw.split('&').forEach(function (pair) {
    if (!pair) return;
    var at = pair.indexOf('=');
    var key = decode(at < 0 ? pair : pair.slice(0, at));
    vars[key] = at < 0 ? '' : decode(pair.slice(at + 1));
  });
  var callbacks = Object.create(null);
  var readyState = 0;
  function escapeXml(text) {
    return String(text).replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;').replace(/"/g, '&quot;');
  }
  function encode(value) {
    if (value === undefined) return '<undefined/>';
    if (value === null) return '<null/>';
    if (value === true) return '<true/>';
    if (value === false) return '<false/>';
    if (typeof value === 'number') return '<number>' + value + '</number>';
    if (Array.isArray(value)) {
      return '<array>' + value.map(function (item, index) {
        return '<property id="' + index + '">' + encode(item) + '</property>';
      }).join('') + '</array>';
    }
    if (typeof value === 'object') {
      return '<object>' + Object.keys(value).map(function (key) {
        return '<property id="' + escapeXml(key) + '">' + encode(value[key]) + '</property>';
      }).join('') + '</object>';
    }
    return '<string>' + escapeXml(value) + '</string>';
  }
  function decodeValue(node) {
    var out, child;
    switch (node.nodeName) {
    case 'number': return Number(node.textContent);
    case 'true': return true;
    case 'false': return false;
    case 'null': return null;
    case 'undefined': return undefined;
    case 'array':
      out = [];
      for (child = node.firstElementChild; child; child = child.nextElementSibling)
        out[Number(child.getAttribute('id'))] = child.firstElementChild ? decodeValue(child.firstElementChild) : undefined;
      return out;
    case 'object':
      out = {};
      for (child = node.firstElementChild; child; child = child.nextElementSibling)
        out[child.getAttribute('id')] = child.firstElementChild ? decodeValue(child.firstElementChild) : undefined;
      return out;
    default: return node.textContent;
    }
  }
  function invoke(request) {
    var doc = new DOMParser().parseFromString(String(request), 'application/xml');
    var root = doc.documentElement;
    if (!root || root.nodeName !== 'invoke' || doc.getElementsByTagName('parsererror').length) return '';
    var fn = callbacks[root.getAttribute('name')];
    if (typeof fn !== 'function') return '';
    var args = [];
    var list = root.getElementsByTagName('arguments')[0];
    if (list) {
      for (var node = list.firstElementChild; node; node = node.nextElementSibling) args.push(decodeValue(node));
    }
    try { return encode(fn.apply(null, args)); } catch (e) { return ''; }
  }
  var player = {
    flashVars: Object.freeze(vars),
    rawFlashVars: raw,
    backgroundColor: background,
    addCallback: function (name, fn) { callbacks[String(name)] = fn; },
    setReadyState: function (state) {
      readyState = state | 0;
      console.info(token + ' ' + readyState);
    },
    get readyState() { return readyState; },
    stop: function () {
      var style = document.createElement('style');
      style.textContent = '*, *::before, *::after { animation-play-state: paused !important; }';
      (document.head || document.documentElement).appendChild(style);
      window.dispatchEvent(new Event('glmstop'));
    }
  };
  Object.defineProperty(window, 'GlmPlayer', { value: Object.freeze(player) });
  Object.defineProperty(window, '__glmInvoke', { value: invoke });
})();)JS";

} // namespace

// The movie's page: reports the movie's ready state and shows no dialogs.
class FlashWindow::MoviePage : public QWebEnginePage {
public:
    MoviePage(QWebEngineProfile* profile, FlashWindow* owner) : QWebEnginePage(profile), m_owner(owner) {}

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                  const QString&) override {
        const qsizetype space = message.indexOf(QLatin1Char(' '));
        if (space > 0) {
            bool ok = false;
            const int state = message.mid(space + 1).toInt(&ok);
            if (ok) {
                m_owner->OnReadyStateChange(message.left(space), state);
            }
        }
    }
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override { return false; }
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }

private:
    FlashWindow* m_owner;
};

FlashWindow::FlashWindow(QWidget* parent, const QRect& rect, ContentWindowListener* listener)
    : ContentWindow(parent, rect, listener, kLoadTimeout) {
    QWebEngineProfile* profile = MovieProfile();
    if (!profile) {
        CantCreateFlashWindowException e;
        e.Message() << "ATL::CoCreateInstance";
        throw e;
    }
    m_moviePage = new MoviePage(profile, this);
    SetPage(m_moviePage);
}

FlashWindow::~FlashWindow() {
    m_destroyed = true;
    if (!m_movieUrl.isEmpty()) {
        MovieSchemeHandler::Unregister(m_movieUrl);
    }
}

void FlashWindow::RequireControl() const {
    if (!m_moviePage) {
        throw Ex::Assert("m_pFlash.p != NULL", EX_FRAME);
    }
}

void FlashWindow::Navigate(const std::string& path) {
    RequireControl();
    m_url = path;
    const QString filePath = QString::fromStdString(path);
    const QFileInfo file(filePath);
    if (!file.isFile()) {
        StopLoadTimer();
        NotifyError("Can't open '" + file.fileName().toStdString() + "'. File not found.");
        return;
    }
    if (!m_movieUrl.isEmpty()) {
        MovieSchemeHandler::Unregister(m_movieUrl);
    }
    m_readyState = 0;
    m_loading = true;
    m_nonce = QUuid::createUuid().toString(QUuid::Id128);
    m_movieUrl = MovieSchemeHandler::Register(file.absoluteFilePath());

    QWebEngineScriptCollection& scripts = m_moviePage->scripts();
    for (const QWebEngineScript& old : scripts.find(kBootstrapName)) {
        scripts.remove(old);
    }
    QWebEngineScript bootstrap;
    bootstrap.setName(kBootstrapName);
    bootstrap.setInjectionPoint(QWebEngineScript::DocumentCreation);
    bootstrap.setWorldId(QWebEngineScript::MainWorld);
    bootstrap.setRunsOnSubFrames(false);
    bootstrap.setSourceCode(BootstrapScript());
    scripts.insert(bootstrap);

    StartLoadTimer();
    m_moviePage->load(m_movieUrl);
}

QString FlashWindow::BootstrapScript() const {
    QString background;
    if (m_background) {
        background = QColor::fromRgb(static_cast<QRgb>(*m_background & 0xFFFFFFu)).name();
    }
    return QString::fromLatin1(kBootstrap)
        .arg(JsString(QString::fromStdString(m_flashVars)), JsString(m_nonce), JsString(background));
}

void FlashWindow::OnReadyStateChange(const QString& nonce, int state) {
    if (nonce != m_nonce || state == m_readyState) {
        return;
    }
    m_readyState = state;
    if (state == 4) {
        m_loading = false;
        StopLoadTimer();
    }
    emit ReadyStateChanged(state);
    if (state == 4) {
        NotifyReady();
    }
}

void FlashWindow::Stop() {
    RequireControl();
    m_moviePage->runJavaScript(QStringLiteral("window.GlmPlayer && GlmPlayer.stop();"));
}

std::uint32_t FlashWindow::Get_FlashVersion() const {
    RequireControl();
    return static_cast<std::uint32_t>(EngineMajorVersion()) << 16;
}

void FlashWindow::Put_FlashVars(const std::string& flashVars) {
    RequireControl();
    m_flashVars = flashVars;
}

void FlashWindow::Put_BackgroundColor(std::uint32_t color) {
    RequireControl();
    m_background = color;
    m_moviePage->setBackgroundColor(QColor::fromRgb(static_cast<QRgb>(color & 0xFFFFFFu)));
}

std::string FlashWindow::Call_Function(const std::string& request) {
    RequireControl();
    static const char* const kFunction = "IShockwaveFlash::CallFunction";
    QPointer<FlashWindow> self(this);
    if (m_readyState != 4) {
        if (!m_loading || !IsLoadTimerActive()) {
            throw ContentCallException(kFunction, "no movie is playing");
        }
        // A movie that is still loading gets the rest of its load time.
        QEventLoop loop;
        connect(this, &FlashWindow::ReadyStateChanged, &loop, [&loop](int state) {
            if (state == 4) {
                loop.quit();
            }
        });
        connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
        QTimer deadline;
        deadline.setSingleShot(true);
        connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
        deadline.start(static_cast<int>(GetLoadTimeout().count()));
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        if (!self) {
            throw ContentCallException(kFunction, "the movie window was destroyed");
        }
        if (m_readyState != 4) {
            throw ContentCallException(kFunction, "the movie did not become ready");
        }
    }

    struct Reply {
        bool done = false;
        std::string text;
    };
    auto reply = std::make_shared<Reply>();
    QEventLoop loop;
    QPointer<QEventLoop> loopGuard(&loop);
    const QString script =
        QStringLiteral("(typeof window.__glmInvoke === 'function') ? window.__glmInvoke(") %
        JsString(QString::fromStdString(request)) % QStringLiteral(") : ''");
    m_moviePage->runJavaScript(script, [reply, loopGuard](const QVariant& result) {
        reply->done = true;
        reply->text = result.toString().toStdString();
        if (loopGuard) {
            loopGuard->quit();
        }
    });
    if (!reply->done) {
        connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
        QTimer deadline;
        deadline.setSingleShot(true);
        connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
        deadline.start(static_cast<int>(m_callTimeout.count()));
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!reply->done) {
        throw ContentCallException(kFunction, self ? "the movie did not answer in time"
                                                   : "the movie window was destroyed");
    }
    return reply->text;
}

} // namespace Web

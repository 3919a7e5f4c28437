#include "Tools/IEWindow.h"

#include "Tools/WebEngineSetup.h"
#include "common/Web/ContentWindowExceptions.h"

#include <QSet>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

namespace Web {

namespace {

const QString kAboutBlank = QStringLiteral("about:blank");

const QString kNoScroll = QStringLiteral("(function () { var b = document.body; if (!b) return;"
                                         " b.setAttribute('scroll', 'no'); b.style.overflow = 'hidden';"
                                         " document.documentElement.style.overflow = 'hidden'; })();");
const QString kNoBorder = QStringLiteral("(function () { var b = document.body; if (!b) return;"
                                         " b.style.marginLeft = '0'; b.style.marginTop = '0'; })();");

} // namespace

// Lets the page load what its own host serves, and inline data.
class IEWindow::PageInterceptor : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QUrl url = info.requestUrl();
        const QString scheme = url.scheme();
        if (scheme == QLatin1String("data") || scheme == QLatin1String("blob") ||
            scheme == QLatin1String("about")) {
            return;
        }
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame) {
            m_hosts.insert(url.host());
            return;
        }
        info.block(!m_hosts.contains(url.host()));
    }
    void Reset() { m_hosts.clear(); }

private:
    QSet<QString> m_hosts;
};

// The page: no dialogs, no new windows, results to the window.
class IEWindow::BrowserPage : public QWebEnginePage {
public:
    BrowserPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

protected:
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override { return false; }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
};

IEWindow::IEWindow(QWidget* parent, const QRect& rect, ContentWindowListener* listener)
    : ContentWindow(parent, rect, listener, kLoadTimeout) {
    QWebEngineProfile* profile = BrowserProfile();
    if (!profile) {
        CantCreateIEWindowException e;
        e.Message() << "ATL::CoCreateInstance";
        throw e;
    }
    m_browserPage = new BrowserPage(profile, this);
    // A child of this window, so it outlives the page that uses it.
    m_interceptor = new PageInterceptor(this);
    m_browserPage->setUrlRequestInterceptor(m_interceptor);
    m_browserPage->settings()->setAttribute(QWebEngineSettings::AutoLoadImages, true);
    m_browserPage->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    SetPage(m_browserPage);
    // A load that was stopped (by a newer navigation or Stop) reports nothing.
    connect(m_browserPage, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus) {
            OnDocumentComplete(info.url().toString());
        } else if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus) {
            OnNavigateError();
        }
    });
}

IEWindow::~IEWindow() {
    m_destroyed = true;
    if (m_browserPage) {
        m_browserPage->triggerAction(QWebEnginePage::Stop);
    }
}

void IEWindow::Navigate(const std::string& url) {
    if (!m_browserPage) {
        throw Ex::Assert("m_pWebBrowser.p != NULL", EX_FRAME);
    }
    m_url = url;
    m_completed = false;
    m_failed = false;
    m_interceptor->Reset();
    StartLoadTimer();
    m_browserPage->load(QUrl(QString::fromStdString(url)));
}

void IEWindow::OnDocumentComplete(const QString& url) {
    if (m_completed || m_failed) {
        return;
    }
    m_completed = true;
    if (m_destroyed || m_url.empty() || m_url == kAboutBlank.toStdString()) {
        StopLoadTimer();
        return;
    }
    // A navigation that produced no page: the time-out reports it.
    if (url == QLatin1String("http:///")) {
        return;
    }
    StopLoadTimer();
    NotifyReady();
}

void IEWindow::OnNavigateError() {
    if (m_completed || m_failed) {
        return;
    }
    m_failed = true;
    StopLoadTimer();
    if (m_destroyed || m_url.empty() || m_url == kAboutBlank.toStdString()) {
        return;
    }
    NotifyError(std::string());
}

void IEWindow::Stop() {
    StopLoadTimer();
    if (m_browserPage) {
        m_url.clear();
        m_browserPage->load(QUrl(kAboutBlank));
        SetNoScroll();
        SetNoBorder();
    }
}

void IEWindow::SetNoScroll() {
    if (m_browserPage) {
        m_browserPage->runJavaScript(kNoScroll);
    }
}

void IEWindow::SetNoBorder() {
    if (m_browserPage) {
        m_browserPage->runJavaScript(kNoBorder);
    }
}

void IEWindow::Show() {
    try {
        SetNoScroll();
        SetNoBorder();
        ContentWindow::Show();
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        throw;
    }
}

} // namespace Web

#include "Tools/WebEngineSetup.h"

#include "Tools/MovieSchemeHandler.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlScheme>
#include <QtWebEngineCore/qtwebenginecoreglobal.h>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace Web {

namespace {

// Movies are self-contained: they may reach their own document and inline
// data, nothing else.
class MovieRequestInterceptor : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QString scheme = info.requestUrl().scheme();
        const bool allowed = scheme == QLatin1String(kMovieScheme) || scheme == QLatin1String("data") ||
                             scheme == QLatin1String("blob") || scheme == QLatin1String("about");
        info.block(!allowed);
    }
};

void AddChromiumFlag(const char* flag) {
    const char* current = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS");
    std::string flags = current ? current : "";
    if (flags.find(flag) != std::string::npos) {
        return;
    }
    if (!flags.empty()) {
        flags += ' ';
    }
    flags += flag;
    ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.c_str(), 1);
}

void ApplySharedSettings(QWebEngineProfile* profile) {
    profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile->setSpellCheckEnabled(false);
    QWebEngineSettings* settings = profile->settings();
    settings->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    settings->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
}

bool g_prepared = false;

// Runs before main() in every program that links this file, so the scheme is
// registered in time even when the program's main() does not call
// PrepareWebEngine before making its QApplication.
[[maybe_unused]] const bool g_preparedEarly = (PrepareWebEngine(), true);

} // namespace

void PrepareWebEngine() {
    if (g_prepared) {
        return;
    }
    g_prepared = true;
    if (::geteuid() == 0) {
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    }
    AddChromiumFlag("--disable-gpu");

    QWebEngineUrlScheme scheme(kMovieScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::SecureScheme |
                    QWebEngineUrlScheme::ContentSecurityPolicyIgnored);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QWebEngineProfile* MovieProfile() {
    static QPointer<QWebEngineProfile> profile;
    if (!profile) {
        PrepareWebEngine();
        profile = new QWebEngineProfile(QCoreApplication::instance());
        ApplySharedSettings(profile);
        profile->installUrlSchemeHandler(QByteArray(kMovieScheme), new MovieSchemeHandler(profile));
        profile->setUrlRequestInterceptor(new MovieRequestInterceptor(profile));
    }
    return profile;
}

QWebEngineProfile* BrowserProfile() {
    static QPointer<QWebEngineProfile> profile;
    if (!profile) {
        PrepareWebEngine();
        profile = new QWebEngineProfile(QCoreApplication::instance());
        ApplySharedSettings(profile);
    }
    return profile;
}

unsigned EngineMajorVersion() {
    const std::string version = qWebEngineChromiumVersion();
    return static_cast<unsigned>(std::strtoul(version.c_str(), nullptr, 10));
}

} // namespace Web

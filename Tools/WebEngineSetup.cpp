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
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
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

bool EnvironmentSays(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

bool HasRenderNode() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error)) {
        if (entry.path().filename().string().starts_with("renderD")) {
            return true;
        }
    }
    return false;
}

} // namespace

bool NoUsableGpu() {
    if (EnvironmentSays("GLM_DISABLE_GPU")) {
        return true;
    }
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const std::string_view name = platform != nullptr ? platform : "";
    if (name.starts_with("offscreen") || name.starts_with("minimal")) {
        return true;
    }
    if (!EnvironmentSays("DISPLAY") && !EnvironmentSays("WAYLAND_DISPLAY")) {
        return true;
    }
    return !HasRenderNode();
}

void PrepareWebEngine() {
    if (g_prepared) {
        return;
    }
    g_prepared = true;
    if (::geteuid() == 0) {
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    }
    if (NoUsableGpu()) {
        AddChromiumFlag("--disable-gpu");
    }

    QWebEngineUrlScheme scheme(kMovieScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::SecureScheme |
                    QWebEngineUrlScheme::ContentSecurityPolicyIgnored);
    QWebEngineUrlScheme::registerScheme(scheme);
}

namespace {
// Schemes can only be registered before the QApplication exists, so a
// program that forgot the set-up would show blank movies: say so loudly.
void RequirePrepared() {
    if (!g_prepared) {
        qWarning("Web::PrepareWebEngine() was not called before the QApplication: movies will not load");
    }
}
} // namespace

QWebEngineProfile* MovieProfile() {
    static QPointer<QWebEngineProfile> profile;
    if (!profile) {
        RequirePrepared();
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
        RequirePrepared();
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

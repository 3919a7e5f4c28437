#pragma once
// The web engine's set-up, in one place: the process environment it needs
// (sandbox and rendering), the movie URL scheme, and the two engine profiles
// that movie and browser windows use.
//
// PrepareWebEngine must run before the QApplication is made, in every
// program that shows movies or browser views; it is idempotent.
//
// What it sets:
//  - QTWEBENGINE_DISABLE_SANDBOX=1 when the process runs as root (the
//    engine's sandbox refuses to start as root; CI containers run as root);
//  - --disable-gpu in QTWEBENGINE_CHROMIUM_FLAGS when no GPU is usable: the
//    offscreen or minimal platform, no display at all, no render node under
//    /dev/dri (Xvfb in a container, most virtual machines), or
//    GLM_DISABLE_GPU=1 (scripts set it when they start Xvfb). A desktop with
//    a GPU keeps hardware rendering;
//  - the "glmmovie" URL scheme through which movies are served.
// Variables already set by the user are kept.

class QWebEngineProfile;

namespace Web {

/// The scheme of movie URLs: glmmovie://movie/TOKEN/FILE.
inline constexpr char kMovieScheme[] = "glmmovie";

void PrepareWebEngine();
/// Whether the engine is told to render in software (see above).
bool NoUsableGpu();

/// The profile of every movie window: off the record, movie scheme handler
/// installed, every request refused except movie, data and blob URLs.
/// Created on first use, owned by the application object. Requires a
/// QApplication.
QWebEngineProfile* MovieProfile();

/// The profile of every browser window: off the record, no persistent
/// cookies or cache. Created on first use, owned by the application object.
QWebEngineProfile* BrowserProfile();

/// The web engine's major version ("102" for Chromium 102), as a number.
unsigned EngineMajorVersion();

} // namespace Web

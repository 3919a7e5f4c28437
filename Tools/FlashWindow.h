#pragma once
// The movie window: plays one movie (a self-contained HTML5 document kept
// under a .swf name) in the web engine.
//
// The movie sees its FlashVars and background colour before any of its
// scripts run, as window.GlmPlayer.flashVars (name -> value, URL-decoded)
// and GlmPlayer.backgroundColor ("#rrggbb", or "" when none was given). It
// registers the functions the application may call with
// GlmPlayer.addCallback(name, function) and reports GlmPlayer.setReadyState(4)
// once it has drawn. Call_Function takes the application's
// <invoke name="..." returntype="xml"><arguments>...</arguments></invoke>
// request and returns the reply in the same XML value encoding
// (<string>..</string>, <number>..</number>, <true/>, <false/>, <null/>,
// <undefined/>, <array>, <object>); an unknown function gives "".

#include "Tools/ContentWindow.h"

#include <QString>
#include <QUrl>
#include <cstdint>
#include <optional>

namespace Web {

class FlashWindow : public ContentWindow {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kLoadTimeout{30000};
    static constexpr std::chrono::milliseconds kCallTimeout{5000};

    /// A hidden movie window at rect in parent, reporting to listener.
    /// Throws CantCreateFlashWindowException when the engine cannot be set up.
    FlashWindow(QWidget* parent, const QRect& rect, ContentWindowListener* listener);
    ~FlashWindow() override;

    /// Plays the movie file at path. A missing file gives the listener
    /// OnContentError "Can't open 'NAME.EXT'. File not found." and starts
    /// nothing; otherwise the load timer runs until the movie is ready.
    void Navigate(const std::string& path) override;
    /// Pauses the movie's animations.
    void Stop() override;

    /// The player's version: the web engine's major version in the high
    /// 16 bits.
    std::uint32_t Get_FlashVersion() const;
    /// Used by the next Navigate.
    void Put_FlashVars(const std::string& flashVars);
    /// 0xRRGGBB, used by the next Navigate (and at once for the page).
    void Put_BackgroundColor(std::uint32_t color);
    /// Calls a movie function and returns its reply. Waits (running a local
    /// event loop, user input held back) for a loading movie to become
    /// ready. Throws ContentCallException ("IShockwaveFlash::CallFunction")
    /// when no movie is ready or the movie does not answer in time.
    std::string Call_Function(const std::string& request);

    /// 0 before a movie loads, 4 once the current movie is ready.
    int GetReadyState() const { return m_readyState; }
    void SetCallTimeout(std::chrono::milliseconds timeout) { m_callTimeout = timeout; }

signals:
    void ReadyStateChanged(int state);

protected:
    const char* ShowWindowContext() const override { return "Web::FlashWindow::OnShowWindow"; }

private:
    void OnReadyStateChange(const QString& nonce, int state);
    QString BootstrapScript() const;
    void RequireControl() const;

    class MoviePage;
    MoviePage* m_moviePage = nullptr;
    QUrl m_movieUrl;
    QString m_nonce;
    std::string m_flashVars;
    std::optional<std::uint32_t> m_background;
    int m_readyState = 0;
    bool m_loading = false;
    std::chrono::milliseconds m_callTimeout = kCallTimeout;
};

} // namespace Web

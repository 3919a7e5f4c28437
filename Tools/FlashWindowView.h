#pragma once
// A movie placed on a screen: a child widget of the screen owning one movie
// window. It logs the movie's failures, shows the movie when it is ready and
// turns a left press on it into the screen's click message, carrying the
// values given with SetAvatar.
//
// The screen receives messages through a UI::MessageTarget: the one given to
// CreateClientWindow, or else the parent widget itself when it is one.

#include "Tools/ContentWindowListener.h"
#include "Tools/FlashWindow.h"
#include "common/UI/MessageTarget.h"
#include "webapi/AvatarView.h"

#include <QRect>
#include <QWidget>
#include <cstdint>
#include <string>

namespace Glm {

class FlashWindowView : public AvatarView, public Web::ContentWindowListener {
public:
    FlashWindowView() = default;
    ~FlashWindowView() override;
    FlashWindowView(const FlashWindowView&) = delete;
    FlashWindowView& operator=(const FlashWindowView&) = delete;

    /// Creates the view at rect in parent and its movie window filling it
    /// (an earlier view of this object is destroyed first). Throws
    /// Web::CantCreateFlashWindowException when the engine cannot be set up.
    void CreateClientWindow(QWidget* parent, const QRect& rect,
                            UI::MessageTarget* parentTarget = nullptr) override;
    /// With non-empty flashVars: keeps the click values and gives the movie
    /// its FlashVars and background colour (0xRRGGBB). Empty flashVars
    /// change nothing. Requires a created view.
    void SetAvatar(UI::WPARAM wParam, const std::string& flashVars, UI::LPARAM lParam,
                   std::uint32_t clickMessage, std::uint32_t backgroundColor) override;
    /// Plays the movie file at path; an empty path does nothing.
    void LoadUrl(const std::string& path) override;
    /// Calls a function of the movie (see Web::FlashWindow::Call_Function).
    std::string CallFunction(const std::string& request);
    /// The player's major version in decimal, "" when there is no movie
    /// window.
    std::string GetFlashOCXObjectVersion();
    /// Destroys the movie window and the view; no listener call follows.
    void DestroyClientWindow();

    QWidget* GetWindow() const { return m_window; }
    Web::FlashWindow* GetFlashWindow() const { return m_flash; }

    void OnContentReady(Web::ContentWindow* window) override;
    void OnContentError(Web::ContentWindow* window, const std::string& error) override;
    void OnContentClick(Web::ContentWindow* window, int clicks) override;

private:
    void CreateFlashWindow();
    void DestroyFlashWindow();

    // Plain pointers, cleared by the widgets' destroyed signals: the parent
    // may delete the view first.
    QWidget* m_window = nullptr;
    Web::FlashWindow* m_flash = nullptr;
    UI::MessageTarget* m_parentTarget = nullptr;
    std::uint32_t m_clickMessage = 0;
    UI::WPARAM m_wParam = 0;
    UI::LPARAM m_lParam = 0;
};

} // namespace Glm

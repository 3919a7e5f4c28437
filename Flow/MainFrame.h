#pragma once
// The frame window: frameless, 750 by 500, shaped by "BACKGROUND_MASK". It
// owns every screen and popup and decides which is visible: screens, popups
// and workers send it the application's messages, and it dispatches them
// through one table of message numbers into which screens plug.

#include "common/UI/QtMessageTarget.h"

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace Glm {

class CGLMCongratsDlg;
class CGLMErrorDlg;
class CGLMQuickPhraseDlg;
class CGLMSplashDlg;
class Glimmeries;
class SkinnedPopup;
class SkinnedScreen;
class TrayIcon;

/// How a press-and-drag moves a window.
enum class WindowMove {
    /// The window system moves it with the pointer (its own move).
    System,
    /// The window follows the pointer by itself: the window system has no
    /// move of its own for it (an X server without a window manager).
    Following,
    /// Neither: the window system has no move for this press and does not
    /// let a window place itself (a Wayland compositor without a pointer).
    None
};

class MainFrame : public QWidget {
public:
    static constexpr int kWidth = 750;
    static constexpr int kHeight = 500;
    using Handler = std::function<UI::LRESULT(const UI::Message&)>;

    explicit MainFrame(Glimmeries& application);
    ~MainFrame() override;

    /// Where screens, popups and workers send the frame's messages.
    UI::MessageTarget& Target() { return m_target; }
    /// Installs (or replaces) the handler of one message number.
    void SetHandler(std::uint32_t message, Handler handler);
    /// Runs the handler of the message; 0 for a number nobody handles.
    UI::LRESULT Dispatch(const UI::Message& message);
    /// Sees every message before its handler (for tests and tracing).
    void SetObserver(std::function<void(const UI::Message&)> observer) { m_observer = std::move(observer); }

    CGLMSplashDlg* GetSplash() { return m_splash.get(); }
    TrayIcon* GetTray() { return m_tray.get(); }
    bool IsMaskApplied() const { return m_maskApplied; }
    bool IsClosed() const { return m_closed; }
    std::uint32_t GetErrorId() const { return m_errorId; }
    std::uint32_t GetCongratsId() const { return m_congratsId; }
    /// The innermost popup that is open, or null.
    SkinnedPopup* GetOpenPopup() { return m_openPopups.empty() ? nullptr : m_openPopups.back(); }
    /// The error popup of the last opening, null until the first error.
    CGLMErrorDlg* GetErrorPopup() { return m_errorPopup.get(); }
    bool IsErrorPopupOpen() const { return m_errorPopupOpen; }

    /// The screen with that dialog number, null when it has not been
    /// created (yet, or because its class does not exist).
    SkinnedScreen* FindScreen(int dialogId);
    template <class T>
    T* GetScreen(int dialogId) {
        return dynamic_cast<T*>(FindScreen(dialogId));
    }
    /// The screen with that dialog number, created on first use; null (and
    /// logged once) when there is no such screen or it cannot be created.
    SkinnedScreen* CreateScreen(int dialogId);
    /// Runs the screen's show step and shows it, hiding every other screen:
    /// at most one screen is visible. When the show step itself led
    /// somewhere else (an error whose close showed another screen), that
    /// other screen stays and this one is not shown. Null when the screen
    /// does not exist.
    SkinnedScreen* ShowScreen(int dialogId);
    /// The visible screen, or null.
    SkinnedScreen* GetVisibleScreen();
    /// Starts moving window (the frame or a popup) with the pointer pressed at
    /// globalPosition; how it moves is logged the first time.
    WindowMove BeginMove(QWidget& window, const QPointF& globalPosition);
    /// The pointer moved with the button held: a following window follows.
    void ContinueMove(const QPointF& globalPosition);
    void EndMove();
    /// Whether popups lie inside the frame instead of in windows of their
    /// own: where the window system cannot place a window over another
    /// (Wayland), so they always cover the frame exactly.
    static bool PopupsInsideFrame();
    /// Overrides that choice for frames made from now on (to run one
    /// platform's way on another); nullopt restores the platform's choice.
    static void SetPopupsInsideFrame(std::optional<bool> inside);

    /// Whether the toy in use is there for a popup that needs it: the
    /// placeholder toy for the two no-toy actions, else a listed toy with
    /// that device id that is present.
    bool IsToyInUsePresent();

protected:
    void closeEvent(QCloseEvent* event) override;
    /// Tab reaching the frame itself (nothing focused yet) enters the open
    /// popup or the visible screen.
    bool focusNextPrevChild(bool next) override;

private:
    void InstallHandlers();
    void InstallScreenHandlers();
    /// The popups of the task screens (friendships, charms, points, set-up).
    void InstallPopupHandlers();
    /// Sends 153 and returns false when the toy in use is gone.
    bool GuardToyInUse();
    /// Passes message on to the screen; logged once and 0 when the screen
    /// does not exist.
    UI::LRESULT PassOn(int dialogId, const UI::Message& message);
    /// Writes what to the log the first time only.
    void LogUnhandledOnce(const std::string& what);
    /// Creates the screens made at start whose classes exist; false when one
    /// of them could not be created.
    bool CreateStartScreens();
    UI::LRESULT OnStart();
    UI::LRESULT OnStartScreens();
    UI::LRESULT OnTrayCommand(UI::WPARAM command);
    /// Makes stringId the error and opens the error popup with its text,
    /// returning once the user has closed it. When the popup is already open
    /// it keeps its text and only its follow-up action takes the new id;
    /// false then.
    bool OnError(std::uint32_t stringId);
    UI::LRESULT OnHideAll(UI::WPARAM keep);
    int OpenPopup(SkinnedPopup& popup);

    Glimmeries& m_application;
    UI::QtMessageTarget m_target;
    std::unordered_map<std::uint32_t, Handler> m_handlers;
    // Destroyed before the frame's QWidget base, which would otherwise
    // delete them as children a second time.
    std::map<int, std::unique_ptr<SkinnedScreen>> m_screens;
    std::set<std::string> m_loggedUnhandled;
    // Counts ShowScreen and hide-all calls, so a show step can tell that it
    // was overtaken.
    unsigned m_showGeneration = 0;
    std::function<void(const UI::Message&)> m_observer;
    std::unique_ptr<CGLMSplashDlg> m_splash;
    std::unique_ptr<TrayIcon> m_tray;
    std::unique_ptr<CGLMQuickPhraseDlg> m_quickPhrasePopup;
    std::unique_ptr<CGLMCongratsDlg> m_congratsPopup;
    std::unique_ptr<CGLMErrorDlg> m_errorPopup;
    // Popups made at their first opening and kept, by their show message.
    std::map<std::uint32_t, std::unique_ptr<SkinnedPopup>> m_keptPopups;
    bool m_errorPopupOpen = false;
    // Open popups, outermost first: each runs a modal loop nested in the
    // one before it.
    std::vector<SkinnedPopup*> m_openPopups;
    std::uint32_t m_errorId = 0;
    std::uint32_t m_congratsId = 0;
    bool m_maskApplied = false;
    bool m_closed = false;
    // The window being moved by following the pointer, and where the
    // pointer holds it.
    QPointer<QWidget> m_following;
    QPoint m_grip;
    std::set<WindowMove> m_loggedMoves;
};

} // namespace Glm

#pragma once
// The frame window: frameless, 750 by 500, shaped by "BACKGROUND_MASK". It
// owns every screen and popup and decides which is visible: screens, popups
// and workers send it the application's messages, and it dispatches them
// through one table of message numbers into which screens plug.

#include "common/UI/QtMessageTarget.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>

namespace Glm {

class CGLMCongratsDlg;
class CGLMErrorDlg;
class CGLMQuickPhraseDlg;
class CGLMSplashDlg;
class Glimmeries;
class SkinnedPopup;
class TrayIcon;

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
    /// The popup that is open, or null.
    SkinnedPopup* GetOpenPopup() { return m_openPopup; }
    /// The error popup, null until the first error.
    CGLMErrorDlg* GetErrorPopup() { return m_errorPopup.get(); }
    bool IsErrorPopupOpen() const { return m_errorPopupOpen; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void InstallHandlers();
    UI::LRESULT OnStart();
    UI::LRESULT OnStartScreens();
    UI::LRESULT OnDeviceChange(const UI::Message& message);
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
    std::function<void(const UI::Message&)> m_observer;
    std::unique_ptr<CGLMSplashDlg> m_splash;
    std::unique_ptr<TrayIcon> m_tray;
    std::unique_ptr<CGLMQuickPhraseDlg> m_quickPhrasePopup;
    std::unique_ptr<CGLMCongratsDlg> m_congratsPopup;
    std::unique_ptr<CGLMErrorDlg> m_errorPopup;
    bool m_errorPopupOpen = false;
    SkinnedPopup* m_openPopup = nullptr;
    std::uint32_t m_errorId = 0;
    std::uint32_t m_congratsId = 0;
    bool m_maskApplied = false;
    bool m_closed = false;
};

} // namespace Glm

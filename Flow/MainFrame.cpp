#include "MainFrame.h"

#include "GLMCongratsDlg.h"
#include "GLMErrorDlg.h"
#include "GLMQuickPhraseDlg.h"
#include "GLMSplashDlg.h"
#include "Glimmeries.h"
#include "KeyboardAccess.h"
#include "MaskImage.h"
#include "ScreenIds.h"
#include "SkinnedScreen.h"
#include "TrayIcon.h"
#include "common/Mod/Mod.h"
#include "common/UI/Messages.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QWindow>
#include <algorithm>

namespace Glm {

namespace {

QString LoadQString(std::uint32_t id) {
    try {
        return QString::fromStdString(Mod::LoadString(id));
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::MainFrame::LoadQString");
        return {};
    }
}

// Set only by SetPopupsInsideFrame, on the user-interface thread.
std::optional<bool> g_popupsInsideFrame;

constexpr std::uint32_t kTitleString = 103;
constexpr std::uint32_t kStartErrorString = 175;

} // namespace

MainFrame::MainFrame(Glimmeries& application)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_application(application),
      m_target([this](const UI::Message& message) { return Dispatch(message); }) {
    setFixedSize(kWidth, kHeight);
    if (PopupsInsideFrame()) {
        // A Wayland compositor does not cut windows to a shape (the mask
        // only decides where clicks land): the frame is drawn see-through
        // outside the mask instead.
        setAttribute(Qt::WA_TranslucentBackground);
    }
    setWindowTitle(LoadQString(kTitleString));
    QIcon icon;
    icon.addFile(QStringLiteral(":/res/ICON/128_32"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/res/ICON/128_16"), QSize(16, 16));
    setWindowIcon(icon);
    InstallHandlers();
}

MainFrame::~MainFrame() {
    // Toy discovery outlives the frame; its changes wait for the next one.
    m_application.DetachToyDiscovery(m_target);
    // Screens go before the popups and the splash they may still refer to.
    m_screens.clear();
    // The splash goes with the frame: the worker must stop reporting to it.
    m_application.GetStartupWorker().ShutDown();
    m_tray.reset();
}

void MainFrame::SetHandler(std::uint32_t message, Handler handler) {
    m_handlers[message] = std::move(handler);
}

UI::LRESULT MainFrame::Dispatch(const UI::Message& message) {
    if (m_observer) {
        m_observer(message);
    }
    const auto found = m_handlers.find(message.id);
    if (found == m_handlers.end()) {
        LogUnhandledOnce("Message " + std::to_string(message.id) + " ignored: no handler");
        return 0;
    }
    return found->second(message);
}

void MainFrame::InstallHandlers() {
    using UI::Message;
    SetHandler(UI::WM_GLM_START, [this](const Message&) { return OnStart(); });
    SetHandler(UI::WM_GLM_SHOW_SPLASH, [this](const Message&) -> UI::LRESULT {
        if (m_splash) {
            m_splash->show();
        }
        return 0;
    });
    SetHandler(UI::WM_GLM_START_SCREENS, [this](const Message&) { return OnStartScreens(); });
    SetHandler(UI::WM_GLM_TRAY_COMMAND,
               [this](const Message& message) { return OnTrayCommand(message.wParam); });
    SetHandler(UI::WM_CLOSE, [this](const Message&) -> UI::LRESULT {
        close();
        return 0;
    });
    SetHandler(UI::WM_GLM_CONNECT_ERROR, [this](const Message&) -> UI::LRESULT {
        OnError(174);
        return 0;
    });
    SetHandler(UI::WM_GLM_RESPONSE_ERROR, [this](const Message&) -> UI::LRESULT {
        OnError(177);
        return 0;
    });
    SetHandler(UI::WM_GLM_DEVICE_ERROR, [this](const Message&) -> UI::LRESULT {
        OnError(182);
        return 0;
    });
    SetHandler(UI::WM_GLM_FLASH_UPDATE, [this](const Message&) -> UI::LRESULT {
        OnError(184);
        return 0;
    });
    SetHandler(UI::WM_GLM_SHOW_ERROR, [this](const Message& message) -> UI::LRESULT {
        OnError(static_cast<std::uint32_t>(message.wParam));
        return 0;
    });
    SetHandler(UI::WM_GLM_START_ERROR, [this](const Message&) -> UI::LRESULT {
        // When a popup was already open, its own close decides what happens.
        if (OnError(kStartErrorString)) {
            m_target.Send(UI::WM_CLOSE);
        }
        return 0;
    });
    SetHandler(UI::WM_GLM_SHOW_QUICKPHRASE_POPUP, [this](const Message&) -> UI::LRESULT {
        if (!m_quickPhrasePopup) {
            m_quickPhrasePopup = std::make_unique<CGLMQuickPhraseDlg>(m_application, *this);
        }
        OpenPopup(*m_quickPhrasePopup);
        return 0;
    });
    SetHandler(UI::WM_GLM_SHOW_CONGRATS, [this](const Message& message) -> UI::LRESULT {
        m_congratsId = static_cast<std::uint32_t>(message.wParam);
        if (!m_congratsPopup) {
            m_congratsPopup = std::make_unique<CGLMCongratsDlg>(m_application, *this);
        }
        if (!m_congratsPopup->isVisible()) {
            m_congratsPopup->SetStringId(m_congratsId);
            OpenPopup(*m_congratsPopup);
        }
        return 0;
    });
    SetHandler(UI::WM_GLM_HIDE_ALL, [this](const Message& message) { return OnHideAll(message.wParam); });
    // Toy discovery reports to the frame, which hands every change to the
    // devices screen, visible or not: it keeps the application's toy list.
    SetHandler(UI::WM_GLM_DEVICE_CHANGE,
               [this](const Message& message) { return PassOn(ScreenId::kDevices, message); });
    InstallScreenHandlers();
}

UI::LRESULT MainFrame::OnStart() {
    if (!m_splash) {
        auto splash = std::make_unique<CGLMSplashDlg>(m_application, *this);
        if (!splash->Create()) {
            return 0;
        }
        m_splash = std::move(splash);
    }
    MaskImage mask("BACKGROUND_MASK");
    m_maskApplied = mask.ApplyTo(this);
    m_target.Send(UI::WM_GLM_SHOW_SPLASH);
    m_application.GetStartupWorker().Start(m_splash->Target());
    return 0;
}

UI::LRESULT MainFrame::OnStartScreens() {
    m_tray = std::make_unique<TrayIcon>();
    if (!m_tray->Create(m_target, windowIcon(), LoadQString(kTitleString))) {
        // GNOME and most Wayland compositors have none by default.
        m_application.GetLogger().Log("No notification area: hiding the window minimises it");
    }
    m_tray->SetMenu(UI::WM_GLM_TRAY_COMMAND, UI::ID_TRAY_SHOW);
    m_tray->EnableItem(UI::ID_TRAY_HIDE, true);
    m_tray->EnableItem(UI::ID_TRAY_SHOW, false);
    if (!CreateStartScreens()) {
        // Nothing is shown; the tray icon stays so the user can exit.
        return 0;
    }
    m_target.Send(UI::WM_GLM_SHOW_DEVICES);
    m_application.StartToyDiscovery(m_target);
    return 0;
}

UI::LRESULT MainFrame::OnTrayCommand(UI::WPARAM command) {
    switch (command) {
    case UI::ID_TRAY_SHOW:
        if (m_tray && m_tray->IsHidden()) {
            m_tray->ShowOwner(this);
            m_tray->EnableItem(UI::ID_TRAY_HIDE, true);
            m_tray->EnableItem(UI::ID_TRAY_SHOW, false);
        } else {
            // Already on screen (or asked by a second instance): bring it
            // to the front.
            raise();
            activateWindow();
        }
        if (m_application.GetStartupWorker().ShouldGetPatch()) {
            OnError(CGLMErrorDlg::kUpdateExitString);
        }
        break;
    case UI::ID_TRAY_HIDE:
        if (m_tray) {
            m_tray->HideOwner(this);
            m_tray->EnableItem(UI::ID_TRAY_SHOW, true);
            m_tray->EnableItem(UI::ID_TRAY_HIDE, false);
        }
        break;
    case UI::ID_TRAY_EXIT:
        if (m_tray) {
            m_tray->Remove();
        }
        m_target.Send(UI::WM_CLOSE);
        break;
    default:
        break;
    }
    return 0;
}

bool MainFrame::OnError(std::uint32_t stringId) {
    m_errorId = stringId;
    std::string text;
    try {
        text = Mod::LoadString(stringId, 1024);
    } catch (Ex::Exception&) {
        text = "(string " + std::to_string(stringId) + ")";
    }
    // The log keeps every error the user was shown, also those that only
    // changed the open popup's follow-up.
    m_application.GetLogger().Log("Error popup " + std::to_string(stringId) + ": " + text);
    if (!m_errorPopup) {
        m_errorPopup = std::make_unique<CGLMErrorDlg>(m_application, *this);
    }
    m_errorPopup->SetMessageId(stringId);
    if (m_errorPopupOpen) {
        return false;
    }
    m_errorPopupOpen = true;
    OpenPopup(*m_errorPopup);
    m_errorPopupOpen = false;
    return true;
}

int MainFrame::OpenPopup(SkinnedPopup& popup) {
    // A popup asked for while it is open stays as it is: running it again
    // would rebuild the controls under its own modal loop.
    if (std::find(m_openPopups.begin(), m_openPopups.end(), &popup) != m_openPopups.end()) {
        return SkinnedPopup::kCancel;
    }
    m_openPopups.push_back(&popup);
    const int result = popup.DoModal();
    m_openPopups.pop_back();
    return result;
}

bool MainFrame::PopupsInsideFrame() {
    if (g_popupsInsideFrame.has_value()) {
        return *g_popupsInsideFrame;
    }
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void MainFrame::SetPopupsInsideFrame(std::optional<bool> inside) {
    g_popupsInsideFrame = inside;
}

WindowMove MainFrame::BeginMove(QWidget& window, const QPointF& globalPosition) {
    m_following = nullptr;
    WindowMove how = WindowMove::None;
    if (window.windowHandle() != nullptr && window.windowHandle()->startSystemMove()) {
        how = WindowMove::System;
    } else if (!PopupsInsideFrame()) {
        m_following = &window;
        m_grip = globalPosition.toPoint() - window.pos();
        how = WindowMove::Following;
    }
    if (m_loggedMoves.insert(how).second) {
        static const char* const kHow[] = {
            "Window move: the window system moves the window",
            "Window move: the window system has no move of its own; the window follows the pointer",
            "Window move: the window system has no move for this press; the window stays"};
        m_application.GetLogger().Log(kHow[static_cast<int>(how)]);
    }
    return how;
}

void MainFrame::ContinueMove(const QPointF& globalPosition) {
    if (m_following != nullptr) {
        m_following->move(globalPosition.toPoint() - m_grip);
    }
}

void MainFrame::EndMove() {
    m_following = nullptr;
}

bool MainFrame::focusNextPrevChild(bool next) {
    if (SkinnedPopup* popup = GetOpenPopup(); popup != nullptr && !popup->isWindow()) {
        return MoveFocusInReadingOrder(*popup, next);
    }
    if (SkinnedScreen* screen = GetVisibleScreen()) {
        return MoveFocusInReadingOrder(*screen, next);
    }
    return QWidget::focusNextPrevChild(next);
}

void MainFrame::closeEvent(QCloseEvent* event) {
    m_closed = true;
    m_tray.reset();
    event->accept();
    QCoreApplication::exit(1);
}

} // namespace Glm

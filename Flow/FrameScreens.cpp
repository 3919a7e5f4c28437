// The frame's screens: which message shows, creates or passes on to which
// screen, the guarded popups and the end of every popup.

#include "GLMBraceletMsgDlg.h"
#include "GLMCharmsCollectionDlg.h"
#include "GLMCharmsUploadDlg.h"
#include "GLMDeviceResetDlg.h"
#include "GLMDevicesDlg.h"
#include "GLMFriendshipUploadDlg.h"
#include "GLMGlintsRedeemDlg.h"
#include "GLMGlintsUploadDlg.h"
#include "GLMLoginDlg.h"
#include "GLMSignUpDlg.h"
#include "GLMSplashDlg.h"
#include "GLMTutorialDlg.h"
#include "GLMWelcomeDlg.h"
#include "Glimmeries.h"
#include "MainFrame.h"
#include "ScreenIds.h"
#include "SkinnedPopup.h"
#include "SkinnedScreen.h"
#include "common/UI/Messages.h"

namespace Glm {

namespace ScreenId {

int ForShowMessage(std::uint32_t message) {
    switch (message) {
    case UI::WM_GLM_SHOW_DEVICES:
        return kDevices;
    case UI::WM_GLM_SHOW_DEVICE_RESET:
        return kDeviceReset;
    case UI::WM_GLM_SHOW_SIGN_IN:
        return kSignIn;
    case UI::WM_GLM_SHOW_SIGN_UP:
        return kSignUp;
    case UI::WM_GLM_SCREEN_DONE:
        return kMainMenu;
    case UI::WM_GLM_SHOW_CHARM_COLLECTION:
        return kCharmCollection;
    case UI::WM_GLM_SHOW_BRACELET_SETUP:
        return kBraceletSetup;
    case UI::WM_GLM_SHOW_FRIENDSHIP_UPLOAD:
        return kFriendshipUpload;
    case UI::WM_GLM_SHOW_CHARM_UPLOAD:
        return kCharmUpload;
    case UI::WM_GLM_SHOW_GLINT_UPLOAD:
        return kGlintUpload;
    case UI::WM_GLM_SHOW_GLINT_REDEEM:
        return kGlintRedeem;
    case UI::WM_GLM_SHOW_TUTORIAL:
        return kTutorial;
    default:
        return 0;
    }
}

} // namespace ScreenId

namespace {

std::string ScreenText(int dialogId) {
    return "Screen " + std::to_string(dialogId) + " is not available";
}

std::string MessageText(std::uint32_t message, const std::string& why) {
    return "Message " + std::to_string(message) + " ignored: " + why;
}

/// The screen class of a dialog number; null for a screen this program does
/// not have.
std::unique_ptr<SkinnedScreen> MakeScreen(int dialogId, Glimmeries& application, MainFrame& frame) {
    switch (dialogId) {
    case ScreenId::kDevices:
        return std::make_unique<CGLMDevicesDlg>(application, frame);
    case ScreenId::kSignIn:
        return std::make_unique<CGLMLoginDlg>(application, frame);
    case ScreenId::kSignUp:
        return std::make_unique<CGLMSignUpDlg>(application, frame);
    case ScreenId::kMainMenu:
        return std::make_unique<CGLMWelcomeDlg>(application, frame);
    case ScreenId::kTutorial:
        return std::make_unique<GLMTutorialDlg>(application, frame);
    case ScreenId::kGlintUpload:
        return std::make_unique<CGLMGlintsUploadDlg>(application, frame);
    case ScreenId::kGlintRedeem:
        return std::make_unique<CGLMGlintsRedeemDlg>(application, frame);
    case ScreenId::kCharmUpload:
        return std::make_unique<CGLMCharmsUploadDlg>(application, frame);
    case ScreenId::kCharmCollection:
        return std::make_unique<GLMCharmsCollectionDlg>(application, frame);
    case ScreenId::kFriendshipUpload:
        return std::make_unique<CGLMFriendshipUploadDlg>(application, frame);
    case ScreenId::kDeviceReset:
        return std::make_unique<CGLMDeviceResetDlg>(application, frame);
    case ScreenId::kBraceletSetup:
        return std::make_unique<CGLMBraceletMsgDlg>(application, frame);
    default:
        return nullptr;
    }
}

} // namespace

SkinnedScreen* MainFrame::FindScreen(int dialogId) {
    const auto found = m_screens.find(dialogId);
    return found == m_screens.end() ? nullptr : found->second.get();
}

SkinnedScreen* MainFrame::CreateScreen(int dialogId) {
    if (SkinnedScreen* screen = FindScreen(dialogId)) {
        return screen;
    }
    std::unique_ptr<SkinnedScreen> screen = MakeScreen(dialogId, m_application, *this);
    if (!screen) {
        LogUnhandledOnce(ScreenText(dialogId));
        return nullptr;
    }
    if (!screen->Create()) {
        m_application.GetLogger().Log("Screen " + std::to_string(dialogId) + " could not be created");
        return nullptr;
    }
    SkinnedScreen* created = screen.get();
    m_screens.emplace(dialogId, std::move(screen));
    return created;
}

SkinnedScreen* MainFrame::ShowScreen(int dialogId) {
    SkinnedScreen* screen = FindScreen(dialogId);
    if (screen == nullptr) {
        LogUnhandledOnce(ScreenText(dialogId));
        return nullptr;
    }
    const unsigned generation = ++m_showGeneration;
    // A screen that is up already is not shown again, and its show step
    // does not run again.
    if (screen->isHidden()) {
        screen->OnShow();
        if (generation != m_showGeneration) {
            // The show step led elsewhere (an error whose close went back to
            // the devices screen): that screen stays the visible one.
            return screen;
        }
    }
    for (auto& [id, other] : m_screens) {
        if (other.get() != screen && !other->isHidden()) {
            other->hide();
        }
    }
    screen->show();
    screen->raise();
    return screen;
}

SkinnedScreen* MainFrame::GetVisibleScreen() {
    for (auto& [id, screen] : m_screens) {
        if (!screen->isHidden()) {
            return screen.get();
        }
    }
    return nullptr;
}

bool MainFrame::IsToyInUsePresent() {
    const std::int32_t current = m_application.GetCurrentDevice();
    if (current == 106 || current == 107) {
        return true;
    }
    if (current < 0) {
        return false;
    }
    const std::optional<Toy> toy = m_application.GetToys().Find(static_cast<std::uint32_t>(current));
    return toy.has_value() && toy->IsPresent();
}

bool MainFrame::GuardToyInUse() {
    if (IsToyInUsePresent()) {
        return true;
    }
    m_target.Send(UI::WM_GLM_SHOW_ERROR, 153);
    return false;
}

UI::LRESULT MainFrame::PassOn(int dialogId, const UI::Message& message) {
    SkinnedScreen* screen = FindScreen(dialogId);
    if (screen == nullptr) {
        LogUnhandledOnce(MessageText(message.id, ScreenText(dialogId)));
        return 0;
    }
    return screen->OnFrameMessage(message);
}

void MainFrame::LogUnhandledOnce(const std::string& what) {
    if (m_loggedUnhandled.insert(what).second) {
        m_application.GetLogger().Log(what);
    }
}

bool MainFrame::CreateStartScreens() {
    for (const int dialogId : {ScreenId::kDevices, ScreenId::kDeviceReset, ScreenId::kSignIn,
                               ScreenId::kSignUp, ScreenId::kMainMenu, ScreenId::kCharmCollection}) {
        if (FindScreen(dialogId) != nullptr) {
            continue;
        }
        std::unique_ptr<SkinnedScreen> screen = MakeScreen(dialogId, m_application, *this);
        if (!screen) {
            LogUnhandledOnce(ScreenText(dialogId));
            continue;
        }
        if (!screen->Create()) {
            m_application.GetLogger().Log("Screen " + std::to_string(dialogId) + " could not be created");
            return false;
        }
        m_screens.emplace(dialogId, std::move(screen));
    }
    return true;
}

UI::LRESULT MainFrame::OnHideAll(UI::WPARAM keep) {
    ++m_showGeneration;
    if (m_splash && keep != UI::WM_GLM_SHOW_SPLASH) {
        m_splash->hide();
    }
    const int kept = ScreenId::ForShowMessage(static_cast<std::uint32_t>(keep));
    for (auto& [id, screen] : m_screens) {
        if (id != kept && !screen->isHidden()) {
            screen->hide();
        }
    }
    // Innermost first; each ends its own modal loop as the stack unwinds.
    for (auto popup = m_openPopups.rbegin(); popup != m_openPopups.rend(); ++popup) {
        (*popup)->EndDialog(SkinnedPopup::kCancel);
    }
    return 0;
}

void MainFrame::InstallScreenHandlers() {
    using UI::Message;
    const auto show = [this](std::uint32_t message) {
        SetHandler(message, [this, message](const Message&) -> UI::LRESULT {
            ShowScreen(ScreenId::ForShowMessage(message));
            return 0;
        });
    };
    for (const std::uint32_t message :
         {UI::WM_GLM_SHOW_DEVICES, UI::WM_GLM_SHOW_DEVICE_RESET, UI::WM_GLM_SHOW_FRIENDSHIP_UPLOAD,
          UI::WM_GLM_SHOW_CHARM_UPLOAD, UI::WM_GLM_SHOW_GLINT_UPLOAD, UI::WM_GLM_SHOW_TUTORIAL,
          UI::WM_GLM_SCREEN_DONE}) {
        show(message);
    }
    SetHandler(UI::WM_GLM_SHOW_SIGN_IN, [this](const Message&) -> UI::LRESULT {
        if (ShowScreen(ScreenId::kSignIn) != nullptr) {
            activateWindow();
        }
        return 0;
    });
    SetHandler(UI::WM_GLM_SHOW_SIGN_UP, [this](const Message&) -> UI::LRESULT {
        auto* signIn = GetScreen<CGLMLoginDlg>(ScreenId::kSignIn);
        auto* signUp = GetScreen<CGLMSignUpDlg>(ScreenId::kSignUp);
        if (signIn != nullptr && signUp != nullptr) {
            signUp->SetAccountId(signIn->GetAccountId());
        }
        ShowScreen(ScreenId::kSignUp);
        return 0;
    });
    SetHandler(UI::WM_GLM_SHOW_CHARM_COLLECTION, [this](const Message&) -> UI::LRESULT {
        if (SkinnedScreen* upload = FindScreen(ScreenId::kCharmUpload)) {
            upload->hide();
        }
        ShowScreen(ScreenId::kCharmCollection);
        return 0;
    });
    SetHandler(UI::WM_GLM_SHOW_GLINT_REDEEM, [this](const Message&) -> UI::LRESULT {
        if (SkinnedScreen* upload = FindScreen(ScreenId::kGlintUpload)) {
            upload->hide();
        }
        ShowScreen(ScreenId::kGlintRedeem);
        return 0;
    });
    // The bracelet set-up screen takes its mode (lParam) from the message
    // before it is shown.
    SetHandler(UI::WM_GLM_SHOW_BRACELET_SETUP, [this](const Message& message) -> UI::LRESULT {
        if (FindScreen(ScreenId::kBraceletSetup) == nullptr) {
            LogUnhandledOnce(MessageText(message.id, ScreenText(ScreenId::kBraceletSetup)));
            return 0;
        }
        PassOn(ScreenId::kBraceletSetup, message);
        ShowScreen(ScreenId::kBraceletSetup);
        return 0;
    });

    // Screens created on first use.
    const auto open = [this](std::uint32_t message, int dialogId, std::uint32_t showMessage) {
        SetHandler(message, [this, dialogId, showMessage](const Message& received) -> UI::LRESULT {
            if (CreateScreen(dialogId) != nullptr) {
                m_target.Send(showMessage, received.wParam, received.lParam);
            }
            return 0;
        });
    };
    open(UI::WM_GLM_OPEN_BRACELET_SETUP, ScreenId::kBraceletSetup, UI::WM_GLM_SHOW_BRACELET_SETUP);
    open(UI::WM_GLM_OPEN_FRIENDSHIP_UPLOAD, ScreenId::kFriendshipUpload, UI::WM_GLM_SHOW_FRIENDSHIP_UPLOAD);
    open(UI::WM_GLM_OPEN_CHARM_UPLOAD, ScreenId::kCharmUpload, UI::WM_GLM_SHOW_CHARM_UPLOAD);
    open(UI::WM_GLM_OPEN_GLINT_UPLOAD, ScreenId::kGlintUpload, UI::WM_GLM_SHOW_GLINT_UPLOAD);
    open(UI::WM_GLM_OPEN_GLINT_REDEEM, ScreenId::kGlintRedeem, UI::WM_GLM_SHOW_GLINT_REDEEM);
    open(UI::WM_GLM_OPEN_TUTORIAL, ScreenId::kTutorial, UI::WM_GLM_SHOW_TUTORIAL);

    // Passed on unchanged to the screen they continue.
    const auto passOn = [this](std::uint32_t message, int dialogId) {
        SetHandler(message, [this, dialogId](const Message& received) { return PassOn(dialogId, received); });
    };
    passOn(UI::WM_GLM_FRIENDSHIP_NEXT, ScreenId::kFriendshipUpload);
    passOn(UI::WM_GLM_CHARM_NEXT, ScreenId::kCharmUpload);
    passOn(UI::WM_GLM_GLINT_UPLOAD_NEXT, ScreenId::kGlintUpload);
    passOn(UI::WM_GLM_GLINT_REDEEM_NEXT, ScreenId::kGlintRedeem);
    passOn(UI::WM_GLM_MAIN_MENU_REFRESH, ScreenId::kMainMenu);

    InstallPopupHandlers();
}

} // namespace Glm

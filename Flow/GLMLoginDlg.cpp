#include "GLMLoginDlg.h"

#include "Glimmeries.h"
#include "HyperLink.h"
#include "MainFrame.h"
#include "ScreenLabels.h"
#include "ThinUI/Controls.h"
#include "ThinUI/ResourceImage.h"
#include "Tools/ApplicationParameters.h"
#include "common/Web/ContentWindowExceptions.h"
#include "Tools/FlashWindowView.h"
#include "ToyInUse.h"
#include "common/UI/Messages.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <cstdlib>

namespace Glm {

namespace {

constexpr unsigned kBothEmptyString = 152;
constexpr unsigned kAccountEmptyString = 150;
constexpr unsigned kPasswordEmptyString = 151;
constexpr unsigned kToyGoneString = 153;
constexpr unsigned kSignInRefusedString = 154;
constexpr unsigned kOtherAccountString = 155;
constexpr unsigned kServerErrorString = 194;
constexpr unsigned kSuspendedString = 196;

// The C library's reading of a version: the leading number, 0 without one.
long LeadingNumber(const std::string& text) {
    return std::strtol(text.c_str(), nullptr, 10);
}

QLineEdit* AddEdit(QWidget& screen, int controlId, int x, int y, bool password) {
    auto* edit = new QLineEdit(&screen);
    ThinUI::PlaceControl(edit, &screen, controlId, x, y);
    edit->setFixedSize(99, 13);
    edit->setFrame(false);
    edit->setTextMargins(0, 0, 0, 0);
    QFont font(QStringLiteral("arial"));
    font.setPixelSize(11);
    edit->setFont(font);
    if (password) {
        edit->setEchoMode(QLineEdit::Password);
    }
    return edit;
}

} // namespace

CGLMLoginDlg::CGLMLoginDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedScreen(application, frame, kDialogId,
                    std::make_unique<ThinUI::ResourceImage>("BACKGROUND_SIGNIN", "JPG")),
      m_probe(&CGLMLoginDlg::ReadPlayerVersion) {}

CGLMLoginDlg::~CGLMLoginDlg() = default;

bool CGLMLoginDlg::OnInitDialog() {
    AddTitleButtons({kExitId, kMinimizeId, kHelpId, 0, {}});
    AddButton("SIGNIN_BUTTONS", 3, kSignInId, 333, 335);
    AddButton("TOY_BUTTONS", 3, kDevicesId, 133, 13);
    AddVersionLabel(*this, GetApplication(), kVersionId);

    m_account = AddEdit(*this, kAccountId, 389, 273, false);
    m_password = AddEdit(*this, kPasswordId, 389, 299, true);

    const QFont linkFont = HyperLink::MakeFont(kLinkFontHeight, QFont::Bold);
    const auto addLink = [this, &linkFont](const char* text, int controlId, int x, int y) {
        auto* link = new HyperLink(QString::fromUtf8(text));
        link->SetLinkFont(linkFont);
        link->Attach(this, controlId, x, y);
        return link;
    };
    addLink("Register Now.", kRegisterId, 390, 407);
    addLink("Account ID?", kRecoverAccountId, 335, 423);
    addLink("Password?", kRecoverPasswordId, 406, 423);
    m_resetLink = addLink("Reset Your Toy", kResetToyId, 333, 439);
    return true;
}

std::string CGLMLoginDlg::GetAccountId() const {
    return m_account != nullptr ? m_account->text().toStdString() : std::string();
}

void CGLMLoginDlg::OnShow() {
    const std::optional<Toy> toy = FindToyInUse(GetApplication());
    const bool offerReset = toy.has_value() && toy->IsPresent() && toy->GetType() != 0 && IsRegistered(*toy);
    m_resetLink->setVisible(offerReset);
    m_account->setFocus();
    GetApplication().Report("LoginReg");
    CheckPlayerVersion();
}

std::string CGLMLoginDlg::ReadPlayerVersion(QWidget& screen) {
    FlashWindowView view;
    view.CreateClientWindow(&screen, QRect(0, 0, 1, 1));
    std::string version = view.GetFlashOCXObjectVersion();
    view.DestroyClientWindow();
    return version;
}

void CGLMLoginDlg::CheckPlayerVersion() {
    try {
        bool tooOld = false;
        try {
            const std::string installed = m_probe(*this);
            const std::string supported = GetApplication().GetParameter("GLM_SUPPORTED_FLASH_VERSION");
            tooOld = LeadingNumber(installed) < LeadingNumber(supported);
            if (tooOld) {
                Web::CantCreateFlashWindowException e;
                e.Message() << "The movie player's version " << installed << " is older than " << supported;
                throw e;
            }
        } catch (Web::CantCreateFlashWindowException& e) {
            e.AddStackFrame(EX_FRAME);
            e.LogNoThrow("CGLMLoginDlg::OnShowWindow");
            GetFrame().Target().Send(UI::WM_GLM_FLASH_UPDATE);
        }
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("CGLMLoginDlg::OnShowWindow");
    } catch (const std::exception& e) {
        GetApplication().GetLogger().Log(std::string("CGLMLoginDlg::OnShowWindow: ") + e.what());
    }
}

void CGLMLoginDlg::OnCommand(int controlId) {
    Glimmeries& application = GetApplication();
    switch (controlId) {
    case kSignInId:
        OnBnClickedSignIn();
        break;
    case kDevicesId:
        GetFrame().Target().Send(UI::WM_GLM_SHOW_DEVICES);
        hide();
        break;
    case kRegisterId:
        application.OpenUrl(application.GetParameter("GLM_REGISTER_BASE_URL"));
        break;
    case kRecoverAccountId:
        application.OpenUrl(application.GetParameter("GLM_RECOVER_ACCOUNT_ID_URL"));
        break;
    case kRecoverPasswordId:
        application.OpenUrl(application.GetParameter("GLM_RECOVER_PASSWORD_URL"));
        break;
    case kResetToyId:
        GetFrame().Target().Send(UI::WM_GLM_SHOW_DEVICE_RESET);
        hide();
        break;
    default:
        break;
    }
}

void CGLMLoginDlg::keyPressEvent(QKeyEvent* event) {
    // Enter anywhere on the page presses the sign-in button, the page's
    // default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OnBnClickedSignIn();
        return;
    }
    SkinnedScreen::keyPressEvent(event);
}

void CGLMLoginDlg::RaiseError(unsigned stringId) {
    GetFrame().Target().Send(UI::WM_GLM_SHOW_ERROR, stringId);
}

void CGLMLoginDlg::OnBnClickedSignIn() {
    const std::string accountName = GetAccountId();
    const std::string password = m_password->text().toStdString();
    if (accountName.empty() || password.empty()) {
        RaiseError(accountName.empty() && password.empty() ? kBothEmptyString
                   : accountName.empty()                   ? kAccountEmptyString
                                                           : kPasswordEmptyString);
        return;
    }

    Glimmeries& application = GetApplication();
    std::string accountId;
    std::string errorCode;
    if (application.GetWebApi().SignIn(accountName, password, accountId, errorCode) != 0) {
        if (errorCode == "INVALID_ACCOUNT" || errorCode == "INVALID_PASSWORD") {
            RaiseError(kSignInRefusedString);
        } else if (errorCode == "BANNED") {
            application.SetParameter("GLM_BANNED_ACCOUNT_URL",
                                     ApplicationParameters::GetDefault("GLM_BANNED_ACCOUNT_URL") +
                                         accountName);
            RaiseError(kSuspendedString);
        } else {
            RaiseError(kServerErrorString);
        }
        return;
    }

    if (!IsToyInUsePresent(application)) {
        RaiseError(kToyGoneString);
        return;
    }
    if (!CheckToyOwner(accountId)) {
        return;
    }

    std::uint32_t fairies = 0;
    if (application.GetWebApi().GetIDsOfFairies(accountId, fairies) != 0) {
        return;
    }
    GetFrame().Target().Send(fairies == 0 ? UI::WM_GLM_SHOW_SIGN_UP : UI::WM_GLM_SCREEN_DONE);
    hide();
}

bool CGLMLoginDlg::CheckToyOwner(const std::string& accountId) {
    Glimmeries& application = GetApplication();
    const std::optional<Toy> toy = FindToyInUse(application);
    // The placeholder toy has no click id, so it is never checked.
    if (toy->GetClickId() == 0 || toy->IsResetPending()) {
        UpdateToyInUse(application, [&accountId](Toy& used) { used.SetOwnerUserId(accountId); });
        return true;
    }
    std::string registeredUserId;
    std::string errorCode;
    if (application.GetWebApi().ObtainWhoAreThey(static_cast<std::uint32_t>(toy->GetClickId()),
                                                 registeredUserId, errorCode) != 0) {
        RaiseError(kServerErrorString);
        return false;
    }
    UpdateToyInUse(application, [&accountId](Toy& used) {
        used.SetOwnerUserId(accountId);
        used.SetFairyId({});
        used.SetFairyName({});
    });
    if (registeredUserId != accountId) {
        RaiseError(kOtherAccountString);
        return false;
    }
    return true;
}

} // namespace Glm

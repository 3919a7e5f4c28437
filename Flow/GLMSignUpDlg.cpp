#include "GLMSignUpDlg.h"

#include "Glimmeries.h"
#include "HyperLink.h"
#include "MainFrame.h"
#include "ScreenLabels.h"
#include "ThinUI/ResourceImage.h"
#include "ThinUI/StringSource.h"
#include "common/UI/Messages.h"

namespace Glm {

namespace {

constexpr ThinUI::ColorRef kLinkColor = 0x500285;
constexpr ThinUI::ColorRef kVisitedColor = 0x5406E4;

// The string-table text with its "%s" replaced by value.
std::string FormatString(unsigned id, const std::string& value) {
    std::string text = ThinUI::LoadText(id).value_or(std::string());
    const auto mark = text.find("%s");
    if (mark != std::string::npos) {
        text.replace(mark, 2, value);
    }
    return text;
}

} // namespace

CGLMSignUpDlg::CGLMSignUpDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedScreen(application, frame, kDialogId,
                    std::make_unique<ThinUI::ResourceImage>("BACKGROUND_SIGNUP", "JPG")) {}

CGLMSignUpDlg::~CGLMSignUpDlg() = default;

bool CGLMSignUpDlg::OnInitDialog() {
    AddTitleButtons({kExitId, kMinimizeId, kHelpId, 0, {}});
    AddButton("SIGNOUT_BUTTONS", 3, kSignOutId, 88, 14);
    AddButton("START_NOW_BUTTONS", 3, kStartNowId, 326, 300);
    AddButton("FAIRY_BUTTONS", 3, kFairyId, 236, 218);
    AddStaticImage("WELCOME_IMAGE", kWelcomeImageId, 263, 132);

    m_greeting = AddPageLabel(*this, kGreetingId, 297, 228, kGreetingColor, 24);
    AddPageLabel(*this, kCreateFairyTextId, 297, 255, kGreetingColor, 19, kCreateFairyString);
    AddPageLabel(*this, kAlreadyCreatedTextId, 297, 356, kGreetingColor, 14, kAlreadyCreatedString);

    const QFont linkFont = HyperLink::MakeFont(14, QFont::Bold);
    const auto addLink = [this, &linkFont](const QString& text, int controlId, int x, int y, int cx, int cy) {
        auto* link = new HyperLink(text);
        link->SetLinkFont(linkFont);
        link->SetColors(kLinkColor, kVisitedColor, kLinkColor);
        link->Attach(this, controlId, x, y, cx, cy);
        return link;
    };
    addLink(QString::fromStdString(ThinUI::LoadText(kClickHereString).value_or(std::string())), kClickHereId,
            297, 371, 163, 13);
    addLink(QStringLiteral("Register Now."), kRegisterId, 390, 407, 0, 0);
    addLink(QStringLiteral("Account ID?"), kRecoverAccountId, 335, 423, 0, 0);
    addLink(QStringLiteral("Password?"), kRecoverPasswordId, 406, 423, 0, 0);
    return true;
}

void CGLMSignUpDlg::OnShow() {
    m_greeting->SetText(FormatString(kGreetingString, m_accountId));
    GetApplication().Report("LoginRegNoFairies");
}

void CGLMSignUpDlg::OnCommand(int controlId) {
    Glimmeries& application = GetApplication();
    switch (controlId) {
    case kSignOutId:
    case kClickHereId:
        SignOut();
        break;
    case kStartNowId:
        OnBnClickedStartNow();
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
    default:
        // The Fairy picture is a button without an action.
        break;
    }
}

void CGLMSignUpDlg::OnBnClickedStartNow() {
    Glimmeries& application = GetApplication();
    try {
        application.OpenUrl(application.GetParameter("GLM_CREATE_FAIRY_URL"));
        application.Report("ExitToGame");
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("CGLMSignUpDlg::OnBnClickedStartNow");
    } catch (const std::exception& e) {
        application.GetLogger().Log(std::string("CGLMSignUpDlg::OnBnClickedStartNow: ") + e.what());
    }
}

void CGLMSignUpDlg::SignOut() {
    GetApplication().GetWebApi().SignOut();
    GetFrame().Target().Send(UI::WM_GLM_SHOW_SIGN_IN);
    hide();
}

} // namespace Glm

#include "GLMGlintsRedeemCongratsDlg.h"

#include "GLMGlintsFairyViews.h"
#include "Glimmeries.h"
#include "MainFrame.h"
#include "common/Ex/Exceptions.h"
#include "common/UI/Messages.h"

namespace Glm {

CGLMGlintsRedeemCongratsDlg::CGLMGlintsRedeemCongratsDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedPopup(application, frame, kDialogId) {}

void CGLMGlintsRedeemCongratsDlg::OnInitDialog() {
    AddStaticImage("POPUP_CONGRATS", kHeaderId, 199, 145);
    AddStaticImage(m_butterfly.popupImageName, kPictureId, 354, 271);
    AddButton("POPUP_EXIT_BUTTONS", 3, kCloseId, 521, 146);
    AddButton("POPUP_DONE_BUTTONS", 3, kDoneId, 222, 354);
    AddButton("POPUP_FLYTO_BUTTONS", 3, kFlyToId, 375, 354);
    AddBodyLabel(kPointsTextId, 259, 229)->SetText(GlintText(1267, {std::to_string(m_butterfly.points)}));
    AddBodyLabel(kTimeTextId, 239, 309)
        ->SetText(GlintText(1268, {GlintFairyName(GetApplication(), m_fairyId), m_butterfly.duration}));
}

void CGLMGlintsRedeemCongratsDlg::OnCommand(int controlId) {
    switch (controlId) {
    case kDoneId:
        GetFrame().Target().Send(UI::WM_GLM_GLINT_REDEEM_NEXT);
        EndDialog(kConfirm);
        break;
    case kFlyToId:
        OnBnClickedFlyTo();
        EndDialog(kConfirm);
        break;
    case kCloseId:
        GetApplication().PlaySound("CLOSE_SOUND");
        EndDialog(kCancel);
        break;
    default:
        break;
    }
}

void CGLMGlintsRedeemCongratsDlg::OnBnClickedFlyTo() {
    Glimmeries& application = GetApplication();
    try {
        std::string url = application.GetParameter("GLM_FLY_TO_BRAMBLEMERE_URL");
        std::string token;
        std::string errorCode;
        if (application.GetWebApi().GetSessionTranferToken(token, errorCode) == 0) {
            url += "&sessiontoken=" + token;
        }
        application.OpenUrl(url);
        application.Report("ExitToGame");
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("CGLMGlintsRedeemCongratsDlg::OnBnClickedFlyTo");
    } catch (const std::exception& e) {
        application.GetLogger().Log(std::string("CGLMGlintsRedeemCongratsDlg::OnBnClickedFlyTo: ") +
                                    e.what());
    }
}

void CGLMGlintsRedeemCongratsDlg::OnShown() {
    GetApplication().PlaySound("CONGRATS_SOUND");
    GetApplication().Report("UseGlintPointsCongrats");
}

} // namespace Glm

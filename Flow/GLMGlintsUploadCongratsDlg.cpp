#include "GLMGlintsUploadCongratsDlg.h"

#include "GLMGlintsFairyViews.h"
#include "Glimmeries.h"
#include "MainFrame.h"
#include "common/UI/Messages.h"

namespace Glm {

CGLMGlintsUploadCongratsDlg::CGLMGlintsUploadCongratsDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedPopup(application, frame, kDialogId) {}

void CGLMGlintsUploadCongratsDlg::OnInitDialog() {
    AddStaticImage("POPUP_CONGRATS", kHeaderId, 199, 145);
    AddStaticImage("POPUP_BUTTERFLIES", kPictureId, 304, 311);
    AddButton("POPUP_EXIT_BUTTONS", 3, kCloseId, 521, 146);
    AddButton("POPUP_GLINTS_USE_BUTTONS", 3, kUsePointsId, 329, 368);
    AddBodyLabel(kTextId, 250, 235)
        ->SetText(GlintText(144, {GlintFairyName(GetApplication(), m_fairyId), std::to_string(m_points)}));
}

void CGLMGlintsUploadCongratsDlg::OnCommand(int controlId) {
    if (controlId == kUsePointsId) {
        GetFrame().Target().Send(UI::WM_GLM_OPEN_GLINT_REDEEM);
        EndDialog(kConfirm);
    } else if (controlId == kCloseId) {
        GetApplication().PlaySound("CLOSE_SOUND");
        EndDialog(kCancel);
    }
}

void CGLMGlintsUploadCongratsDlg::OnShown() {
    GetApplication().PlaySound("CONGRATS_SOUND");
    GetApplication().Report("AddGlintPointsCongrats");
}

} // namespace Glm

#include "GLMCongratsDlg.h"

#include "Glimmeries.h"

namespace Glm {

CGLMCongratsDlg::CGLMCongratsDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedPopup(application, frame, kDialogId) {}

void CGLMCongratsDlg::OnInitDialog() {
    AddStaticImage("POPUP_CONGRATS", kHeaderId, 199, 145);
    AddButton("POPUP_EXIT_BUTTONS", 3, kCloseId, 521, 146);
    AddButton("POPUP_OK_BUTTONS", 3, kOkId, 329, 368);
    AddBodyLabel(kTextId, 255, 235, m_stringId);
}

void CGLMCongratsDlg::OnCommand(int controlId) {
    if (controlId == kOkId || controlId == kCloseId) {
        EndDialog(kCancel);
        GetApplication().PlaySound("CLOSE_SOUND");
    }
}

void CGLMCongratsDlg::OnShown() {
    GetApplication().PlaySound("OOPS_SOUND");
}

} // namespace Glm

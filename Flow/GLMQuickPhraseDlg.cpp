#include "GLMQuickPhraseDlg.h"

#include "Glimmeries.h"

namespace Glm {

CGLMQuickPhraseDlg::CGLMQuickPhraseDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedPopup(application, frame, kDialogId) {}

void CGLMQuickPhraseDlg::OnInitDialog() {
    AddStaticImage("POPUP_QUICKPHRASE", kHeaderId, 198, 139);
    AddButton("POPUP_EXIT_BUTTONS", 3, kCloseId, 521, 146);
    AddButton("POPUP_OK_BUTTONS", 3, kOkId, 329, 368);
    AddBodyLabel(kTextId, 243, 314, kTextString);
}

void CGLMQuickPhraseDlg::OnCommand(int controlId) {
    if (controlId == kOkId) {
        EndDialog(kConfirm);
    } else if (controlId == kCloseId) {
        GetApplication().PlaySound("CLOSE_SOUND");
        EndDialog(kCancel);
    }
}

} // namespace Glm

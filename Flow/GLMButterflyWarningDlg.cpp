#include "GLMButterflyWarningDlg.h"

#include "GLMGlintsFairyViews.h"
#include "Glimmeries.h"
#include "MainFrame.h"
#include "common/UI/Messages.h"

namespace Glm {

CGLMButterflyWarningDlg::CGLMButterflyWarningDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedPopup(application, frame, kDialogId) {}

void CGLMButterflyWarningDlg::OnInitDialog() {
    m_redeemed = false;
    AddStaticImage("POPUP_WARNING", kHeaderId, 199, 145);
    AddButton("POPUP_EXIT_BUTTONS", 3, kCloseId, 521, 146);
    AddButton("POPUP_OK_BUTTONS", 3, kOkId, 267, 371);
    AddButton("POPUP_CANCEL_BUTTONS", 2, kCancelId, 396, 398);
    AddBodyLabel(kTextId, 212, 257)
        ->SetText(GlintText(m_stringId, {GlintFairyName(GetApplication(), m_fairyId), m_butterfly.duration}));
}

void CGLMButterflyWarningDlg::OnCommand(int controlId) {
    switch (controlId) {
    case kOkId:
        OnOk();
        break;
    case kCancelId:
    case kCloseId:
        GetApplication().PlaySound("CLOSE_SOUND");
        EndDialog(kCancel);
        break;
    default:
        break;
    }
}

void CGLMButterflyWarningDlg::OnOk() {
    // A second click that arrives after the warning was answered must not
    // spend the points again.
    if (!isVisible()) {
        return;
    }
    UI::MessageTarget& frame = GetFrame().Target();
    std::string errorCode;
    if (GetApplication().GetWebApi().RedeemGlintPoints(m_fairyId, std::to_string(m_butterfly.points),
                                                       std::to_string(m_butterfly.id), errorCode) == 0) {
        m_redeemed = true;
        frame.Send(UI::WM_GLM_GLINT_REDEEM_NEXT);
    } else if (errorCode == "NOT_ENOUGH_POINTS") {
        frame.Send(UI::WM_GLM_SHOW_ERROR, 162);
    } else if (errorCode == "ITEM_NOT_AVAILABLE") {
        frame.Send(UI::WM_GLM_SHOW_ERROR, 166);
    }
    EndDialog(kConfirm);
}

void CGLMButterflyWarningDlg::OnShown() {
    GetApplication().PlaySound("WARNING_SOUND");
}

} // namespace Glm

#include "GLMErrorDlg.h"

#include "Glimmeries.h"
#include "MainFrame.h"
#include "common/UI/Messages.h"

namespace Glm {

CGLMErrorDlg::CGLMErrorDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedPopup(application, frame, kDialogId) {}

void CGLMErrorDlg::OnInitDialog() {
    AddStaticImage("POPUP_OOPS", kHeaderId, 199, 145);
    AddButton("POPUP_EXIT_BUTTONS", 3, kCloseId, 521, 146);
    AddButton("POPUP_OK_BUTTONS", 3, kOkId, 329, 368);
    AddBodyLabel(kTextId, 255, 235, m_messageId);
}

void CGLMErrorDlg::OnCommand(int controlId) {
    if (controlId != kOkId && controlId != kCloseId) {
        return;
    }
    if (m_modal) {
        RunFollowUp();
    } else {
        GetFrame().Target().Send(UI::WM_CLOSE);
    }
    // Ended either way, so no modal loop is left waiting on a closed frame.
    EndDialog(kCancel);
    GetApplication().PlaySound("CLOSE_SOUND");
}

void CGLMErrorDlg::OnShown() {
    GetApplication().PlaySound("OOPS_SOUND");
}

void CGLMErrorDlg::RunFollowUp() {
    Glimmeries& application = GetApplication();
    UI::MessageTarget& frame = GetFrame().Target();
    switch (m_messageId) {
    case kUpdateExitString:
        frame.Send(UI::WM_CLOSE);
        break;
    case kToyRemovedString:
        frame.Send(UI::WM_GLM_SHOW_DEVICES);
        frame.Send(UI::WM_GLM_HIDE_ALL, UI::WM_GLM_SHOW_DEVICES);
        break;
    case kFlashUpdateString:
        // The installer page must reach a real browser, not whatever the
        // desktop hands web links to.
        application.OpenUrl(application.GetParameter("GLM_INSTALL_FLASH_URL"), true);
        frame.Send(UI::WM_CLOSE);
        break;
    case kSuspendedAccountString:
        application.OpenUrl(application.GetParameter("GLM_BANNED_ACCOUNT_URL"), false);
        break;
    default:
        break;
    }
}

} // namespace Glm

#include "GLMFriendshipCongratsDlg.h"

#include "Glimmeries.h"
#include "webapi/FriendCollector.h"

namespace Glm {

namespace {
constexpr unsigned kFriendshipText = 126;
constexpr unsigned kGiftText = 128;
} // namespace

CGLMFriendshipCongratsDlg::CGLMFriendshipCongratsDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedPopup(application, frame, kDialogId) {}

void CGLMFriendshipCongratsDlg::OnInitDialog() {
    const bool gift = m_status == FRIENDSHIP_GIFT;
    AddButton("POPUP_EXIT_BUTTONS", 3, kCloseId, 521, 146);
    AddButton("POPUP_FLYTO_BUTTONS", 3, kFlyToId, 302, 357);
    AddStaticImage("POPUP_CONGRATS", kHeaderId, 199, 145);
    AddStaticImage("POPUP_FRIENDS", kFriendsPictureId, 342, 284)->setVisible(!gift);
    AddBodyLabel(kTextId, 192, 235, gift ? kGiftText : kFriendshipText);
}

void CGLMFriendshipCongratsDlg::OnShown() {
    Glimmeries& application = GetApplication();
    application.PlaySound("CONGRATS_SOUND");
    // Named by what was accepted.
    if (m_status == FRIENDSHIP_GIFT) {
        application.Report("AcceptGiftCongrats");
    } else if (m_status == FRIENDSHIP_NEW) {
        application.Report("AcceptFriendCongrats");
    }
}

void CGLMFriendshipCongratsDlg::OnCommand(int controlId) {
    Glimmeries& application = GetApplication();
    if (controlId == kFlyToId) {
        std::string token;
        std::string errorCode;
        std::string url = application.GetParameter("GLM_FLY_TO_BRAMBLEMERE_URL");
        if (application.GetWebApi().GetSessionTranferToken(token, errorCode) == 0) {
            url += "&sessiontoken=" + token;
        }
        application.OpenUrl(url);
        application.Report("ExitToGame");
        EndDialog(kConfirm);
    } else if (controlId == kCloseId) {
        application.PlaySound("CLOSE_SOUND");
        EndDialog(kCancel);
    }
}

} // namespace Glm

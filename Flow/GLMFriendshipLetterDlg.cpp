#include "GLMFriendshipLetterDlg.h"

#include "GLMFriendshipUploadDlg.h"
#include "Glimmeries.h"
#include "MainFrame.h"
#include "ScreenLabels.h"
#include "ToyInUse.h"
#include "common/UI/Messages.h"
#include "webapi/FriendCollector.h"

namespace Glm {

namespace {

constexpr unsigned kToyGoneString = 153;
constexpr unsigned kDeviceErrorString = 182;
constexpr unsigned kGreetingString = 123;
constexpr unsigned kSignatureString = 124;
constexpr unsigned kGiftLineString = 127;
constexpr unsigned kMessageLineString = 149;
/// Sent by a click on the avatar; the letters do not act on it.
constexpr std::uint32_t kAvatarClickMessage = 1574;

} // namespace

CGLMFriendshipLetterDlg::CGLMFriendshipLetterDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedPopup(application, frame, kDialogId) {}

CGLMFriendshipLetterDlg::~CGLMFriendshipLetterDlg() = default;

void CGLMFriendshipLetterDlg::OnInitDialog() {
    const bool gift = m_entry.status == FRIENDSHIP_GIFT;
    AddButton("POPUP_EXIT_BUTTONS", 3, kCloseId, 521, 146);
    AddButton(gift ? "POPUP_ACCEPT_GIFT_BUTTONS" : "POPUP_LETSBE_FRIENDS_BUTTONS", 3, kAcceptId, 269, 376);
    AddButton("POPUP_NO_THANKS", 2, kNoThanksId, 389, 394);
    AddStaticImage("POPUP_GIFTMSG_BACKGROUND", kGiftPictureId, 217, 302);

    Glimmeries& application = GetApplication();
    const std::optional<Toy> toy = FindToyInUse(application);
    if (!toy.has_value() || !toy->IsPresent()) {
        GetFrame().Target().Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
    } else {
        WebApi& api = application.GetWebApi();
        const std::string contentBase = application.GetParameter("GLM_WEBSITE_BASE_URL");
        std::string secondLine;
        if (gift) {
            secondLine = FriendshipText(kGiftLineString);
        } else {
            std::string message;
            if (api.GetFriendMessage(m_entry.messageId, contentBase, message) == 0 && !message.empty()) {
                secondLine = FriendshipText(kMessageLineString, {BreakIntoTwoLines(message)});
            }
        }
        AddStaticImage(gift ? "POPUP_NEWGIFT" : "POPUP_LETSBEFRIENDS", kHeaderId, 199, 145);
        AddBodyLabel(kGreetingId, 217, 230)->SetText(FriendshipText(kGreetingString, {toy->GetFairyName()}));
        AddBodyLabel(kSecondLineId, 217, 254)->SetText(secondLine);
        AddBodyLabel(kSignatureId, 217, 347)->SetText(FriendshipText(kSignatureString, {m_entry.fairyName}));
        std::string phrase;
        auto* giftLabel = AddBodyLabel(kGiftId, 258, 302);
        if (api.GetFriendGift(m_entry.giftId, contentBase, phrase) == 0 && !phrase.empty()) {
            giftLabel->SetText(BreakIntoTwoLines("\"" + phrase + "\""));
        }
    }
    application.GetWebApi().DisplayFairy(this, kAvatarClickMessage,
                                         application.GetParameter("SWF_AVATAR_FULL"), m_avatar,
                                         m_entry.fairyId, kAvatarRect);
}

void CGLMFriendshipLetterDlg::OnShown() {
    // Named by what the letter offers: a gift, or a new friendship.
    GetApplication().Report(m_entry.status == FRIENDSHIP_GIFT ? "AcceptGift" : "AcceptFriend");
}

void CGLMFriendshipLetterDlg::OnCommand(int controlId) {
    switch (controlId) {
    case kAcceptId:
        Accept();
        break;
    case kNoThanksId:
        Decline();
        break;
    case kCloseId:
        GetApplication().PlaySound("CLOSE_SOUND");
        EndDialog(kCancel);
        break;
    default:
        break;
    }
}

void CGLMFriendshipLetterDlg::Accept() {
    Glimmeries& application = GetApplication();
    UI::MessageTarget& frame = GetFrame().Target();
    application.PlaySound("PAGE_TURN_SOUND");
    const bool gift = m_entry.status == FRIENDSHIP_GIFT;
    std::string errorCode;
    const std::int32_t result = application.UploadFriend(m_entry, gift ? "giftonly" : "accept", errorCode);
    if (!IsToyInUsePresent(application)) {
        frame.Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
    } else if (result != 0 && errorCode == "FRIENDSHIP_DECLINED") {
        // The friend said no meanwhile: nothing left to answer.
        if (RemoveFromBracelet(application, m_entry.clickId) == 0) {
            EndDialog(kConfirm);
        } else {
            frame.Send(UI::WM_GLM_SHOW_ERROR, kDeviceErrorString);
        }
    } else if (result != 0) {
        frame.Send(UI::WM_GLM_SHOW_ERROR, FriendshipErrorString(errorCode));
    } else if (RemoveFromBracelet(application, m_entry.clickId) != 0) {
        frame.Send(UI::WM_GLM_SHOW_ERROR, kDeviceErrorString);
    } else {
        EndDialog(kConfirm);
        frame.Send(UI::WM_GLM_SHOW_FRIENDSHIP_CONGRATS, 0, static_cast<std::intptr_t>(m_entry.status));
    }
    frame.Send(UI::WM_GLM_FRIENDSHIP_NEXT);
}

void CGLMFriendshipLetterDlg::Decline() {
    Glimmeries& application = GetApplication();
    UI::MessageTarget& frame = GetFrame().Target();
    application.PlaySound("PAGE_TURN_SOUND");
    if (!IsToyInUsePresent(application)) {
        frame.Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
        frame.Send(UI::WM_GLM_FRIENDSHIP_NEXT);
        return;
    }
    // A gift is only turned down on the bracelet: the friendship exists.
    if (m_entry.status != FRIENDSHIP_GIFT) {
        std::string errorCode;
        if (application.UploadFriend(m_entry, "decline", errorCode) != 0) {
            frame.Send(UI::WM_GLM_SHOW_ERROR,
                       IsToyInUsePresent(application) ? FriendshipErrorString(errorCode) : kToyGoneString);
            frame.Send(UI::WM_GLM_FRIENDSHIP_NEXT);
            return;
        }
    }
    if (RemoveFromBracelet(application, m_entry.clickId) == 0) {
        EndDialog(kConfirm);
    } else {
        frame.Send(UI::WM_GLM_SHOW_ERROR, kDeviceErrorString);
    }
    frame.Send(UI::WM_GLM_FRIENDSHIP_NEXT);
}

} // namespace Glm

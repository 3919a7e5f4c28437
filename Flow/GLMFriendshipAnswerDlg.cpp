#include "GLMFriendshipAnswerDlg.h"

#include "GLMFriendshipUploadDlg.h"
#include "Glimmeries.h"
#include "MainFrame.h"
#include "ToyInUse.h"
#include "common/UI/Messages.h"

namespace Glm {

namespace {

constexpr unsigned kToyGoneString = 153;
constexpr std::uint32_t kAvatarClickMessage = 1574;

struct Letter {
    const char* header;
    QPoint ok;
    unsigned text;
    unsigned signature;
    /// The text names the friend too.
    bool namesFriend;
    const char* report;
};

const Letter* LetterOf(std::int32_t status) {
    static const Letter kDeclined{"POPUP_SORRY", QPoint(323, 364), 129, 130, false, "Declined"};
    static const Letter kMade{"POPUP_BRIGHTWING", QPoint(323, 364), 131, 132, true, "Accepted"};
    static const Letter kPending{"POPUP_FRIENSHIPS", QPoint(267, 375), 133, 134, true, "Pending"};
    switch (status) {
    case FRIENDSHIP_DECLINED:
        return &kDeclined;
    case FRIENDSHIP_MADE:
        return &kMade;
    case FRIENDSHIP_PENDING:
        return &kPending;
    default:
        return nullptr;
    }
}

} // namespace

CGLMFriendshipAnswerDlg::CGLMFriendshipAnswerDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedPopup(application, frame, kDialogId) {}

CGLMFriendshipAnswerDlg::~CGLMFriendshipAnswerDlg() = default;

std::string CGLMFriendshipAnswerDlg::ToyFairyName() {
    const std::optional<Toy> toy = FindToyInUse(GetApplication());
    if (!toy.has_value()) {
        return {};
    }
    std::string name = toy->GetFairyName();
    if (name.empty() && !toy->GetOwnerUserId().empty()) {
        GetApplication().GetWebApi().ObtainWhoAreThey(toy->GetOwnerUserId(), name);
    }
    return name;
}

void CGLMFriendshipAnswerDlg::OnInitDialog() {
    const Letter* letter = LetterOf(m_entry.status);
    const QPoint ok = letter != nullptr ? letter->ok : QPoint(323, 364);
    AddButton("POPUP_EXIT_BUTTONS", 3, kCloseId, 521, 146);
    AddButton("POPUP_OK_BUTTONS", 3, kOkId, ok.x(), ok.y());
    AddButton("POPUP_CANCEL_FRIEND_BUTTONS", 2, kCancelFriendId, 384, 392)
        ->setVisible(m_entry.status == FRIENDSHIP_PENDING);
    Glimmeries& application = GetApplication();
    if (!IsToyInUsePresent(application)) {
        GetFrame().Target().Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
    } else if (letter != nullptr) {
        AddStaticImage(letter->header, kHeaderId, 199, 145);
        const std::string own = ToyFairyName();
        AddBodyLabel(kTextId, 218, 230)
            ->SetText(letter->namesFriend ? FriendshipText(letter->text, {own, m_entry.fairyName})
                                          : FriendshipText(letter->text, {own}));
        AddBodyLabel(kSignatureId, 218, 310)->SetText(FriendshipText(letter->signature, {m_entry.fairyName}));
    }
    application.GetWebApi().DisplayFairy(this, kAvatarClickMessage,
                                         application.GetParameter("SWF_AVATAR_FULL"), m_avatar,
                                         m_entry.fairyId, kAvatarRect);
}

void CGLMFriendshipAnswerDlg::OnShown() {
    if (const Letter* letter = LetterOf(m_entry.status)) {
        GetApplication().Report(letter->report);
    }
}

void CGLMFriendshipAnswerDlg::OnCommand(int controlId) {
    UI::MessageTarget& frame = GetFrame().Target();
    switch (controlId) {
    case kOkId:
        frame.Send(UI::WM_GLM_FRIENDSHIP_NEXT);
        EndDialog(kConfirm);
        break;
    case kCancelFriendId:
        CancelFriendship();
        break;
    case kCloseId:
        GetApplication().PlaySound("CLOSE_SOUND");
        frame.Send(UI::WM_GLM_FRIENDSHIP_NEXT);
        EndDialog(kCancel);
        break;
    default:
        break;
    }
}

void CGLMFriendshipAnswerDlg::CancelFriendship() {
    Glimmeries& application = GetApplication();
    UI::MessageTarget& frame = GetFrame().Target();
    std::string errorCode;
    if (application.UploadFriend(m_entry, "decline", errorCode) != 0) {
        frame.Send(UI::WM_GLM_SHOW_ERROR,
                   IsToyInUsePresent(application) ? FriendshipErrorString(errorCode) : kToyGoneString);
    } else {
        EndDialog(kCancel);
    }
    frame.Send(UI::WM_GLM_FRIENDSHIP_NEXT);
}

} // namespace Glm

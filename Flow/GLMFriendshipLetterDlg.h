#pragma once

#include "SkinnedPopup.h"
#include "Tools/FlashWindowView.h"
#include "webapi/FriendRecord.h"

#include <QRect>

namespace Glm {

/// Popup 150: the letter of a new friendship touched on the bracelet
/// (status 4) or of a gift from a Fairy whose account is already an account
/// friend (status 5), with the friend's avatar. The main button accepts
/// ("accept" or "giftonly"), No thanks declines; an answered friendship
/// leaves the bracelet only once the web service has taken the answer.
class CGLMFriendshipLetterDlg : public SkinnedPopup {
public:
    static constexpr int kDialogId = 150;
    static constexpr int kCloseId = 1157;
    static constexpr int kAcceptId = 1159;
    static constexpr int kNoThanksId = 1160;
    static constexpr int kHeaderId = 1153;
    static constexpr int kGreetingId = 1154;
    static constexpr int kSecondLineId = 1155;
    static constexpr int kSignatureId = 1229;
    static constexpr int kGiftId = 1230;
    static constexpr int kGiftPictureId = 1233;
    /// Where the friend's avatar plays: beside the greeting, above the gift.
    static constexpr QRect kAvatarRect{QPoint(450, 226), QSize(90, 74)};

    CGLMFriendshipLetterDlg(Glimmeries& application, MainFrame& frame);
    ~CGLMFriendshipLetterDlg() override;

    /// The entry the letter is about, set before DoModal.
    void SetEntry(const FriendRecord& entry) { m_entry = entry; }
    const FriendRecord& GetEntry() const { return m_entry; }
    FlashWindowView& GetAvatar() { return m_avatar; }

protected:
    void OnInitDialog() override;
    void OnCommand(int controlId) override;
    void OnShown() override;

private:
    void Accept();
    void Decline();

    FriendRecord m_entry;
    FlashWindowView m_avatar;
};

} // namespace Glm

#pragma once

#include "SkinnedPopup.h"
#include "Tools/FlashWindowView.h"
#include "webapi/FriendRecord.h"

#include <QRect>

namespace Glm {

/// Popup 154: the letter about a friendship the toy's Fairy already has on
/// the web service: declined (1), made (2) or pending (3). A pending
/// invitation can be cancelled from here.
class CGLMFriendshipAnswerDlg : public SkinnedPopup {
public:
    static constexpr int kDialogId = 154;
    static constexpr int kCloseId = 1237;
    static constexpr int kOkId = 1236;
    static constexpr int kCancelFriendId = 1239;
    static constexpr int kHeaderId = 1234;
    static constexpr int kTextId = 1235;
    static constexpr int kSignatureId = 1238;
    /// Where the friend's avatar plays: beside the letter's text.
    static constexpr QRect kAvatarRect{QPoint(435, 232), QSize(105, 110)};

    CGLMFriendshipAnswerDlg(Glimmeries& application, MainFrame& frame);
    ~CGLMFriendshipAnswerDlg() override;

    /// The entry the letter is about, set before DoModal.
    void SetEntry(const FriendRecord& entry) { m_entry = entry; }
    const FriendRecord& GetEntry() const { return m_entry; }
    FlashWindowView& GetAvatar() { return m_avatar; }

protected:
    void OnInitDialog() override;
    void OnCommand(int controlId) override;
    void OnShown() override;

private:
    /// The toy's Fairy name, asked from the web service when the toy has none.
    std::string ToyFairyName();
    void CancelFriendship();

    FriendRecord m_entry;
    FlashWindowView m_avatar;
};

} // namespace Glm

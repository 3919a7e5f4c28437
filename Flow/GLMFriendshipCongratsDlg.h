#pragma once

#include "SkinnedPopup.h"

#include <cstdint>

namespace Glm {

/// Popup 148: the congratulation letter after a friendship (status 4) or a
/// gift (status 5) was accepted. Fly-to opens the game, signed in.
class CGLMFriendshipCongratsDlg : public SkinnedPopup {
public:
    static constexpr int kDialogId = 148;
    static constexpr int kCloseId = 1166;
    static constexpr int kFlyToId = 1037;
    static constexpr int kHeaderId = 1167;
    static constexpr int kFriendsPictureId = 1287;
    static constexpr int kTextId = 1034;

    CGLMFriendshipCongratsDlg(Glimmeries& application, MainFrame& frame);

    /// The status of the accepted entry, set before DoModal.
    void SetStatus(std::int32_t status) { m_status = status; }
    std::int32_t GetStatus() const { return m_status; }

protected:
    void OnInitDialog() override;
    void OnCommand(int controlId) override;
    void OnShown() override;

private:
    std::int32_t m_status = 0;
};

} // namespace Glm

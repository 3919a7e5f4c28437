#pragma once

#include "SkinnedPopup.h"
#include "webapi/CatalogueRecords.h"

#include <string>

namespace Glm {

/// Popup 143: the butterfly was redeemed and flies with the Fairy. Fly-to
/// opens the game, signed in when the service gives a session token.
class CGLMGlintsRedeemCongratsDlg : public SkinnedPopup {
public:
    static constexpr int kDialogId = 143;
    static constexpr int kHeaderId = 1066;
    static constexpr int kTimeTextId = 1068;
    static constexpr int kPictureId = 1112;
    static constexpr int kDoneId = 1118;
    static constexpr int kCloseId = 1266;
    static constexpr int kPointsTextId = 1267;
    static constexpr int kFlyToId = 1292;

    CGLMGlintsRedeemCongratsDlg(Glimmeries& application, MainFrame& frame);

    /// The Fairy and the butterfly redeemed, set before DoModal.
    void SetValues(const std::string& fairyId, const ButterflyRecord& butterfly) {
        m_fairyId = fairyId;
        m_butterfly = butterfly;
    }

protected:
    void OnInitDialog() override;
    void OnCommand(int controlId) override;
    void OnShown() override;

private:
    void OnBnClickedFlyTo();

    std::string m_fairyId;
    ButterflyRecord m_butterfly;
};

} // namespace Glm

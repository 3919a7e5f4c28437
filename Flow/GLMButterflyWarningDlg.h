#pragma once

#include "SkinnedPopup.h"
#include "webapi/CatalogueRecords.h"

#include <string>

namespace Glm {

/// Popup 158: the Fairy already flies a butterfly (the same one, text 176,
/// or another, text 181). Only OK spends the points.
class CGLMButterflyWarningDlg : public SkinnedPopup {
public:
    static constexpr int kDialogId = 158;
    static constexpr int kHeaderId = 1301;
    static constexpr int kCloseId = 1302;
    static constexpr int kOkId = 1303;
    static constexpr int kTextId = 1304;
    static constexpr int kCancelId = 1305;

    CGLMButterflyWarningDlg(Glimmeries& application, MainFrame& frame);

    /// The text to show (176 or 181), the Fairy and the chosen butterfly,
    /// set before DoModal.
    void SetValues(unsigned stringId, const std::string& fairyId, const ButterflyRecord& butterfly) {
        m_stringId = stringId;
        m_fairyId = fairyId;
        m_butterfly = butterfly;
    }
    /// Whether OK redeemed the points (the last run).
    bool IsRedeemed() const { return m_redeemed; }

protected:
    void OnInitDialog() override;
    void OnCommand(int controlId) override;
    void OnShown() override;

private:
    void OnOk();

    unsigned m_stringId = 0;
    std::string m_fairyId;
    ButterflyRecord m_butterfly;
    bool m_redeemed = false;
};

} // namespace Glm

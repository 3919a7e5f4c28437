#pragma once

#include "SkinnedPopup.h"

namespace Glm {

/// Popup 162: congratulations with a string-table text. Plays "OOPS_SOUND"
/// when shown; both buttons end it with 2, then play "CLOSE_SOUND".
class CGLMCongratsDlg : public SkinnedPopup {
public:
    static constexpr int kDialogId = 162;
    static constexpr int kHeaderId = 1329;
    static constexpr int kTextId = 1330;
    static constexpr int kCloseId = 1331;
    static constexpr int kOkId = 1332;

    CGLMCongratsDlg(Glimmeries& application, MainFrame& frame);

    /// The string-table id of the text, set before DoModal.
    void SetStringId(unsigned stringId) { m_stringId = stringId; }

protected:
    void OnInitDialog() override;
    void OnCommand(int controlId) override;
    void OnShown() override;

private:
    unsigned m_stringId = 0;
};

} // namespace Glm

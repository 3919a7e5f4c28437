#pragma once

#include "SkinnedPopup.h"

namespace Glm {

/// Popup 156: what a QuickPhrase gift is. OK ends with 1 silently; close
/// plays "CLOSE_SOUND" and ends with 2.
class CGLMQuickPhraseDlg : public SkinnedPopup {
public:
    static constexpr int kDialogId = 156;
    static constexpr int kHeaderId = 1282;
    static constexpr int kCloseId = 1283;
    static constexpr int kOkId = 1284;
    static constexpr int kTextId = 1293;
    static constexpr unsigned kTextString = 172;

    CGLMQuickPhraseDlg(Glimmeries& application, MainFrame& frame);

protected:
    void OnInitDialog() override;
    void OnCommand(int controlId) override;
};

} // namespace Glm

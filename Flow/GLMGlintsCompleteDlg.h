#pragma once

#include "SkinnedPopup.h"

#include <cstdint>
#include <string>

namespace Glm {

class PointsJournal;

/// Popup 155: asks whether the toy's Glint Points go to the chosen Fairy.
/// OK hands them over (service first, then the toy is cleared) and opens the
/// congratulation; Cancel and close leave everything as it was.
class CGLMGlintsCompleteDlg : public SkinnedPopup {
public:
    static constexpr int kDialogId = 155;
    static constexpr int kTextId = 1248;
    static constexpr int kCloseId = 1249;
    static constexpr int kOkId = 1250;
    static constexpr int kCancelId = 1251;
    static constexpr int kHeaderId = 1252;

    CGLMGlintsCompleteDlg(Glimmeries& application, MainFrame& frame);

    /// The Fairy to credit, set before DoModal.
    void SetFairyId(const std::string& fairyId) { m_fairyId = fairyId; }

protected:
    void OnInitDialog() override;
    void OnCommand(int controlId) override;

private:
    void OnOk();

    std::string m_fairyId;
};

} // namespace Glm

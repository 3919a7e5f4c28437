#pragma once

#include "SkinnedPopup.h"
#include "common/UI/MessageTarget.h"

#include <string>

namespace Glm {

/// Popup 141: the charm just given, with the Fairy's name. Done ends it with
/// 1, the view-charms button opens the collection and ends it with 1, Close
/// ends it with 2.
class CGLMCharmsCongratsDlg : public SkinnedPopup {
public:
    static constexpr int kDialogId = 141;
    static constexpr int kHeaderId = 1048;
    static constexpr int kTreatedId = 1049;
    static constexpr int kCharmPictureId = 1088;
    static constexpr int kBadgeTextId = 1295;
    static constexpr int kCloseId = 1164;
    static constexpr int kDoneId = 1050;
    static constexpr int kViewCharmsId = 1044;

    CGLMCharmsCongratsDlg(Glimmeries& application, MainFrame& frame);

    /// Set before DoModal: the charm's congratulation picture (none when
    /// empty) and the Fairy it was given to.
    void SetCharmPicture(const std::string& pictureName) { m_charmPicture = pictureName; }
    void SetFairyId(UI::LPARAM fairyId) { m_fairyId = fairyId; }
    /// The name shown, as found by the last run.
    const std::string& GetFairyName() const { return m_fairyName; }

protected:
    void OnInitDialog() override;
    void OnCommand(int controlId) override;
    void OnShown() override;

private:
    std::string FairyName();

    std::string m_charmPicture;
    UI::LPARAM m_fairyId = 0;
    std::string m_fairyName;
};

} // namespace Glm

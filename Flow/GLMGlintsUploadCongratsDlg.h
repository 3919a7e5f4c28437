#pragma once

#include "SkinnedPopup.h"

#include <cstdint>
#include <string>

namespace Glm {

/// Popup 146: the points were given. Its use-points button leads on to the
/// redeem screen.
class CGLMGlintsUploadCongratsDlg : public SkinnedPopup {
public:
    static constexpr int kDialogId = 146;
    static constexpr int kUsePointsId = 1070;
    static constexpr int kHeaderId = 1253;
    static constexpr int kTextId = 1254;
    static constexpr int kPictureId = 1255;
    static constexpr int kCloseId = 1257;

    CGLMGlintsUploadCongratsDlg(Glimmeries& application, MainFrame& frame);

    /// The Fairy credited and the points given, set before DoModal.
    void SetValues(const std::string& fairyId, std::int32_t points) {
        m_fairyId = fairyId;
        m_points = points;
    }

protected:
    void OnInitDialog() override;
    void OnCommand(int controlId) override;
    void OnShown() override;

private:
    std::string m_fairyId;
    std::int32_t m_points = 0;
};

} // namespace Glm

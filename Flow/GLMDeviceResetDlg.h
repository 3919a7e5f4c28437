#pragma once

#include "SkinnedScreen.h"

#include <string>

class QLineEdit;

namespace Glm {

/// Screen 161, "DeviceReset": releases the toy in use from the account it
/// was registered to, with the reset code printed for its owner, so that
/// another account can set it up. Reached from the sign-in page's reset
/// link; it always leads back to the sign-in page.
class CGLMDeviceResetDlg : public SkinnedScreen {
public:
    static constexpr int kDialogId = 161;
    static constexpr int kHelpId = 1321;
    static constexpr int kDevicesId = 1322;
    static constexpr int kExitId = 1323;
    static constexpr int kMinimizeId = 1324;
    static constexpr int kCancelId = 1325;
    static constexpr int kCodeId = 1327;
    static constexpr int kResetNowId = 1328;
    /// Where the code field lies on the background's drawn frame.
    static constexpr int kCodeX = 300;
    static constexpr int kCodeY = 300;
    static constexpr int kCodeWidth = 150;
    static constexpr int kCodeHeight = 18;

    CGLMDeviceResetDlg(Glimmeries& application, MainFrame& frame);
    ~CGLMDeviceResetDlg() override;

    /// Empties the code field and reports the page.
    void OnShow() override;
    /// The reset-now button.
    void OnBnClickedResetNow();
    QLineEdit* GetCodeEdit() const { return m_code; }

protected:
    bool OnInitDialog() override;
    void OnCommand(int controlId) override;

private:
    void RaiseError(unsigned stringId);

    QLineEdit* m_code = nullptr;
};

} // namespace Glm

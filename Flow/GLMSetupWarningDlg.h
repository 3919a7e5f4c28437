#pragma once

#include "SkinnedPopup.h"

#include <cstdint>
#include <functional>
#include <string>

namespace Glm {

class Toy;

/// Registers the toy in use with the web service (WebApi::SetupDevice) on
/// a copy of it, then writes what changed (the new click id read back, the
/// reset mark, the Fairy) into the listed toy. A copy, so that no lock is
/// held while the call may open popups. prepare runs on the copy first.
/// The call's result; the service's refusal in errorCode.
std::int32_t SetUpToyInUse(Glimmeries& application, std::uint32_t messageId, std::uint32_t giftId,
                           std::string& errorCode, const std::function<void(Toy&)>& prepare = {});

/// Popup 153, the set-up warning: names the account the toy will belong to
/// and, on OK, registers the toy to it. A bracelet goes on to the bracelet
/// page to pick its Fairy, the other toys to the congratulation popup.
class CGLMSetupWarningDlg : public SkinnedPopup {
public:
    static constexpr int kDialogId = 153;
    static constexpr int kCloseId = 1219;
    static constexpr int kTextId = 1221;
    static constexpr int kOkId = 1224;
    static constexpr int kCancelId = 1225;
    static constexpr int kHeaderId = 1228;

    CGLMSetupWarningDlg(Glimmeries& application, MainFrame& frame);

    /// The account name shown, stored on the toy once it is set up.
    const std::string& GetAccountName() const { return m_accountName; }
    std::string GetText() const;

protected:
    void OnInitDialog() override;
    void OnCommand(int controlId) override;
    void OnShown() override;

private:
    void OnBnClickedOk();

    std::string m_accountName;
    ThinUI::TextLabel* m_text = nullptr;
};

} // namespace Glm

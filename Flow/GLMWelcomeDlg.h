#pragma once

#include "SkinnedScreen.h"

#include <map>

namespace ThinUI {
class C3StateButton;
}

namespace Glm {

class Toy;

/// Screen 132, the main menu: what can be done with the toy in use. Its
/// task buttons follow the toy's kind and whether it is registered; it is
/// refreshed each time it is shown and on WM_GLM_MAIN_MENU_REFRESH.
class CGLMWelcomeDlg : public SkinnedScreen {
public:
    static constexpr int kDialogId = 132;
    static constexpr int kExitId = 1137;
    static constexpr int kMinimizeId = 1138;
    static constexpr int kHelpId = 1136;
    static constexpr int kDevicesId = 1013;
    static constexpr int kSetupBraceletId = 1005;
    static constexpr int kChangeBraceletId = 1006;
    static constexpr int kSetupJewelryBoxId = 1007;
    static constexpr int kSetupGameId = 1008;
    static constexpr int kUploadFriendshipsId = 1009;
    static constexpr int kUploadCharmsId = 1010;
    static constexpr int kUploadPointsId = 1011;
    static constexpr int kRedeemPointsId = 1012;
    static constexpr int kTellMeMoreId = 1044;
    static constexpr int kPrintCoverId = 1171;
    static constexpr int kViewGiftsId = 1172;
    static constexpr int kWhatToDoImageId = 1149;
    static constexpr int kVersionId = 1299;

    CGLMWelcomeDlg(Glimmeries& application, MainFrame& frame);
    ~CGLMWelcomeDlg() override;

    /// Refreshes the buttons and reports the page.
    void OnShow() override;
    /// WM_GLM_MAIN_MENU_REFRESH: the refresh of the show step, without the
    /// page report.
    UI::LRESULT OnFrameMessage(const UI::Message& message) override;

    /// Whether a button is shown and usable (for tests and the log).
    bool IsButtonShown(int controlId) const;
    bool IsButtonEnabled(int controlId) const;

protected:
    bool OnInitDialog() override;
    void OnCommand(int controlId) override;

private:
    /// False (and error 153 raised) when the toy in use is gone.
    bool Refresh();
    void ShowButtons(const Toy& toy);
    void SetButton(int controlId, bool shown, bool enabled);
    void OnBnClickedPrintLCD();

    std::map<int, ThinUI::C3StateButton*> m_buttons;
};

} // namespace Glm

#pragma once

#include "SkinnedScreen.h"

namespace ThinUI {
class StaticImage;
}

namespace Glm {

/// Screen 159: one full-page picture that explains the toy in use, chosen
/// by its kind each time the page is shown. Continue and Menu go back to
/// the main menu.
class GLMTutorialDlg : public SkinnedScreen {
public:
    static constexpr int kDialogId = 159;
    static constexpr int kExitId = 1307;
    static constexpr int kMinimizeId = 1310;
    static constexpr int kHelpId = 1308;
    static constexpr int kMenuId = 1309;
    static constexpr int kContinueId = 1311;
    static constexpr int kBraceletPictureId = 1312;
    static constexpr int kJewelryBoxPictureId = 1314;
    static constexpr int kGamePictureId = 1315;
    static constexpr int kPictureX = 87;
    static constexpr int kPictureY = 103;

    GLMTutorialDlg(Glimmeries& application, MainFrame& frame);
    ~GLMTutorialDlg() override;

    /// Error 153 when no toy is present; otherwise the picture of the toy's
    /// kind and its page report.
    void OnShow() override;
    /// The item id of the picture shown, 0 before the first toy.
    int GetShownPicture() const;

protected:
    bool OnInitDialog() override;
    void OnCommand(int controlId) override;

private:
    void ShowPicture(int pictureId);

    ThinUI::StaticImage* m_bracelet = nullptr;
    ThinUI::StaticImage* m_jewelryBox = nullptr;
    ThinUI::StaticImage* m_game = nullptr;
};

} // namespace Glm

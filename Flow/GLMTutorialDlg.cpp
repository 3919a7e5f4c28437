#include "GLMTutorialDlg.h"

#include "Glimmeries.h"
#include "MainFrame.h"
#include "ThinUI/ResourceImage.h"
#include "ToyInUse.h"
#include "common/UI/Messages.h"

namespace Glm {

namespace {
constexpr unsigned kToyGoneString = 153;
}

GLMTutorialDlg::GLMTutorialDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedScreen(application, frame, kDialogId,
                    std::make_unique<ThinUI::ResourceImage>("BACKGROUND_MAIN", "JPG")) {}

GLMTutorialDlg::~GLMTutorialDlg() = default;

bool GLMTutorialDlg::OnInitDialog() {
    // The Menu button's own handling (the main menu, then hide) is the same
    // as Continue's, without a sound.
    AddTitleButtons({kExitId, kMinimizeId, kHelpId, kMenuId, {}});
    AddButton("TUTORIAL_CONTINUE_BUTTONS", 3, kContinueId, 328, 417);
    m_bracelet = AddStaticImage("TUTORIAL_BRACELET", kBraceletPictureId, kPictureX, kPictureY);
    m_jewelryBox = AddStaticImage("TUTORIAL_JEWELRY_BOX", kJewelryBoxPictureId, kPictureX, kPictureY);
    m_game = AddStaticImage("TUTORIAL_LCD_GAME", kGamePictureId, kPictureX, kPictureY);
    ShowPicture(0);
    return true;
}

void GLMTutorialDlg::OnShow() {
    const std::optional<Toy> toy = FindToyInUse(GetApplication());
    if (!toy.has_value() || !toy->IsPresent()) {
        GetFrame().Target().Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
        return;
    }
    switch (toy->GetProductId()) {
    case kBraceletProduct:
        ShowPicture(kBraceletPictureId);
        GetApplication().Report("TutorialBracelet");
        break;
    case kGameProduct:
        ShowPicture(kGamePictureId);
        GetApplication().Report("TutorialLcdGame");
        break;
    case kJewelryBoxProduct:
        ShowPicture(kJewelryBoxPictureId);
        GetApplication().Report("TutorialJewelryBox");
        break;
    default:
        break;
    }
}

void GLMTutorialDlg::ShowPicture(int pictureId) {
    m_bracelet->setVisible(pictureId == kBraceletPictureId);
    m_jewelryBox->setVisible(pictureId == kJewelryBoxPictureId);
    m_game->setVisible(pictureId == kGamePictureId);
}

int GLMTutorialDlg::GetShownPicture() const {
    for (const ThinUI::StaticImage* picture : {m_bracelet, m_jewelryBox, m_game}) {
        if (!picture->isHidden()) {
            return picture->GetControlId();
        }
    }
    return 0;
}

void GLMTutorialDlg::OnCommand(int controlId) {
    if (controlId == kContinueId) {
        GetFrame().Target().Send(UI::WM_GLM_SCREEN_DONE);
        hide();
    }
}

} // namespace Glm

#include "GLMCharmsCongratsDlg.h"

#include "Glimmeries.h"
#include "MainFrame.h"
#include "ThinUI/StringSource.h"
#include "ToyInUse.h"
#include "common/UI/Messages.h"

namespace Glm {

namespace {

constexpr unsigned kTreatedString = 1041;
constexpr unsigned kBadgeString = 173;

} // namespace

CGLMCharmsCongratsDlg::CGLMCharmsCongratsDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedPopup(application, frame, kDialogId) {}

std::string CGLMCharmsCongratsDlg::FairyName() {
    Glimmeries& application = GetApplication();
    const std::optional<Toy> toy = FindToyInUse(application);
    // A bracelet keeps its own Fairy's name, not the one just chosen.
    if (toy.has_value() && toy->GetType() != kBraceletProduct && !toy->GetFairyName().empty()) {
        return toy->GetFairyName();
    }
    std::string name;
    application.GetWebApi().ObtainFairyProfileByFairyId(std::to_string(static_cast<std::uint32_t>(m_fairyId)),
                                                        name);
    return name;
}

void CGLMCharmsCongratsDlg::OnInitDialog() {
    AddStaticImage("POPUP_CONGRATS", kHeaderId, 199, 143);
    if (!m_charmPicture.empty()) {
        AddStaticImage(m_charmPicture, kCharmPictureId, 347, 268);
    }
    m_fairyName = FairyName();
    std::string treated = ThinUI::LoadText(kTreatedString).value_or(std::string());
    const std::size_t mark = treated.find("%s");
    if (mark != std::string::npos) {
        treated.replace(mark, 2, m_fairyName);
    }
    AddBodyLabel(kTreatedId, 237, 231)->SetText(treated);
    AddBodyLabel(kBadgeTextId, 277, 311, kBadgeString);
    AddButton("POPUP_EXIT_BUTTONS", 3, kCloseId, 521, 146);
    AddButton("POPUP_DONE_BUTTONS", 3, kDoneId, 232, 356);
    AddButton("POPUP_VIEWCHARMS_BUTTONS", 3, kViewCharmsId, 400, 376);
}

void CGLMCharmsCongratsDlg::OnCommand(int controlId) {
    switch (controlId) {
    case kDoneId:
        EndDialog(kConfirm);
        break;
    case kViewCharmsId:
        GetFrame().Target().Send(UI::WM_GLM_SHOW_CHARM_COLLECTION);
        EndDialog(kConfirm);
        break;
    case kCloseId:
        GetApplication().PlaySound("CLOSE_SOUND");
        EndDialog(kCancel);
        break;
    default:
        break;
    }
}

void CGLMCharmsCongratsDlg::OnShown() {
    GetApplication().PlaySound("CONGRATS_SOUND");
    GetApplication().Report("AddCharmsCongrats");
}

} // namespace Glm

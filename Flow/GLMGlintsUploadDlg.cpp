#include "GLMGlintsUploadDlg.h"

#include "Glimmeries.h"
#include "MainFrame.h"
#include "ScreenLabels.h"
#include "ThinUI/ResourceImage.h"
#include "ToyInUse.h"
#include "common/Ex/Exceptions.h"
#include "common/UI/Messages.h"

namespace Glm {

namespace {

constexpr unsigned kToyGoneString = 153;
constexpr unsigned kNoPointsString = 160;
constexpr unsigned kNoFairyString = 189;
constexpr unsigned kHeadingText = 141;
constexpr unsigned kBalanceText = 138;
const QRect kFirstAvatar(QPoint(180, 244), QPoint(285, 403));
constexpr int kAvatarStep = 146;
constexpr std::array<QPoint, 3> kBalancePositions{QPoint(182, 413), QPoint(331, 413), QPoint(475, 413)};

} // namespace

CGLMGlintsUploadDlg::CGLMGlintsUploadDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedScreen(application, frame, kDialogId,
                    std::make_unique<ThinUI::ResourceImage>("BACKGROUND_ADD_GLINT_POINTS", "JPG")),
      m_clicks([this](const UI::Message& message) -> UI::LRESULT {
          if (message.id == kFairyClickMessage) {
              OnFairySelected(message);
          }
          return 0;
      }) {}

CGLMGlintsUploadDlg::~CGLMGlintsUploadDlg() {
    m_views.Destroy();
}

bool CGLMGlintsUploadDlg::OnInitDialog() {
    AddTitleButtons({kExitId, kMinimizeId, kHelpId, kMenuId, {}});
    m_next = AddButton("NEXT_BUTTONS", 3, kNextId, 625, 219);
    m_next->hide();
    AddButton("BACK_BUTTONS", 3, kBackId, 21, 219);
    AddStaticImage("UPLOAD_GLINTS_IMAGE", kPictureId, 274, 123);
    m_heading = AddPageLabel(*this, kHeadingId, 211, 162, kPageTextColor, 14);
    for (std::size_t k = 0; k < m_balances.size(); ++k) {
        m_balances[k] = AddPageLabel(*this, kBalanceIds[k], kBalancePositions[k].x(),
                                     kBalancePositions[k].y(), kPageTextColor, 14);
        m_balances[k]->hide();
    }
    return true;
}

void CGLMGlintsUploadDlg::OnShow() {
    // Each visit starts without a choice: the movies are made anew.
    m_fairyId.clear();
    m_next->hide();
    const std::optional<Toy> toy = FindToyInUse(GetApplication());
    if (!toy || !toy->IsPresent()) {
        GetFrame().Target().Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
        return;
    }
    m_views.Show(GetApplication(), this, &m_clicks, kFairyClickMessage, kFirstAvatar, kAvatarStep,
                 toy->GetOwnerUserId());
    GetApplication().Report("AddGlintPoints");
    RefreshTexts();
}

void CGLMGlintsUploadDlg::OnHide() {
    m_views.Destroy();
}

UI::LRESULT CGLMGlintsUploadDlg::OnFrameMessage(const UI::Message& message) {
    if (message.id == UI::WM_GLM_GLINT_UPLOAD_NEXT) {
        RefreshTexts();
    }
    return 0;
}

void CGLMGlintsUploadDlg::RefreshTexts() {
    const std::optional<Toy> toy = FindToyInUse(GetApplication());
    if (!toy || !toy->IsPresent()) {
        GetFrame().Target().Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
        return;
    }
    m_heading->SetText(GlintText(kHeadingText, {std::to_string(toy->GetPoints())}));
    m_views.ShowBalances(GetApplication(), m_balances, kBalanceText);
}

void CGLMGlintsUploadDlg::OnFairySelected(const UI::Message& message) {
    try {
        GetApplication().PlaySound("PIXIE_DUST_JINGLE_SOUND");
        m_fairyId = std::to_string(message.lParam);
        m_next->show();
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("CGLMGlintsUploadDlg::OnFairySelected");
    }
}

void CGLMGlintsUploadDlg::OnNext() {
    GetApplication().PlaySound("PAGE_TURN_SOUND");
    UI::MessageTarget& frame = GetFrame().Target();
    const std::optional<Toy> toy = FindToyInUse(GetApplication());
    if (!toy || !toy->IsPresent()) {
        frame.Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
    } else if (m_fairyId.empty()) {
        frame.Send(UI::WM_GLM_SHOW_ERROR, kNoFairyString);
    } else if (toy->GetPoints() <= 0) {
        frame.Send(UI::WM_GLM_SHOW_ERROR, kNoPointsString);
    } else {
        frame.Send(UI::WM_GLM_SHOW_GLINT_CONFIRM, static_cast<UI::WPARAM>(toy->GetPoints()),
                   static_cast<UI::LPARAM>(std::stoll(m_fairyId)));
    }
}

void CGLMGlintsUploadDlg::OnCommand(int controlId) {
    switch (controlId) {
    case kNextId:
        OnNext();
        break;
    case kBackId:
        GetApplication().PlaySound("PAGE_TURN_SOUND");
        GetFrame().Target().Send(UI::WM_GLM_SCREEN_DONE);
        hide();
        break;
    default:
        break;
    }
}

} // namespace Glm

#include "GLMGlintsRedeemDlg.h"

#include "GLMGlintsButterflyStrip.h"
#include "Glimmeries.h"
#include "MainFrame.h"
#include "ScreenLabels.h"
#include "ThinUI/Controls.h"
#include "ThinUI/ResourceImage.h"
#include "ToyInUse.h"
#include "common/Ex/Exceptions.h"
#include "common/UI/Messages.h"
#include "webapi/QueryText.h"

namespace Glm {

namespace {

constexpr unsigned kToyGoneString = 153;
constexpr unsigned kNoFairyString = 189;
constexpr unsigned kNoButterflyString = 161;
constexpr unsigned kTooFewPointsString = 162;
constexpr unsigned kNotAvailableString = 166;
constexpr unsigned kSameButterflyString = 176;
constexpr unsigned kOtherButterflyString = 181;
constexpr unsigned kHeadingText = 145;
constexpr unsigned kBalanceText = 146;
const QRect kFirstAvatar(QPoint(165, 170), QPoint(270, 329));
constexpr int kAvatarStep = 162;
constexpr std::array<QPoint, 3> kBalancePositions{QPoint(162, 337), QPoint(324, 337), QPoint(485, 337)};

} // namespace

CGLMGlintsRedeemDlg::CGLMGlintsRedeemDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedScreen(application, frame, kDialogId,
                    std::make_unique<ThinUI::ResourceImage>("BACKGROUND_REDEEM_GLINT_POINTS", "JPG")),
      m_clicks([this](const UI::Message& message) -> UI::LRESULT {
          if (message.id == kFairyClickMessage) {
              OnFairySelected(message);
          }
          return 0;
      }),
      m_catalogue(&frame.Target()) {}

CGLMGlintsRedeemDlg::~CGLMGlintsRedeemDlg() {
    m_views.Destroy();
}

bool CGLMGlintsRedeemDlg::OnInitDialog() {
    AddTitleButtons({kExitId, kMinimizeId, kHelpId, kMenuId, {}});
    m_next = AddButton("NEXT_BUTTONS", 3, kNextId, 625, 219);
    m_next->hide();
    AddButton("BACK_BUTTONS", 3, kBackId, 21, 219);
    AddButton("GLINTS_ARROW_LEFT", 1, kArrowLeftId, 97, 397);
    AddButton("GLINTS_ARROW_RIGHT", 1, kArrowRightId, 611, 397);
    AddStaticImage("REDEEM_GLINTS_IMAGE", kPictureId, 223, 115);
    AddPageLabel(*this, kHeadingId, 253, 365, kPageTextColor, 14, kHeadingText);
    for (std::size_t k = 0; k < m_balances.size(); ++k) {
        m_balances[k] = AddPageLabel(*this, kBalanceIds[k], kBalancePositions[k].x(),
                                     kBalancePositions[k].y(), kPageTextColor, 14);
        m_balances[k]->hide();
    }
    m_strip = ThinUI::AdoptControl(*this, std::make_unique<GlintButterflyStrip>());
    ThinUI::PlaceControl(m_strip, this, kStripId, 183, 386);
    m_strip->onClick = [this](int position) { OnButterflyClicked(position); };
    m_strip->onDoubleClick = [this](int position) {
        m_butterfly = position;
        OnNext();
    };
    return true;
}

void CGLMGlintsRedeemDlg::OnShow() {
    m_fairyId.clear();
    m_butterfly = -1;
    m_next->hide();
    m_strip->ClearSelection();
    const std::optional<Toy> toy = FindToyInUse(GetApplication());
    if (!toy || !toy->IsPresent()) {
        GetFrame().Target().Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
        return;
    }
    m_views.Show(GetApplication(), this, &m_clicks, kFairyClickMessage, kFirstAvatar, kAvatarStep,
                 toy->GetOwnerUserId());
    GetApplication().Report("UseGlintPoints");
    if (m_butterflies.empty()) {
        LoadButterflies();
    }
    m_views.ShowBalances(GetApplication(), m_balances, kBalanceText);
}

void CGLMGlintsRedeemDlg::LoadButterflies() {
    // A list that failed half way is dropped, so the next visit reads it
    // whole rather than offering part of the catalogue for good.
    m_butterflies.clear();
    const std::int32_t result =
        LoadButterflyStrip(m_catalogue, GetApplication().GetParameter("GLM_WEBSITE_BASE_URL"), m_butterflies,
                           m_pictures, m_scrollStep, m_pictureHeight);
    m_strip->SetButterflies(m_pictures, m_butterflies);
    if (result != 0) {
        m_butterflies.clear();
    }
}

void CGLMGlintsRedeemDlg::OnHide() {
    m_views.Destroy();
}

UI::LRESULT CGLMGlintsRedeemDlg::OnFrameMessage(const UI::Message& message) {
    if (message.id == UI::WM_GLM_GLINT_REDEEM_NEXT) {
        m_views.ShowBalances(GetApplication(), m_balances, kBalanceText);
    }
    return 0;
}

std::optional<ButterflyRecord> CGLMGlintsRedeemDlg::GetChosenButterfly() const {
    if (m_butterfly < 0 || static_cast<std::size_t>(m_butterfly) >= m_butterflies.size()) {
        return std::nullopt;
    }
    return m_butterflies[static_cast<std::size_t>(m_butterfly)];
}

void CGLMGlintsRedeemDlg::OnFairySelected(const UI::Message& message) {
    try {
        GetApplication().PlaySound("PIXIE_DUST_JINGLE_SOUND");
        m_fairyId = std::to_string(message.lParam);
        m_next->show();
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("CGLMGlintsRedeemDlg::OnFairySelected");
    }
}

void CGLMGlintsRedeemDlg::OnButterflyClicked(int position) {
    GetApplication().PlaySound("CLICK_BUBBLE_SOUND");
    m_butterfly = position;
}

void CGLMGlintsRedeemDlg::OnNext() {
    UI::MessageTarget& frame = GetFrame().Target();
    if (!IsToyInUsePresent(GetApplication())) {
        frame.Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
        return;
    }
    if (m_fairyId.empty()) {
        frame.Send(UI::WM_GLM_SHOW_ERROR, kNoFairyString);
        return;
    }
    const std::optional<ButterflyRecord> butterfly = GetChosenButterfly();
    if (!butterfly) {
        frame.Send(UI::WM_GLM_SHOW_ERROR, kNoButterflyString);
        return;
    }
    WebApi& api = GetApplication().GetWebApi();
    std::string balance;
    std::string errorCode;
    if (api.GetGlintPoints(m_fairyId, balance, errorCode) == 0 &&
        butterfly->points > DecimalToInt32(balance)) {
        // Refused here, without asking the service to redeem.
        frame.Send(UI::WM_GLM_SHOW_ERROR, kTooFewPointsString);
        return;
    }
    const auto fairy = static_cast<UI::LPARAM>(std::stoll(m_fairyId));
    std::string flying;
    std::string timeToLive;
    if (api.GetButterflyInfo(m_fairyId, flying, timeToLive) == 0 && DecimalToInt32(flying) != 0) {
        const unsigned warning =
            DecimalToInt32(flying) == butterfly->id ? kSameButterflyString : kOtherButterflyString;
        frame.Send(UI::WM_GLM_SHOW_REDEEM_WARNING, warning, fairy);
    } else {
        errorCode.clear();
        if (api.RedeemGlintPoints(m_fairyId, std::to_string(butterfly->points), std::to_string(butterfly->id),
                                  errorCode) == 0) {
            frame.Send(UI::WM_GLM_SHOW_GLINT_REDEEM_CONGRATS, 0, fairy);
        } else if (errorCode == "NOT_ENOUGH_POINTS") {
            frame.Send(UI::WM_GLM_SHOW_ERROR, kTooFewPointsString);
        } else if (errorCode == "ITEM_NOT_AVAILABLE") {
            frame.Send(UI::WM_GLM_SHOW_ERROR, kNotAvailableString);
        }
    }
    m_butterfly = -1;
    m_strip->ClearSelection();
}

void CGLMGlintsRedeemDlg::OnCommand(int controlId) {
    switch (controlId) {
    case kNextId:
        GetApplication().PlaySound("PAGE_TURN_SOUND");
        OnNext();
        break;
    case kBackId:
        GetApplication().PlaySound("PAGE_TURN_SOUND");
        GetFrame().Target().Send(UI::WM_GLM_SCREEN_DONE);
        hide();
        break;
    case kArrowLeftId:
        m_strip->Scroll(-m_scrollStep);
        break;
    case kArrowRightId:
        m_strip->Scroll(m_scrollStep);
        break;
    default:
        break;
    }
}

} // namespace Glm

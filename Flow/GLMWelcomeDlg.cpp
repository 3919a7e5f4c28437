#include "GLMWelcomeDlg.h"

#include "Glimmeries.h"
#include "MainFrame.h"
#include "ScreenLabels.h"
#include "ThinUI/ResourceImage.h"
#include "ToyInUse.h"
#include "common/UI/Messages.h"

namespace Glm {

namespace {

constexpr unsigned kToyGoneString = 153;
constexpr int kTaskRow = 245;
constexpr int kSetupX = 72;
// The task buttons' strips carry a fourth, disabled frame.
constexpr unsigned kTaskFrames = 4;

} // namespace

CGLMWelcomeDlg::CGLMWelcomeDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedScreen(application, frame, kDialogId,
                    std::make_unique<ThinUI::ResourceImage>("BACKGROUND_MAIN", "JPG")) {}

CGLMWelcomeDlg::~CGLMWelcomeDlg() = default;

bool CGLMWelcomeDlg::OnInitDialog() {
    AddTitleButtons({kExitId, kMinimizeId, kHelpId, 0, {}});
    const auto add = [this](const char* picture, int controlId, int x, int y, unsigned frames = 3) {
        m_buttons[controlId] = AddButton(picture, frames, controlId, x, y);
    };
    add("TOY_BUTTONS", kDevicesId, 133, 13);
    // The four set-up buttons share one place; the refresh shows one.
    add("SETUPBRACELET_BUTTONS", kSetupBraceletId, kSetupX, kTaskRow, kTaskFrames);
    add("CHANGEBRACELET_BUTTONS", kChangeBraceletId, kSetupX, kTaskRow, kTaskFrames);
    add("SETUPJEWELRYBOX_BUTTONS", kSetupJewelryBoxId, kSetupX, kTaskRow, kTaskFrames);
    add("SETUPLCDGAME_BUTTONS", kSetupGameId, kSetupX, kTaskRow, kTaskFrames);
    add("UPLOADFRIENDSHIP_BUTTONS", kUploadFriendshipsId, 206, kTaskRow, kTaskFrames);
    add("UPLOADCHARM_BUTTONS", kUploadCharmsId, 321, kTaskRow, kTaskFrames);
    add("UPLOAD_GLINT_POINTS_BUTTONS", kUploadPointsId, 425, kTaskRow, kTaskFrames);
    add("REDEEM_GLINT_POINTS_BUTTONS", kRedeemPointsId, 546, kTaskRow, kTaskFrames);
    add("TELL_ME_MORE_BUTTONS", kTellMeMoreId, 103, 365, 2);
    add("PRINTLCD_BUTTONS", kPrintCoverId, 386, 395);
    add("VIEWGIFTS_BUTTONS", kViewGiftsId, 268, 395);
    AddStaticImage("WELCOME_WHAT_TODO_IMAGE", kWhatToDoImageId, 98, 132);
    AddVersionLabel(*this, GetApplication(), kVersionId);
    for (const int setup : {kSetupBraceletId, kChangeBraceletId, kSetupJewelryBoxId, kSetupGameId}) {
        m_buttons[setup]->hide();
    }
    return true;
}

void CGLMWelcomeDlg::OnShow() {
    if (Refresh()) {
        GetApplication().Report("MainMenu");
    }
}

UI::LRESULT CGLMWelcomeDlg::OnFrameMessage(const UI::Message& message) {
    if (message.id == UI::WM_GLM_MAIN_MENU_REFRESH) {
        Refresh();
    }
    return 0;
}

bool CGLMWelcomeDlg::Refresh() {
    const std::optional<Toy> toy = FindToyInUse(GetApplication());
    if (!toy.has_value() || !toy->IsPresent()) {
        GetFrame().Target().Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
        return false;
    }
    ShowButtons(*toy);
    return true;
}

void CGLMWelcomeDlg::ShowButtons(const Toy& toy) {
    const bool registered = IsRegistered(toy);
    // The placeholder of the two actions offered without a toy: only the
    // account's own tasks.
    int setup = kChangeBraceletId;
    bool setupEnabled = false;
    bool friendships = true;
    bool charms = false;
    bool points = false;
    bool redeem = true;
    bool tellMeMore = false;
    switch (toy.GetType()) {
    case kBraceletProduct:
        setup = registered ? kChangeBraceletId : kSetupBraceletId;
        setupEnabled = true;
        break;
    case kGameProduct:
        setup = kSetupGameId;
        setupEnabled = !registered;
        break;
    case kJewelryBoxProduct:
        setup = kSetupJewelryBoxId;
        setupEnabled = !registered;
        break;
    default:
        break;
    }
    if (toy.GetType() != 0) {
        friendships = registered;
        charms = registered && toy.GetType() != kGameProduct;
        points = registered && toy.GetPoints() != 0;
        redeem = registered;
        tellMeMore = !registered;
    }
    for (const int button : {kSetupBraceletId, kChangeBraceletId, kSetupJewelryBoxId, kSetupGameId}) {
        SetButton(button, button == setup, button == setup && setupEnabled);
    }
    SetButton(kUploadFriendshipsId, true, friendships);
    SetButton(kUploadCharmsId, true, charms);
    SetButton(kUploadPointsId, true, points);
    SetButton(kRedeemPointsId, true, redeem);
    SetButton(kTellMeMoreId, tellMeMore, tellMeMore);
}

void CGLMWelcomeDlg::SetButton(int controlId, bool shown, bool enabled) {
    ThinUI::C3StateButton* button = m_buttons.at(controlId);
    button->SetEnabled(enabled);
    button->setVisible(shown);
}

bool CGLMWelcomeDlg::IsButtonShown(int controlId) const {
    const auto found = m_buttons.find(controlId);
    return found != m_buttons.end() && !found->second->isHidden();
}

bool CGLMWelcomeDlg::IsButtonEnabled(int controlId) const {
    const auto found = m_buttons.find(controlId);
    return found != m_buttons.end() && found->second->isEnabled();
}

void CGLMWelcomeDlg::OnCommand(int controlId) {
    UI::MessageTarget& frame = GetFrame().Target();
    const auto task = [this, &frame](std::uint32_t message, UI::LPARAM lParam = 0) {
        GetApplication().PlaySound("CLICK_BUBBLE_SOUND");
        frame.Send(message, 0, lParam);
    };
    switch (controlId) {
    case kDevicesId:
        frame.Send(UI::WM_GLM_SHOW_DEVICES);
        hide();
        break;
    case kSetupBraceletId:
    case kSetupJewelryBoxId:
    case kSetupGameId:
        task(UI::WM_GLM_SHOW_SETUP_CONFIRM);
        break;
    case kChangeBraceletId:
        task(UI::WM_GLM_OPEN_BRACELET_SETUP, 1);
        break;
    case kUploadFriendshipsId:
        task(UI::WM_GLM_OPEN_FRIENDSHIP_UPLOAD);
        break;
    case kUploadCharmsId:
        task(UI::WM_GLM_OPEN_CHARM_UPLOAD);
        break;
    case kUploadPointsId:
        task(UI::WM_GLM_OPEN_GLINT_UPLOAD);
        break;
    case kRedeemPointsId:
        task(UI::WM_GLM_OPEN_GLINT_REDEEM);
        break;
    case kTellMeMoreId:
        frame.Send(UI::WM_GLM_OPEN_TUTORIAL);
        hide();
        break;
    case kPrintCoverId:
        OnBnClickedPrintLCD();
        break;
    case kViewGiftsId:
        frame.Send(UI::WM_GLM_SHOW_CHARM_COLLECTION);
        hide();
        break;
    default:
        break;
    }
}

void CGLMWelcomeDlg::OnBnClickedPrintLCD() {
    Glimmeries& application = GetApplication();
    try {
        std::string token;
        std::string errorCode;
        std::string url = application.GetParameter("GLM_PRINT_GAME_COVER_URL");
        if (application.GetWebApi().GetSessionTranferToken(token, errorCode) == 0) {
            url += "&sessiontoken=" + token;
        }
        application.OpenUrl(url);
        application.Report("ExitToGame");
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("CGLMWelcomeDlg::OnBnClickedPrintLCD");
    } catch (const std::exception& e) {
        application.GetLogger().Log(std::string("CGLMWelcomeDlg::OnBnClickedPrintLCD: ") + e.what());
    }
}

} // namespace Glm

#include "GLMSetupWarningDlg.h"

#include "Glimmeries.h"
#include "MainFrame.h"
#include "ToyInUse.h"
#include "common/Mod/Mod.h"
#include "common/UI/Messages.h"

#include <cstdio>
#include <vector>

namespace Glm {

namespace {

constexpr unsigned kToyGoneString = 153;
constexpr unsigned kNotRegisteredString = 113;
constexpr unsigned kBraceletText = 118;
constexpr unsigned kJewelryBoxText = 119;
constexpr unsigned kGameText = 120;
constexpr unsigned kToyLimitString = 156;
constexpr unsigned kNotResetableString = 198;

/// The string-table text with its one "%s" replaced by value.
std::string FormatString(unsigned stringId, const std::string& value) {
    std::string text = Mod::LoadString(stringId, 1024);
    const auto at = text.find("%s");
    if (at != std::string::npos) {
        text.replace(at, 2, value);
    }
    return text;
}

const char* WarningPage(std::uint32_t kind) {
    switch (kind) {
    case kBraceletProduct:
        return "SetUpBraceletWarning";
    case kGameProduct:
        return "SetUpLCDgameWarning";
    case kJewelryBoxProduct:
        return "SetUpJewelryBoxWarning";
    default:
        return nullptr;
    }
}

} // namespace

std::int32_t SetUpToyInUse(Glimmeries& application, std::uint32_t messageId, std::uint32_t giftId,
                           std::string& errorCode, const std::function<void(Toy&)>& prepare) {
    std::optional<Toy> toy = FindToyInUse(application);
    if (!toy.has_value()) {
        return 1;
    }
    if (prepare) {
        prepare(*toy);
    }
    const std::int32_t result = application.GetWebApi().SetupDevice(*toy, messageId, giftId, errorCode);
    // Whatever the outcome, the listed toy takes what the call changed: a
    // failed write still ends the reset mark, and the image holds what the
    // toy was last read to hold.
    const Toy& updated = *toy;
    UpdateToyInUse(application, [&updated](Toy& listed) {
        const bool present = listed.IsPresent();
        listed = updated;
        listed.SetPresent(present);
    });
    return result;
}

CGLMSetupWarningDlg::CGLMSetupWarningDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedPopup(application, frame, kDialogId) {}

void CGLMSetupWarningDlg::OnInitDialog() {
    m_accountName.clear();
    AddStaticImage("POPUP_WARNING", kHeaderId, 199, 145);
    AddButton("POPUP_EXIT_BUTTONS", 3, kCloseId, 521, 146);
    AddButton("POPUP_OK_BUTTONS", 3, kOkId, 267, 371);
    AddButton("POPUP_CANCEL_BUTTONS", 2, kCancelId, 396, 398);
    m_text = AddBodyLabel(kTextId, 262, 257);

    Glimmeries& application = GetApplication();
    const std::optional<Toy> toy = FindToyInUse(application);
    if (!toy.has_value() || !toy->IsPresent()) {
        GetFrame().Target().Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
        return;
    }
    std::string name;
    if (application.GetWebApi().ObtainWhoAreThey(toy->GetOwnerUserId(), name) != 0) {
        return;
    }
    m_accountName = name.empty() ? Mod::LoadString(kNotRegisteredString) : name;
    const unsigned text = toy->GetType() == kBraceletProduct ? kBraceletText
                          : toy->GetType() == kGameProduct   ? kGameText
                                                             : kJewelryBoxText;
    m_text->SetText(FormatString(text, m_accountName));
}

std::string CGLMSetupWarningDlg::GetText() const {
    return m_text != nullptr ? m_text->GetText().toStdString() : std::string();
}

void CGLMSetupWarningDlg::OnShown() {
    GetApplication().PlaySound("WARNING_SOUND");
    const std::optional<Toy> toy = FindToyInUse(GetApplication());
    if (toy.has_value() && toy->IsPresent()) {
        if (const char* page = WarningPage(toy->GetType())) {
            GetApplication().Report(page);
        }
    }
}

void CGLMSetupWarningDlg::OnCommand(int controlId) {
    switch (controlId) {
    case kCloseId:
    case kCancelId:
        GetApplication().PlaySound("CLOSE_SOUND");
        EndDialog(kCancel);
        break;
    case kOkId:
        OnBnClickedOk();
        break;
    default:
        break;
    }
}

void CGLMSetupWarningDlg::OnBnClickedOk() {
    Glimmeries& application = GetApplication();
    UI::MessageTarget& frame = GetFrame().Target();
    const std::optional<Toy> toy = FindToyInUse(application);
    if (!toy.has_value() || !toy->IsPresent()) {
        frame.Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
        EndDialog(kCancel);
        return;
    }
    const bool bracelet = toy->GetType() == kBraceletProduct;
    std::int32_t result = 1;
    std::string errorCode;
    if (bracelet) {
        std::vector<std::string> fairies;
        if (application.GetWebApi().GetIDsOfFairies(toy->GetOwnerUserId(), fairies) == 0) {
            if (fairies.empty()) {
                // Nothing to register the bracelet to yet: the bracelet page
                // comes next, and its Next button brings the user back here.
                result = 0;
            } else {
                const std::string fairyId = fairies.front();
                result = SetUpToyInUse(application, application.GetMessageId(), application.GetGiftId(),
                                       errorCode, [&fairyId](Toy& used) { used.SetFairyId(fairyId); });
            }
        }
    } else {
        result = SetUpToyInUse(application, 0, 0, errorCode);
    }
    EndDialog(kConfirm);
    if (result != 0) {
        if (errorCode == "HAS_MAX_GLIMMERIES") {
            frame.Send(UI::WM_GLM_SHOW_ERROR, kToyLimitString);
        } else if (errorCode == "DEVICE_NOT_RESETABLE") {
            frame.Send(UI::WM_GLM_SHOW_ERROR, kNotResetableString);
        }
        return;
    }
    const std::string accountName = m_accountName;
    UpdateToyInUse(application, [&accountName](Toy& used) { used.SetOwnerName(accountName); });
    if (bracelet) {
        frame.Send(UI::WM_GLM_OPEN_BRACELET_SETUP, 0, 0);
    } else {
        frame.Send(UI::WM_GLM_SHOW_SETUP_CONGRATS);
    }
}

} // namespace Glm

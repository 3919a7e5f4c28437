#include "GLMDeviceResetDlg.h"

#include "Glimmeries.h"
#include "MainFrame.h"
#include "ThinUI/Controls.h"
#include "ThinUI/ResourceImage.h"
#include "ToyInUse.h"
#include "common/UI/Messages.h"

#include <QLineEdit>

namespace Glm {

namespace {

constexpr unsigned kEmptyCodeString = 165;
constexpr unsigned kWrongCodeString = 197;
constexpr unsigned kServerErrorString = 194;
constexpr unsigned kNotResetableString = 198;
constexpr unsigned kResetDoneString = 199;

} // namespace

CGLMDeviceResetDlg::CGLMDeviceResetDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedScreen(application, frame, kDialogId,
                    std::make_unique<ThinUI::ResourceImage>("BACKGROUND_DEVICE_RESET", "JPG")) {}

CGLMDeviceResetDlg::~CGLMDeviceResetDlg() = default;

bool CGLMDeviceResetDlg::OnInitDialog() {
    AddTitleButtons({kExitId, kMinimizeId, kHelpId, 0, {}});
    AddButton("TOY_BUTTONS", 3, kDevicesId, 133, 13);
    AddButton("DEVICE_RESET_CANCEL_BUTTONS", 3, kCancelId, 267, 345);
    AddButton("DEVICE_RESET_NOW_BUTTONS", 3, kResetNowId, 382, 345);

    m_code = new QLineEdit(this);
    ThinUI::PlaceControl(m_code, this, kCodeId, kCodeX, kCodeY);
    m_code->setFixedSize(kCodeWidth, kCodeHeight);
    m_code->setFrame(false);
    m_code->setTextMargins(2, 0, 2, 0);
    QFont font(QStringLiteral("arial"));
    font.setPixelSize(12);
    m_code->setFont(font);
    // A code is a few letters and digits; anything longer was not typed
    // from the card.
    m_code->setMaxLength(64);
    return true;
}

void CGLMDeviceResetDlg::OnShow() {
    m_code->clear();
    m_code->setFocus();
    GetApplication().Report("DeviceReset");
}

void CGLMDeviceResetDlg::OnCommand(int controlId) {
    switch (controlId) {
    case kDevicesId:
        GetFrame().Target().Send(UI::WM_GLM_SHOW_DEVICES);
        hide();
        break;
    case kCancelId:
        GetApplication().PlaySound("PAGE_TURN_SOUND");
        GetFrame().Target().Send(UI::WM_GLM_SHOW_SIGN_IN);
        hide();
        break;
    case kResetNowId:
        OnBnClickedResetNow();
        break;
    default:
        break;
    }
}

void CGLMDeviceResetDlg::RaiseError(unsigned stringId) {
    GetFrame().Target().Send(UI::WM_GLM_SHOW_ERROR, stringId);
}

void CGLMDeviceResetDlg::OnBnClickedResetNow() {
    const std::string code = m_code->text().toStdString();
    if (code.empty()) {
        RaiseError(kEmptyCodeString);
        return;
    }
    Glimmeries& application = GetApplication();
    std::optional<Toy> toy = FindToyInUse(application);
    if (toy.has_value() && toy->IsPresent() && toy->GetClickId() != 0) {
        std::string errorCode;
        if (application.GetWebApi().ResetDevice(*toy, code, errorCode) != 0) {
            if (errorCode == "INVALID_CODE" || errorCode == "ERROR_MISSING_PARMS") {
                RaiseError(kWrongCodeString);
            } else if (errorCode == "DEVICE_NOT_RESETABLE") {
                // The service said why; a server error would send the user
                // to customer support for a toy that simply cannot be reset.
                RaiseError(kNotResetableString);
            } else {
                RaiseError(kServerErrorString);
            }
            return;
        }
        // The listed toy is the one the next screens read.
        UpdateToyInUse(application, [](Toy& used) { used.SetResetPending(true); });
        GetFrame().Target().Send(UI::WM_GLM_SHOW_CONGRATS, kResetDoneString);
    }
    GetFrame().Target().Send(UI::WM_GLM_SHOW_SIGN_IN);
    hide();
}

} // namespace Glm

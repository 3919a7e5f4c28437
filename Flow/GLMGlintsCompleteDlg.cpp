#include "GLMGlintsCompleteDlg.h"

#include "GLMGlintsFairyViews.h"
#include "Glimmeries.h"
#include "MainFrame.h"
#include "ToyInUse.h"
#include "common/UI/Messages.h"
#include "webapi/PointsHandOver.h"
#include "webapi/QueryText.h"

namespace Glm {

namespace {

constexpr unsigned kToyGoneString = 153;
constexpr unsigned kNoPointsString = 160;
constexpr unsigned kDeviceErrorString = 182;
constexpr unsigned kQuestionText = 143;

} // namespace

CGLMGlintsCompleteDlg::CGLMGlintsCompleteDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedPopup(application, frame, kDialogId) {}

void CGLMGlintsCompleteDlg::OnInitDialog() {
    AddStaticImage("POPUP_GLINTS_UPLOAD", kHeaderId, 199, 145);
    AddButton("POPUP_EXIT_BUTTONS", 3, kCloseId, 521, 146);
    AddButton("POPUP_OK_BUTTONS", 3, kOkId, 267, 371);
    AddButton("POPUP_CANCEL_BUTTONS", 2, kCancelId, 391, 384);
    ThinUI::TextLabel* text = AddBodyLabel(kTextId, 261, 241);
    const std::optional<Toy> toy = FindToyInUse(GetApplication());
    const std::int32_t points = toy ? toy->GetPoints() : 0;
    text->SetText(
        GlintText(kQuestionText, {std::to_string(points), GlintFairyName(GetApplication(), m_fairyId)}));
}

void CGLMGlintsCompleteDlg::OnCommand(int controlId) {
    switch (controlId) {
    case kOkId:
        OnOk();
        break;
    case kCancelId:
    case kCloseId:
        GetApplication().PlaySound("CLOSE_SOUND");
        EndDialog(kCancel);
        break;
    default:
        break;
    }
}

void CGLMGlintsCompleteDlg::OnOk() {
    // A second click that arrives after the question was answered changes
    // nothing.
    if (!isVisible()) {
        return;
    }
    Glimmeries& application = GetApplication();
    UI::MessageTarget& frame = GetFrame().Target();
    std::optional<Toy> toy = FindToyInUse(application);
    if (!toy || !toy->IsPresent()) {
        frame.Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
        return;
    }
    // The hand-over works on a copy: the toy list is not held locked across
    // a web request. The list's toy takes the cleared memory afterwards.
    PointsJournal journal(application.GetDataDirectory());
    const PointsHandOver handOver = GivePoints(application.GetWebApi(), *toy, m_fairyId, journal);
    switch (handOver.outcome) {
    case PointsHandOver::NoToy:
        frame.Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
        return;
    case PointsHandOver::NothingToGive:
        EndDialog(kCancel);
        frame.Send(UI::WM_GLM_SHOW_ERROR, kNoPointsString);
        return;
    case PointsHandOver::UploadFailed:
        // The points stay on the toy and the question stays open; a
        // transport failure has been shown by the web client.
        return;
    case PointsHandOver::ClearFailed:
        EndDialog(kConfirm);
        frame.Send(UI::WM_GLM_SHOW_ERROR, kDeviceErrorString);
        break;
    case PointsHandOver::Given: {
        const Toy::Memory cleared = toy->GetImage();
        const std::uint32_t deviceId = toy->GetDeviceId();
        UpdateToyInUse(application, [&](Toy& listed) {
            if (listed.GetDeviceId() == deviceId) {
                listed.SetImage(cleared);
            }
        });
        EndDialog(kConfirm);
        frame.Send(UI::WM_GLM_SHOW_GLINT_UPLOAD_CONGRATS, static_cast<UI::WPARAM>(handOver.points),
                   DecimalToInt32(handOver.creditedFairyId));
        break;
    }
    }
    frame.Send(UI::WM_GLM_GLINT_UPLOAD_NEXT);
}

} // namespace Glm

#include "GLMBraceletMsgDlg.h"

#include "GLMSetupWarningDlg.h"
#include "Glimmeries.h"
#include "MainFrame.h"
#include "ThinUI/Controls.h"
#include "ThinUI/ResourceImage.h"
#include "ToyInUse.h"
#include "common/Ex/Exceptions.h"
#include "common/UI/Messages.h"

#include <QComboBox>
#include <QWebEnginePage>
#include <vector>

namespace Glm {

namespace {

constexpr unsigned kToyGoneString = 153;
constexpr unsigned kOtherAccountString = 155;
constexpr unsigned kNotAvailableString = 188;
constexpr int kListX = 255;
constexpr int kMessageListY = 379;
constexpr int kGiftListY = 418;
constexpr int kListWidth = 259;
constexpr int kListHeight = 17;
constexpr int kPictureX = 190;
constexpr int kMessagePictureY = 112;
constexpr int kTextPictureY = 166;

const std::string kHaloOn =
    "<invoke name=\"SetHalo\" returntype=\"xml\"><arguments><string>true</string></arguments></invoke>";
const std::string kHaloOff =
    "<invoke name=\"SetHalo\" returntype=\"xml\"><arguments><string>false</string></arguments></invoke>";

QComboBox* AddList(QWidget& screen, int controlId, int y) {
    auto* list = new QComboBox(&screen);
    ThinUI::PlaceControl(list, &screen, controlId, kListX, y);
    list->setFixedSize(kListWidth, kListHeight);
    QFont font(QStringLiteral("arial"));
    font.setPixelSize(11);
    font.setBold(true);
    list->setFont(font);
    return list;
}

/// The item data of the selected entry; 0 when nothing is selected.
std::uint32_t SelectedId(const QComboBox& list) {
    if (list.currentIndex() < 0) {
        return 0;
    }
    return static_cast<std::uint32_t>(list.currentData().toLongLong());
}

void Fill(QComboBox& list, const std::vector<std::int32_t>& ids, const std::vector<std::string>& texts) {
    list.clear();
    for (std::size_t i = 0; i < ids.size() && i < texts.size(); ++i) {
        list.addItem(QString::fromStdString(texts[i]), QVariant::fromValue<qlonglong>(ids[i]));
    }
    if (list.count() > 0) {
        list.setCurrentIndex(0);
    }
}

} // namespace

void FairyAvatarView::SetAvatar(UI::WPARAM wParam, const std::string& flashVars, UI::LPARAM lParam,
                                std::uint32_t clickMessage, std::uint32_t backgroundColor) {
    FlashWindowView::SetAvatar(wParam, flashVars, lParam, clickMessage, backgroundColor);
    if (!flashVars.empty()) {
        m_fairyId = std::to_string(static_cast<std::int32_t>(lParam));
    }
}

CGLMBraceletMsgDlg::CGLMBraceletMsgDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedScreen(application, frame, kDialogId,
                    std::make_unique<ThinUI::ResourceImage>("BACKGROUND_CHANGEBRACELET", "JPG")),
      m_target([this](const UI::Message& message) -> UI::LRESULT {
          if (message.id == UI::WM_GLM_FAIRY_SELECTED) {
              OnFairySelected(message.lParam);
          }
          return 0;
      }) {}

CGLMBraceletMsgDlg::~CGLMBraceletMsgDlg() {
    DestroyAvatars();
}

bool CGLMBraceletMsgDlg::OnInitDialog() {
    AddTitleButtons({kExitId, kMinimizeId, kHelpId, kMenuId, {}});
    AddButton("NEXT_BUTTONS", 3, kNextId, 625, 219);
    AddButton("BACK_BUTTONS", 3, kBackId, 21, 219);
    AddButton("WHATISTHIS_BUTTONS", 2, kWhatIsThisId, 112, 431);
    m_setupPicture = AddStaticImage("SETUP_BRACELET_MSG_IMAGE", kSetupPictureId, kPictureX, kMessagePictureY);
    m_changePicture =
        AddStaticImage("CHANGE_BRACELET_MSG_IMAGE", kChangePictureId, kPictureX, kMessagePictureY);
    m_setupTextPicture =
        AddStaticImage("SETUP_BRACELET_TEXT_IMAGE", kSetupTextPictureId, kPictureX, kTextPictureY);
    m_setupPicture->hide();
    m_changePicture->hide();
    m_setupTextPicture->hide();
    m_messages = AddList(*this, kMessageListId, kMessageListY);
    m_gifts = AddList(*this, kGiftListId, kGiftListY);
    return true;
}

UI::LRESULT CGLMBraceletMsgDlg::OnFrameMessage(const UI::Message& message) {
    if (message.id == UI::WM_GLM_SHOW_BRACELET_SETUP) {
        m_mode = message.lParam == kChangeMode ? kChangeMode : kSetUpMode;
        // Asked again while up (the set-up warning has just registered the
        // bracelet from this page): the page reads the toy afresh.
        if (isVisible()) {
            DestroyAvatars();
            OnShow();
        }
    }
    return 0;
}

void CGLMBraceletMsgDlg::OnShow() {
    Glimmeries& application = GetApplication();
    try {
        const std::optional<Toy> toy = FindToyInUse(application);
        if (toy.has_value() && toy->IsPresent()) {
            const bool setUp = m_mode == kSetUpMode;
            m_setupPicture->setVisible(setUp);
            m_setupTextPicture->setVisible(setUp);
            m_changePicture->setVisible(!setUp);
            ShowAvatars(*toy);
            FillLists(*toy);
        }
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("CGLMBraceletMsgDlg::OnShowWindow");
    } catch (const std::exception& e) {
        application.GetLogger().Log(std::string("CGLMBraceletMsgDlg::OnShowWindow: ") + e.what());
    }
    application.Report("SetUpBraceletPickFairies");
}

void CGLMBraceletMsgDlg::ShowAvatars(const Toy& toy) {
    Glimmeries& application = GetApplication();
    std::array<AvatarView*, kAvatarCount> views{};
    for (std::size_t i = 0; i < views.size(); ++i) {
        m_avatars[i].Forget();
        views[i] = &m_avatars[i];
    }
    const QRect first(QPoint(kAvatarLeft, kAvatarTop), QPoint(kAvatarRight - 1, kAvatarBottom - 1));
    application.GetWebApi().DisplayFairies(this, UI::WM_GLM_FAIRY_SELECTED,
                                           application.GetParameter("SWF_AVATAR_AND_BUTTERFLY"), views, first,
                                           kAvatarDistance, toy.GetOwnerUserId(), &m_target);
    for (FairyAvatarView& view : m_avatars) {
        if (Web::FlashWindow* movie = view.GetFlashWindow()) {
            // A movie that is still loading takes its halo when it is ready.
            connect(movie, &Web::FlashWindow::ReadyStateChanged, this, [this, &view](int state) {
                if (state == 4) {
                    SetHalo(view);
                }
            });
        }
    }

    std::string fairyId = toy.GetFairyId();
    if (fairyId.empty()) {
        application.GetWebApi().GetUser(static_cast<std::uint32_t>(toy.GetClickId()), fairyId);
        UpdateToyInUse(application, [&fairyId](Toy& used) { used.SetFairyId(fairyId); });
    }
    m_chosenFairy = fairyId;
    ApplyHalo();
}

void CGLMBraceletMsgDlg::FillLists(const Toy& toy) {
    Glimmeries& application = GetApplication();
    const std::string content = application.GetParameter("GLM_WEBSITE_BASE_URL");
    std::vector<std::int32_t> ids;
    std::vector<std::string> texts;
    application.GetWebApi().GetFriendMessages(content, ids, texts);
    Fill(*m_messages, ids, texts);
    ids.clear();
    texts.clear();
    application.GetWebApi().GetFriendGifts(static_cast<std::uint32_t>(toy.GetClickId()), content, ids, texts);
    Fill(*m_gifts, ids, texts);
}

void CGLMBraceletMsgDlg::ApplyHalo() {
    for (FairyAvatarView& view : m_avatars) {
        if (view.GetFlashWindow() != nullptr && view.GetFlashWindow()->GetReadyState() == 4) {
            SetHalo(view);
        }
    }
}

void CGLMBraceletMsgDlg::SetHalo(FairyAvatarView& view) {
    Web::FlashWindow* movie = view.GetFlashWindow();
    if (movie == nullptr || movie->GetPage() == nullptr || movie->GetReadyState() != 4 ||
        view.GetFairyId().empty()) {
        return;
    }
    // The same call as the player's CallFunction, sent without waiting for
    // the reply, which the halo does not need: a blocking call made just
    // after a movie became ready can wait out its whole time limit, and the
    // other movies wait with it.
    const std::string& request = view.GetFairyId() == m_chosenFairy ? kHaloOn : kHaloOff;
    movie->GetPage()->runJavaScript(QStringLiteral("window.__glmInvoke && window.__glmInvoke('") +
                                    QString::fromStdString(request) + QStringLiteral("');"));
}

void CGLMBraceletMsgDlg::OnHide() {
    DestroyAvatars();
}

void CGLMBraceletMsgDlg::DestroyAvatars() {
    for (FairyAvatarView& view : m_avatars) {
        try {
            view.DestroyClientWindow();
            view.Forget();
        } catch (Ex::Exception& e) {
            e.AddStackFrame(EX_FRAME);
            e.LogNoThrow("CGLMBraceletMsgDlg::OnHide");
        }
    }
}

void CGLMBraceletMsgDlg::OnFairySelected(UI::LPARAM fairyId) {
    Glimmeries& application = GetApplication();
    try {
        application.PlaySound("PIXIE_DUST_JINGLE_SOUND");
        if (!IsToyInUsePresent(application)) {
            GetFrame().Target().Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
            return;
        }
        m_chosenFairy = std::to_string(static_cast<std::int32_t>(fairyId));
        const std::string chosen = m_chosenFairy;
        UpdateToyInUse(application, [&chosen](Toy& used) { used.SetFairyId(chosen); });
        ApplyHalo();
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("CGLMBraceletMsgDlg::OnFairySelected");
    } catch (const std::exception& e) {
        application.GetLogger().Log(std::string("CGLMBraceletMsgDlg::OnFairySelected: ") + e.what());
    }
}

void CGLMBraceletMsgDlg::OnCommand(int controlId) {
    Glimmeries& application = GetApplication();
    try {
        switch (controlId) {
        case kNextId:
            OnBnClickedNext();
            break;
        case kBackId:
            application.PlaySound("PAGE_TURN_SOUND");
            GetFrame().Target().Send(UI::WM_GLM_SCREEN_DONE);
            hide();
            break;
        case kWhatIsThisId:
            application.PlaySound("HELP_SOUND");
            GetFrame().Target().Send(UI::WM_GLM_SHOW_QUICKPHRASE_POPUP);
            break;
        default:
            break;
        }
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("CGLMBraceletMsgDlg::OnCommand");
    } catch (const std::exception& e) {
        application.GetLogger().Log(std::string("CGLMBraceletMsgDlg::OnCommand: ") + e.what());
    }
}

void CGLMBraceletMsgDlg::OnBnClickedNext() {
    Glimmeries& application = GetApplication();
    UI::MessageTarget& frame = GetFrame().Target();
    application.PlaySound("PAGE_TURN_SOUND");
    const std::optional<Toy> toy = FindToyInUse(application);
    if (!toy.has_value() || !toy->IsPresent()) {
        frame.Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
        return;
    }
    if (toy->GetClickId() == 0) {
        // Not registered yet: the warning does the first registration.
        frame.Send(UI::WM_GLM_SHOW_SETUP_CONFIRM);
        return;
    }
    application.SetMessageId(SelectedId(*m_messages));
    application.SetGiftId(SelectedId(*m_gifts));
    std::string errorCode;
    if (SetUpToyInUse(application, application.GetMessageId(), application.GetGiftId(), errorCode) != 0) {
        if (errorCode == "NOT_GLIMMERY_OWNER") {
            frame.Send(UI::WM_GLM_SHOW_ERROR, kOtherAccountString);
        } else if (errorCode == "ITEM_NOT_AVAILABLE") {
            frame.Send(UI::WM_GLM_SHOW_ERROR, kNotAvailableString);
        }
        return;
    }
    frame.Send(UI::WM_GLM_SHOW_SETUP_CONGRATS);
    // The bracelet is done: back to the main menu, unless the popup's end
    // already led elsewhere (the toy went, and with it every screen).
    if (isVisible()) {
        frame.Send(UI::WM_GLM_SCREEN_DONE);
        hide();
    }
}

} // namespace Glm

#include "GLMCharmsUploadDlg.h"

#include "CharmListView.h"
#include "Glimmeries.h"
#include "MainFrame.h"
#include "ScreenLabels.h"
#include "ThinUI/Colors.h"
#include "ThinUI/Controls.h"
#include "ThinUI/ResourceImage.h"
#include "ThinUI/StringSource.h"
#include "ToyInUse.h"
#include "common/Ex/Exceptions.h"
#include "common/UI/Messages.h"
#include "device/BusyIndicator.h"
#include "webapi/UploadBodies.h"

#include <QIcon>
#include <QPixmap>
#include <QScrollBar>
#include <algorithm>

namespace Glm {

namespace {

constexpr unsigned kToyGoneString = 153;
constexpr unsigned kNotAvailableString = 166;
constexpr unsigned kInventoryFullString = 167;
constexpr unsigned kChooseCharmString = 168;
constexpr unsigned kDeviceErrorString = 182;
constexpr unsigned kChooseFairyString = 189;
constexpr unsigned kAlreadyOwnedString = 195;
constexpr unsigned kPromptString = 1040;

const QRect kFirstAvatar(QPoint(193, 158), QPoint(298, 317));

const std::string kHaloOn =
    "<invoke name=\"SetHalo\" returntype=\"xml\"><arguments><string>true</string></arguments></invoke>";
const std::string kHaloOff =
    "<invoke name=\"SetHalo\" returntype=\"xml\"><arguments><string>false</string></arguments></invoke>";

/// The string-table text with each "%s" replaced by the next value; the
/// values are never read as a format.
std::string FormatString(unsigned id, std::initializer_list<std::string> values) {
    std::string text = ThinUI::LoadText(id).value_or(std::string());
    std::size_t from = 0;
    for (const std::string& value : values) {
        const std::size_t mark = text.find("%s", from);
        if (mark == std::string::npos) {
            break;
        }
        text.replace(mark, 2, value);
        from = mark + value.size();
    }
    return text;
}

std::string Unsigned(std::int64_t value) {
    return std::to_string(static_cast<std::uint32_t>(value));
}

std::vector<std::int32_t> IdsOf(const std::vector<ToyItem>& items) {
    std::vector<std::int32_t> ids;
    ids.reserve(items.size());
    for (const ToyItem& item : items) {
        ids.push_back(item.id);
    }
    return ids;
}

} // namespace

CGLMCharmsUploadDlg::CGLMCharmsUploadDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedScreen(application, frame, kDialogId,
                    std::make_unique<ThinUI::ResourceImage>("BACKGROUND_ADDCHARMS", "JPG")),
      m_catalogue(&frame.Target()),
      m_target([this](const UI::Message& message) { return OnPageMessage(message); }),
      m_poller(std::make_unique<CharmPoller>(m_target, m_heldNames)) {}

CGLMCharmsUploadDlg::~CGLMCharmsUploadDlg() {
    // Joins the poll thread while everything it uses is still there.
    m_poller.reset();
}

QRect CGLMCharmsUploadDlg::AvatarRect(std::size_t slot) {
    return kFirstAvatar.translated(static_cast<int>(slot) * kAvatarStep, 0);
}

bool CGLMCharmsUploadDlg::OnInitDialog() {
    AddTitleButtons({kExitId, kMinimizeId, kHelpId, kMenuId, "PAGE_TURN_SOUND"});
    m_next = AddButton("NEXT_BUTTONS", 3, kNextId, 625, 219);
    AddButton("BACK_BUTTONS", 3, kBackId, 21, 219);
    m_leftArrow = AddButton("CHARMS_ARROW_LEFT", 3, kLeftArrowId, 146, 368);
    m_rightArrow = AddButton("CHARMS_ARROW_RIGHT", 3, kRightArrowId, 559, 368);
    m_image = AddStaticImage("ADDCHARMS_IMAGE", kImageId, 235, 112);
    m_errorImage = AddStaticImage("ADDCHARMS_ERROR_IMAGE", kErrorImageId, 74, 113);
    m_prompt = AddPageLabel(*this, kPromptId, 233, 323, kPageTextColor, 14);
    m_prompt->hide();
    m_next->hide();
    m_leftArrow->hide();
    m_rightArrow->hide();

    // The poller is stopped while the page is not shown, so the catalogue
    // can be filled without its lock.
    int imageWidth = 0;
    int imageHeight = 0;
    LoadCharmStrip(m_catalogue, GetApplication().GetParameter("GLM_WEBSITE_BASE_URL"), m_strip, imageWidth,
                   imageHeight);

    m_list = new CharmListView(this);
    if (!ThinUI::PlaceControl(m_list, this, kListId, kListX, kListY)) {
        return false;
    }
    m_list->resize(kListWidth, kListHeight);
    m_list->show();
    m_leftArrow->raise();
    m_rightArrow->raise();
    QObject::connect(m_list, &QAbstractItemView::clicked, [this](const QModelIndex&) {
        GetApplication().PlaySound("CLICK_BUBBLE_SOUND");
        update();
    });
    return true;
}

void CGLMCharmsUploadDlg::OnShow() {
    const std::optional<Toy> toy = FindToyInUse(GetApplication());
    m_leftArrow->hide();
    m_rightArrow->hide();
    // One error for a toy that is gone, not one per step that needs it.
    if (!toy.has_value() || !toy->IsPresent()) {
        GetFrame().Target().Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
    } else {
        ShowFairies(*toy);
        Refresh();
        m_poller->Start(*toy, GetListedCharms());
    }
    GetApplication().Report("AddCharms");
}

void CGLMCharmsUploadDlg::OnHide() {
    m_poller->Stop();
    DestroyAvatars();
    m_chosenFairy = 0;
    m_next->hide();
    m_prompt->hide();
}

void CGLMCharmsUploadDlg::DestroyAvatars() {
    for (FlashWindowView& avatar : m_avatars) {
        avatar.DestroyClientWindow();
    }
}

void CGLMCharmsUploadDlg::ShowFairies(const Toy& toy) {
    DestroyAvatars();
    std::array<AvatarView*, kAvatarSlots> views{};
    for (std::size_t slot = 0; slot < kAvatarSlots; ++slot) {
        views[slot] = &m_avatars[slot];
    }
    Glimmeries& application = GetApplication();
    application.GetWebApi().DisplayFairies(this, kFairyClickedMessage,
                                           application.GetParameter("SWF_AVATAR_AND_BUTTERFLY"), views,
                                           kFirstAvatar, kAvatarStep, toy.GetOwnerUserId(), &m_target);
}

UI::LRESULT CGLMCharmsUploadDlg::OnFrameMessage(const UI::Message& message) {
    if (message.id == UI::WM_GLM_CHARM_NEXT) {
        Refresh();
    }
    return 0;
}

UI::LRESULT CGLMCharmsUploadDlg::OnPageMessage(const UI::Message& message) {
    try {
        switch (message.id) {
        case kFairyClickedMessage:
            OnFairyChosen(message.wParam, message.lParam);
            break;
        case WM_GLM_CHARM_TOUCHED:
            OnCharmTouched(message);
            break;
        default:
            break;
        }
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("CGLMCharmsUploadDlg::OnPageMessage");
    } catch (const std::exception& e) {
        GetApplication().GetLogger().Log(std::string("CGLMCharmsUploadDlg::OnPageMessage: ") + e.what());
    }
    return 0;
}

void CGLMCharmsUploadDlg::OnFairyChosen(UI::WPARAM slot, UI::LPARAM fairyId) {
    Glimmeries& application = GetApplication();
    application.PlaySound("PIXIE_DUST_JINGLE_SOUND");
    m_next->show();
    m_next->update();
    m_chosenFairy = fairyId;
    std::string name;
    application.GetWebApi().ObtainFairyProfileByFairyId(Unsigned(fairyId), name);
    const std::optional<Toy> toy = FindToyInUse(application);
    if (toy.has_value() && toy->GetType() != kBraceletProduct) {
        UpdateToyInUse(application, [&name](Toy& inUse) { inUse.SetFairyName(name); });
    }
    m_prompt->SetText(FormatString(kPromptString, {name}));
    m_prompt->show();
    for (std::size_t view = 0; view < kAvatarSlots; ++view) {
        if (m_avatars[view].GetFlashWindow() != nullptr) {
            m_avatars[view].CallFunction(view == slot ? kHaloOn : kHaloOff);
        }
    }
}

void CGLMCharmsUploadDlg::Refresh() {
    bool refused = false;
    {
        BusyScope busy;
        Sync::AutoLock lock(m_poller->GetLock());
        std::optional<Toy> toy = FindToyInUse(GetApplication());
        if (!toy.has_value() || !toy->IsPresent()) {
            GetFrame().Target().Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
            return;
        }
        if (m_list == nullptr) {
            update();
            return;
        }
        const std::uint32_t kind = toy->GetType();
        std::vector<ToyItem> charms;
        if (kind == kBraceletProduct || kind == kJewelryBoxProduct) {
            // Charms touched since the toy was plugged are only on the toy.
            if (toy->ReadMemory() != 0) {
                return;
            }
            const Toy::Memory image = toy->GetImage();
            UpdateToyInUse(GetApplication(), [&image](Toy& inUse) { inUse.SetImage(image); });
            if (toy->GetItems(m_heldNames, charms) != 0) {
                return;
            }
        }
        m_list->clear();
        for (const ToyItem& charm : charms) {
            refused = !InsertCharm(charm.id) || refused;
        }
        ShowArrowsAndPictures();
        m_poller->SetListed(IdsOf(charms));
    }
    // Raised once the list is complete and the lock is free: the error popup
    // runs its own loop, in which the poller's reports keep arriving.
    if (refused) {
        GetFrame().Target().Send(UI::WM_GLM_SHOW_ERROR, kNotAvailableString);
    }
    update();
}

bool CGLMCharmsUploadDlg::InsertCharm(std::int32_t charmId) {
    const CharmRecord* charm = m_catalogue.FindCharm(charmId);
    if (charm == nullptr) {
        GetApplication().GetLogger().Log("Charm " + std::to_string(charmId) + " is not in the catalogue");
        return false;
    }
    auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(m_strip.GetPicture(charm->imageIndex))),
                                     QString::fromStdString(BreakIntoTwoLines(charm->name)));
    item->setData(Qt::UserRole, static_cast<qint64>(static_cast<std::uint32_t>(charmId)));
    item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    item->setSizeHint(QSize(kItemStep, kListHeight));
    m_list->addItem(item);
    ShowArrowsAndPictures();
    m_list->scrollToItem(item);
    return true;
}

void CGLMCharmsUploadDlg::ShowArrowsAndPictures() {
    const bool arrows = m_list->count() > kCharmsWithoutArrows;
    m_leftArrow->setVisible(arrows);
    m_rightArrow->setVisible(arrows);
    m_image->setVisible(m_list->count() > 0);
    m_errorImage->setVisible(m_list->count() == 0);
}

void CGLMCharmsUploadDlg::OnCharmTouched(const UI::Message& message) {
    ToyItem charm;
    if (!m_poller->TakeTouch(message, charm) || isHidden()) {
        return;
    }
    const std::vector<std::int32_t> listed = GetListedCharms();
    if (std::find(listed.begin(), listed.end(), charm.id) != listed.end()) {
        return;
    }
    if (!InsertCharm(charm.id)) {
        GetFrame().Target().Send(UI::WM_GLM_SHOW_ERROR, kNotAvailableString);
        return;
    }
    m_list->viewport()->update();
    update();
}

std::vector<std::int32_t> CGLMCharmsUploadDlg::GetListedCharms() const {
    std::vector<std::int32_t> ids;
    if (m_list == nullptr) {
        return ids;
    }
    for (int row = 0; row < m_list->count(); ++row) {
        ids.push_back(static_cast<std::int32_t>(m_list->item(row)->data(Qt::UserRole).toLongLong()));
    }
    return ids;
}

std::int32_t CGLMCharmsUploadDlg::GetSelectedCharm() const {
    if (m_list == nullptr) {
        return 0;
    }
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? 0
                              : static_cast<std::int32_t>(selected.front()->data(Qt::UserRole).toLongLong());
}

std::string CGLMCharmsUploadDlg::GetSelectedCharmPopupImage() const {
    return CharmPopupImageName(m_catalogue, GetSelectedCharm());
}

void CGLMCharmsUploadDlg::OnCommand(int controlId) {
    UI::MessageTarget& frame = GetFrame().Target();
    switch (controlId) {
    case kNextId:
        try {
            OnNext();
        } catch (Ex::NonFatalException& e) {
            e.AddStackFrame(EX_FRAME);
            e.LogNoThrow("CGLMCharmsUploadDlg::OnBnClickedNext");
        } catch (const std::exception& e) {
            GetApplication().GetLogger().Log(std::string("CGLMCharmsUploadDlg::OnBnClickedNext: ") +
                                             e.what());
        }
        break;
    case kBackId:
        GetApplication().PlaySound("PAGE_TURN_SOUND");
        frame.Send(UI::WM_GLM_SCREEN_DONE);
        hide();
        break;
    case kLeftArrowId:
        Scroll(-kItemStep);
        break;
    case kRightArrowId:
        Scroll(kItemStep);
        break;
    default:
        break;
    }
}

void CGLMCharmsUploadDlg::Scroll(int amount) {
    QScrollBar* bar = m_list->horizontalScrollBar();
    const int before = bar->value();
    bar->setValue(before + amount);
    if (bar->value() != before) {
        m_list->viewport()->update();
    }
}

void CGLMCharmsUploadDlg::OnNext() {
    UI::MessageTarget& frame = GetFrame().Target();
    GetApplication().PlaySound("PAGE_TURN_SOUND");
    if (m_chosenFairy == 0) {
        frame.Send(UI::WM_GLM_SHOW_ERROR, kChooseFairyString);
        return;
    }
    const std::int32_t charmId = GetSelectedCharm();
    if (charmId == 0) {
        frame.Send(UI::WM_GLM_SHOW_ERROR, kChooseCharmString);
        return;
    }
    UploadCharm(charmId);
}

void CGLMCharmsUploadDlg::UploadCharm(std::int32_t charmId) {
    Glimmeries& application = GetApplication();
    UI::MessageTarget& frame = GetFrame().Target();
    std::vector<unsigned> errors;
    bool given = false;
    {
        BusyScope busy;
        Sync::AutoLock lock(m_poller->GetLock());
        std::optional<Toy> toy = FindToyInUse(application);
        if (!toy.has_value() || !toy->IsPresent()) {
            errors.push_back(kToyGoneString);
        } else {
            const std::string body = BuildCharmUploadBody(
                Unsigned(m_chosenFairy), static_cast<std::uint32_t>(toy->GetClickId()), charmId);
            // The slot is looked for in what the toy holds now: the charm may
            // have been touched after the list was read.
            const auto clear = [&]() {
                if (toy->ReadMemory() != 0 || toy->RemoveEntry(charmId) != 0) {
                    return false;
                }
                const Toy::Memory image = toy->GetImage();
                UpdateToyInUse(application, [&image](Toy& inUse) { inUse.SetImage(image); });
                return true;
            };
            std::string errorCode;
            if (application.GetWebApi().UploadCharms(body, errorCode) != 0) {
                if (errorCode == "ITEM_NOT_AVAILABLE") {
                    errors.push_back(kNotAvailableString);
                } else if (errorCode == "INVENTORY_FULL") {
                    errors.push_back(kInventoryFullString);
                } else if (errorCode == "INVENTORY_ALREADY_OWNED") {
                    errors.push_back(kAlreadyOwnedString);
                    if (!clear()) {
                        errors.push_back(kDeviceErrorString);
                    }
                }
            } else if (clear()) {
                given = true;
            } else {
                errors.push_back(kDeviceErrorString);
            }
        }
    }
    // The popups run outside the lock: their loops go on delivering reports.
    for (const unsigned error : errors) {
        frame.Send(UI::WM_GLM_SHOW_ERROR, error);
    }
    if (given) {
        frame.Send(UI::WM_GLM_SHOW_CHARM_CONGRATS, 0, m_chosenFairy);
    }
    frame.Send(UI::WM_GLM_CHARM_NEXT, 0, charmId);
}

} // namespace Glm

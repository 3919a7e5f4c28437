#include "GLMFriendshipUploadDlg.h"

#include "Glimmeries.h"
#include "MainFrame.h"
#include "ScreenLabels.h"
#include "ThinUI/Colors.h"
#include "ThinUI/Controls.h"
#include "ThinUI/ResourceImage.h"
#include "ToyInUse.h"
#include "common/Ex/Exception.h"
#include "common/Mod/Mod.h"
#include "common/UI/Messages.h"
#include "webapi/FriendCollector.h"
#include "webapi/UploadBodies.h"

#include <QPixmap>
#include <QScrollBar>

namespace Glm {

namespace {

constexpr unsigned kToyGoneString = 153;
constexpr unsigned kRowString = 125;
constexpr unsigned kSameAccountString = 178;
constexpr unsigned kDeviceErrorString = 182;

QIcon PictureIcon(const std::string& name) {
    ThinUI::ResourceImage image(name, "JPG");
    if (!image.Load()) {
        return {};
    }
    return QIcon(QPixmap::fromImage(image.GetBitmap()));
}

bool Holds(const Toy& toy, std::int32_t value) {
    for (std::size_t word = Toy::kFirstSlotWord; word < Toy::kWordCount; ++word) {
        if (Toy::GetWord(toy.GetImage(), word) == value) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string FriendshipText(unsigned stringId, std::initializer_list<std::string> values) {
    try {
        return FormatText(Mod::LoadString(stringId, 1024), values);
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::FriendshipText");
        return {};
    }
}

unsigned FriendshipErrorString(const std::string& errorCode) {
    if (errorCode == "TOO_MANY_FRIENDS") {
        return 163;
    }
    if (errorCode == "NOT_FOUND") {
        return 186;
    }
    return 185;
}

std::int32_t RemoveFromBracelet(Glimmeries& application, std::uint32_t clickId) {
    const auto value = static_cast<std::int32_t>(clickId);
    std::int32_t result = 1;
    UpdateToyInUse(application, [&](Toy& toy) {
        if (!toy.IsPresent()) {
            return;
        }
        result = 0;
        // A friend stored twice was answered once: no slot may offer it again.
        while (result == 0 && Holds(toy, value)) {
            const Toy::Memory before = toy.GetImage();
            result = toy.RemoveEntry(value);
            if (result != 0) {
                toy.SetImage(before);
            }
        }
    });
    return result;
}

FriendshipListView::FriendshipListView(QWidget* parent) : QListWidget(parent) {
    setViewMode(QListView::ListMode);
    setFlow(QListView::TopToBottom);
    SetUpSkinList(*this);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setIconSize(QSize(CGLMFriendshipUploadDlg::kIconSize, CGLMFriendshipUploadDlg::kIconSize));
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideNone);
}

QRect FriendshipListView::ItemRect(int index) const {
    return visualRect(model()->index(index, 0));
}

CGLMFriendshipUploadDlg::CGLMFriendshipUploadDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedScreen(application, frame, kDialogId,
                    std::make_unique<ThinUI::ResourceImage>("BACKGROUND_MAIN", "JPG")) {}

CGLMFriendshipUploadDlg::~CGLMFriendshipUploadDlg() = default;

bool CGLMFriendshipUploadDlg::OnInitDialog() {
    AddTitleButtons({kExitId, kMinimizeId, kHelpId, kMenuId, {}});
    AddButton("BACK_BUTTONS", 3, kBackId, 21, 219);
    m_up = AddButton("UP_BUTTONS", 3, kUpId, 626, 245);
    m_down = AddButton("DOWN_BUTTONS", 3, kDownId, 628, 344);
    m_up->hide();
    m_down->hide();
    m_image = AddStaticImage("ADDFRIENDS_IMAGE", kImageId, 105, 131);
    m_errorImage = AddStaticImage("ADDFRIENDS_ERROR_IMAGE", kErrorImageId, 110, 124);
    for (const char* name : {"FAIRY", "FAIRY_BLUE", "FAIRY_GREEN", "FAIRY_YELLOW", "FAIRY_RED"}) {
        m_icons.push_back(PictureIcon(name));
    }
    m_list = new FriendshipListView(this);
    if (!ThinUI::PlaceControl(m_list, this, kListId, kListX, kListY)) {
        return false;
    }
    m_list->resize(kListWidth, kListHeight);
    m_list->show();
    QObject::connect(m_list, &QAbstractItemView::doubleClicked,
                     [this](const QModelIndex& index) { Open(index.row()); });
    QObject::connect(m_list, &QAbstractItemView::clicked, [this] { update(); });
    return true;
}

void CGLMFriendshipUploadDlg::OnShow() {
    Glimmeries& application = GetApplication();
    const std::optional<Toy> toy = FindToyInUse(application);
    if (!toy.has_value() || !toy->IsPresent()) {
        GetFrame().Target().Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
    } else {
        if (toy->GetFairyId().empty()) {
            Toy learned = *toy;
            if (LearnToyFairy(application.GetWebApi(), learned) == 0) {
                UpdateToyInUse(application, [&learned](Toy& used) {
                    used.SetFairyId(learned.GetFairyId());
                    used.SetFairyName(learned.GetFairyName());
                });
            }
        }
        Refresh();
    }
    application.Report("AddFriends");
}

UI::LRESULT CGLMFriendshipUploadDlg::OnFrameMessage(const UI::Message& message) {
    if (message.id == UI::WM_GLM_FRIENDSHIP_NEXT) {
        Refresh();
        return 1;
    }
    return 0;
}

const FriendRecord* CGLMFriendshipUploadDlg::GetEntry(std::intptr_t index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size()) {
        return nullptr;
    }
    return &m_entries[static_cast<std::size_t>(index)];
}

const QIcon& CGLMFriendshipUploadDlg::IconOf(std::int32_t status) const {
    // Icon order: new (and same account), gift, made, pending, declined.
    std::size_t icon = 0;
    switch (status) {
    case FRIENDSHIP_GIFT:
        icon = 1;
        break;
    case FRIENDSHIP_MADE:
        icon = 2;
        break;
    case FRIENDSHIP_PENDING:
        icon = 3;
        break;
    case FRIENDSHIP_DECLINED:
        icon = 4;
        break;
    default:
        break;
    }
    return m_icons.at(icon);
}

void CGLMFriendshipUploadDlg::Refresh() {
    m_list->clear();
    m_entries.clear();
    Glimmeries& application = GetApplication();
    const std::optional<Toy> toy = FindToyInUse(application);
    if (toy.has_value() && toy->IsPresent()) {
        CollectFriends(application.GetWebApi(), *toy, m_entries);
    } else {
        GetFrame().Target().Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
    }
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const FriendRecord& entry = m_entries[i];
        std::string text = FriendshipText(kRowString, {entry.fairyName, entry.userName});
        if (text.size() > kMaxTextLength) {
            text.resize(kMaxTextLength);
        }
        auto* item = new QListWidgetItem(IconOf(entry.status), QString::fromStdString(text));
        item->setData(Qt::UserRole, static_cast<int>(i));
        item->setSizeHint(QSize(kListWidth, kRowDistance));
        m_list->addItem(item);
    }
    const bool empty = m_entries.empty();
    m_errorImage->setVisible(empty);
    m_image->setVisible(!empty);
    const bool arrows = m_entries.size() >= static_cast<std::size_t>(kEntriesWithArrows);
    m_up->setVisible(arrows);
    m_down->setVisible(arrows);
    update();
}

void CGLMFriendshipUploadDlg::Scroll(int amount) {
    QScrollBar* bar = m_list->verticalScrollBar();
    bar->setValue(bar->value() + amount);
    m_list->viewport()->update();
}

void CGLMFriendshipUploadDlg::OnCommand(int controlId) {
    switch (controlId) {
    case kUpId:
        Scroll(-kScrollStep);
        break;
    case kDownId:
        Scroll(kScrollStep);
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

void CGLMFriendshipUploadDlg::Open(int index) {
    const FriendRecord* entry = GetEntry(index);
    if (entry == nullptr) {
        return;
    }
    Glimmeries& application = GetApplication();
    application.PlaySound("SELECT_SOUND");
    UI::MessageTarget& frame = GetFrame().Target();
    if (!IsToyInUsePresent(application)) {
        frame.Send(UI::WM_GLM_SHOW_ERROR, kToyGoneString);
        return;
    }
    switch (static_cast<std::int32_t>(entry->status)) {
    case FRIENDSHIP_DECLINED:
    case FRIENDSHIP_MADE:
    case FRIENDSHIP_PENDING:
        frame.Send(UI::WM_GLM_SHOW_FRIENDSHIP_STATUS, 0, index);
        break;
    case FRIENDSHIP_NEW:
        frame.Send(UI::WM_GLM_SHOW_FRIENDSHIP_INVITE, 0, index);
        break;
    case FRIENDSHIP_GIFT:
        frame.Send(UI::WM_GLM_SHOW_FRIENDSHIP_INVITE_2, 0, index);
        break;
    case FRIENDSHIP_SAME_ACCOUNT: {
        // Copied: the refresh below rebuilds the entries.
        const std::uint32_t clickId = entry->clickId;
        const bool removed = RemoveFromBracelet(application, clickId) == 0;
        frame.Send(UI::WM_GLM_SHOW_ERROR, removed ? kSameAccountString : kDeviceErrorString);
        frame.Send(UI::WM_GLM_FRIENDSHIP_NEXT);
        break;
    }
    default:
        break;
    }
}

} // namespace Glm

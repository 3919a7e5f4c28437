#include "GLMDevicesDlg.h"

#include "Glimmeries.h"
#include "MainFrame.h"
#include "ScreenLabels.h"
#include "ThinUI/Colors.h"
#include "ThinUI/Controls.h"
#include "ThinUI/ResourceImage.h"
#include "ToyList.h"
#include "common/Mod/Mod.h"
#include "common/UI/Messages.h"
#include "device/SupportedToys.h"
#include "device/Toy.h"

#include <QIcon>
#include <QPixmap>
#include <QScrollBar>

namespace Glm {

namespace {

constexpr unsigned kNotRecognizedString = 169;
constexpr unsigned kNotRegisteredString = 113;
constexpr unsigned kAddFriendsString = 190;
constexpr unsigned kUseGlintPointsString = 191;

std::string LoadText(unsigned id) {
    try {
        return Mod::LoadString(id, 1024);
    } catch (Ex::Exception& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow("Glm::CGLMDevicesDlg::LoadText");
        return {};
    }
}

struct Kind {
    unsigned labelString;
    const char* picture;
};

/// The label string and picture of a product; null for no known kind.
const Kind* KindOf(std::uint32_t productId) {
    static constexpr Kind kBracelet{112, "DEVICE_BRACELET"};
    static constexpr Kind kGame{111, "DEVICE_LCDGAME"};
    static constexpr Kind kJewelryBox{110, "DEVICE_JEWELRYBOX"};
    switch (productId) {
    case 4113:
        return &kBracelet;
    case 4114:
        return &kGame;
    case 4115:
        return &kJewelryBox;
    default:
        return nullptr;
    }
}

QIcon PictureIcon(const std::string& name) {
    ThinUI::ResourceImage image(name, "JPG");
    if (!image.Load()) {
        return {};
    }
    return QIcon(QPixmap::fromImage(image.GetBitmap()));
}

/// The name part of an item's label.
std::string NameOfLabel(const QString& label) {
    return label.section(QLatin1Char('\n'), 0, 0).toStdString();
}

} // namespace

DeviceListView::DeviceListView(QWidget* parent) : QListWidget(parent) {
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(false);
    SetUpSkinList(*this);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setIconSize(QSize(CGLMDevicesDlg::kPictureSize, CGLMDevicesDlg::kPictureSize));
    // One and a half item widths from one item to the next, on one row.
    setGridSize(QSize(CGLMDevicesDlg::kItemWidth * 3 / 2, CGLMDevicesDlg::kListHeight - 10));
    setWordWrap(true);
}

QRect DeviceListView::ItemRect(int index) const {
    return visualRect(model()->index(index, 0));
}

CGLMDevicesDlg::CGLMDevicesDlg(Glimmeries& application, MainFrame& frame)
    : SkinnedScreen(application, frame, kDialogId,
                    std::make_unique<ThinUI::ResourceImage>("BACKGROUND_DEVICEMNGR", "JPG")) {}

CGLMDevicesDlg::~CGLMDevicesDlg() = default;

bool CGLMDevicesDlg::OnInitDialog() {
    AddTitleButtons({kExitId, kMinimizeId, kHelpId, 0, {}});
    m_leftArrow = AddButton("DEVICE_ARROW_LEFT", 1, kLeftArrowId, 125, 286);
    m_rightArrow = AddButton("DEVICE_ARROW_RIGHT", 1, kRightArrowId, 580, 286);
    AddStaticImage("WELCOME_IMAGE", kWelcomeImageId, 263, 132);
    m_textImage = AddStaticImage("DEVICEMGR_TEXT_IMAGE", kTextImageId, 151, 180);
    m_errorImage = AddStaticImage("DEVICEMGR_ERROR_IMAGE", kErrorImageId, 151, 180);
    m_leftArrow->hide();
    m_rightArrow->hide();
    m_textImage->hide();

    m_list = new DeviceListView(this);
    if (!ThinUI::PlaceControl(m_list, this, kListId, kListX, kListY)) {
        return false;
    }
    m_list->resize(kListWidth, kListHeight);
    m_list->show();
    // The arrows lie over the list's ends.
    m_leftArrow->raise();
    m_rightArrow->raise();
    QObject::connect(m_list, &QAbstractItemView::doubleClicked,
                     [this](const QModelIndex& index) { Choose(index.row()); });
    AddVersionLabel(*this, GetApplication(), kVersionId);
    return true;
}

void CGLMDevicesDlg::OnShow() {
    Refresh(true);
}

UI::LRESULT CGLMDevicesDlg::OnFrameMessage(const UI::Message& message) {
    if (message.id == UI::WM_GLM_DEVICE_CHANGE) {
        return OnDeviceChange(message);
    }
    return 0;
}

void CGLMDevicesDlg::OnCommand(int controlId) {
    if (controlId == kLeftArrowId) {
        Scroll(-2 * kItemWidth);
    } else if (controlId == kRightArrowId) {
        Scroll(2 * kItemWidth);
    }
}

void CGLMDevicesDlg::Scroll(int amount) {
    QScrollBar* bar = m_list->horizontalScrollBar();
    bar->setValue(bar->value() + amount);
    m_list->viewport()->update();
}

std::string CGLMDevicesDlg::NameOf(const Toy& toy) {
    std::string name = toy.GetOwnerName();
    if (!name.empty()) {
        return name;
    }
    if (toy.GetClickId() != 0) {
        std::string displayName;
        if (GetApplication().GetWebApi().ObtainWhoAreThey(static_cast<std::uint32_t>(toy.GetClickId()),
                                                          displayName) == 0) {
            name = displayName;
        } else {
            name = LoadText(kNotRecognizedString);
        }
    }
    if (name.empty()) {
        name = LoadText(kNotRegisteredString);
    }
    // Kept on the listed toy: the next refresh asks nobody.
    GetApplication().GetToys().Update(toy.GetDeviceId(), [&name](Toy& listed) { listed.SetOwnerName(name); });
    return name;
}

void CGLMDevicesDlg::AddItem(const std::string& label, const std::string& pictureName,
                             std::int32_t itemData) {
    auto* item = new QListWidgetItem(PictureIcon(pictureName), QString::fromStdString(label));
    item->setData(Qt::UserRole, itemData);
    item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_list->addItem(item);
}

void CGLMDevicesDlg::Refresh(bool shown) {
    m_list->clear();
    int toys = 0;
    for (const Toy& toy : GetApplication().GetToys().List()) {
        const Kind* kind = KindOf(toy.GetProductId());
        if (kind == nullptr) {
            continue;
        }
        const std::string label = NameOf(toy) + "\n" + LoadText(kind->labelString);
        AddItem(label, kind->picture, static_cast<std::int32_t>(toy.GetDeviceId()));
        ++toys;
    }
    if (toys == 0) {
        m_textImage->hide();
        m_errorImage->show();
        AddItem(LoadText(kAddFriendsString), "ACTION_ADD_FRIENDS", kAddFriendsItem);
        AddItem(LoadText(kUseGlintPointsString), "ACTION_REDEEM_POINTS", kUseGlintPointsItem);
    } else {
        m_textImage->show();
        m_errorImage->hide();
    }
    if (toys > kToysWithoutArrows) {
        m_leftArrow->show();
        m_rightArrow->show();
        // The newest toys come into view.
        m_list->doItemsLayout();
        Scroll(2 * toys * kItemWidth);
    } else {
        m_leftArrow->hide();
        m_rightArrow->hide();
    }
    m_list->viewport()->update();
    if (shown) {
        GetApplication().Report("DeviceManager");
    }
}

void CGLMDevicesDlg::Choose(int index) {
    QListWidgetItem* item = m_list->item(index);
    if (item == nullptr) {
        return;
    }
    Glimmeries& application = GetApplication();
    application.PlaySound("CLICK_BUBBLE_SOUND");
    const std::int32_t id = item->data(Qt::UserRole).toInt();
    UI::MessageTarget& frame = GetFrame().Target();
    if (id != kAddFriendsItem && id != kUseGlintPointsItem) {
        const std::optional<Toy> toy = application.GetToys().Find(static_cast<std::uint32_t>(id));
        if (!toy || !toy->IsPresent()) {
            frame.Send(UI::WM_GLM_SHOW_ERROR, 153);
            return;
        }
    }
    if (NameOfLabel(item->text()) == LoadText(kNotRecognizedString)) {
        frame.Send(UI::WM_GLM_SHOW_ERROR, 170);
        return;
    }
    application.SetCurrentDevice(id);
    frame.Send(UI::WM_GLM_SHOW_SIGN_IN, 0, id);
    hide();
}

UI::LRESULT CGLMDevicesDlg::OnDeviceChange(const UI::Message& message) {
    Glimmeries& application = GetApplication();
    // The toy that came with the message goes with the message; the list
    // keeps a copy of its own.
    const std::shared_ptr<Toy> toy = std::static_pointer_cast<Toy>(message.object);
    std::int32_t readResult = 0;
    const ToyList::Change change =
        application.GetToys().Apply(static_cast<std::uint32_t>(message.wParam), toy.get(), &readResult);
    if (toy == nullptr) {
        return 0;
    }
    const std::string name =
        "Toy " + std::to_string(toy->GetDeviceId()) + " (" + ToyList::KindText(toy->GetProductId()) + ")";
    switch (change) {
    case ToyList::Change::Added:
        application.GetLogger().Log(name + " plugged in");
        break;
    case ToyList::Change::Removed:
        application.GetLogger().Log(name + " unplugged");
        break;
    case ToyList::Change::Unreadable:
        application.GetLogger().Log(name + " plugged in, but its memory could not be read (" +
                                    std::to_string(readResult) + "); not listed");
        return 0;
    case ToyList::Change::Ignored:
        return 0;
    }
    Refresh(false);
    if (change == ToyList::Change::Added) {
        GetFrame().Target().Send(UI::WM_GLM_TRAY_COMMAND, UI::ID_TRAY_SHOW);
    } else if (static_cast<std::int32_t>(toy->GetDeviceId()) == application.GetCurrentDevice()) {
        GetFrame().Target().Send(UI::WM_GLM_SHOW_ERROR, 183);
    }
    return 0;
}

} // namespace Glm

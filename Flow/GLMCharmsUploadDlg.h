#pragma once
// Screen 142, "AddCharms": the charms the plugged jewelry box or bracelet
// holds, the account's Fairies as small avatar movies, and the gift of one
// charm to one Fairy. While the page is up a poller notices charms touched
// to the toy and the page adds them to its list.

#include "CharmListView.h"
#include "SkinnedScreen.h"
#include "Tools/CatalogueStrip.h"
#include "Tools/CharmPoller.h"
#include "Tools/FlashWindowView.h"
#include "common/UI/QtMessageTarget.h"
#include "webapi/CharmInventory.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Glm {

class CGLMCharmsUploadDlg : public SkinnedScreen {
public:
    static constexpr int kDialogId = 142;
    static constexpr int kHelpId = 1161;
    static constexpr int kExitId = 1162;
    static constexpr int kMinimizeId = 1163;
    static constexpr int kMenuId = 1242;
    static constexpr int kNextId = 1041;
    static constexpr int kBackId = 1042;
    static constexpr int kLeftArrowId = 1240;
    static constexpr int kRightArrowId = 1241;
    static constexpr int kImageId = 1039;
    static constexpr int kErrorImageId = 1043;
    static constexpr int kPromptId = 1040;
    static constexpr int kListId = 1169;

    /// An avatar view was clicked: wParam its slot, lParam its Fairy id.
    static constexpr std::uint32_t kFairyClickedMessage = 1575;
    static constexpr std::size_t kAvatarSlots = 3;
    static constexpr int kAvatarStep = 133;
    static constexpr int kListX = 226;
    static constexpr int kListY = 364;
    static constexpr int kListWidth = 302;
    static constexpr int kListHeight = kCharmListHeight;
    static constexpr int kItemStep = kCharmItemStep;
    /// The arrows show above this many charms.
    static constexpr int kCharmsWithoutArrows = 3;

    CGLMCharmsUploadDlg(Glimmeries& application, MainFrame& frame);
    ~CGLMCharmsUploadDlg() override;

    void OnShow() override;
    void OnHide() override;
    /// WM_GLM_CHARM_NEXT: the list is read again from the toy.
    UI::LRESULT OnFrameMessage(const UI::Message& message) override;

    /// Where the page's own messages go (avatar clicks, touched charms).
    UI::MessageTarget& Target() { return m_target; }
    CharmListView* GetList() { return m_list; }
    /// The charm ids of the list, in order.
    std::vector<std::int32_t> GetListedCharms() const;
    /// The selected charm's id, 0 when none is selected.
    std::int32_t GetSelectedCharm() const;
    /// The congratulation picture of the selected charm, empty when none.
    std::string GetSelectedCharmPopupImage() const;
    /// 0 until an avatar has been clicked on this showing.
    UI::LPARAM GetChosenFairy() const { return m_chosenFairy; }
    const CharmInventory& GetCatalogue() const { return m_catalogue; }
    CharmPoller& GetPoller() { return *m_poller; }
    FlashWindowView& GetAvatar(std::size_t slot) { return m_avatars.at(slot); }
    /// The avatar area of a slot, in the page's pixels.
    static QRect AvatarRect(std::size_t slot);

protected:
    bool OnInitDialog() override;
    void OnCommand(int controlId) override;

private:
    UI::LRESULT OnPageMessage(const UI::Message& message);
    void ShowFairies(const Toy& toy);
    void OnFairyChosen(UI::WPARAM slot, UI::LPARAM fairyId);
    /// Reads the charms from the toy in use and lists them anew.
    void Refresh();
    /// Adds a charm at the end of the row; false (nothing added) when the
    /// catalogue does not have it.
    bool InsertCharm(std::int32_t charmId);
    void OnCharmTouched(const UI::Message& message);
    void OnNext();
    void UploadCharm(std::int32_t charmId);
    void ShowArrowsAndPictures();
    void Scroll(int amount);
    void DestroyAvatars();

    // The lookups and the target come before the poller, whose thread reads
    // the one and posts to the other until it has been stopped and joined.
    CharmInventory m_catalogue;
    HeldCharmNames m_heldNames{m_catalogue};
    PictureStrip m_strip{kCharmImageWidth, kCharmImageHeight};
    UI::QtMessageTarget m_target;
    std::array<FlashWindowView, kAvatarSlots> m_avatars;
    UI::LPARAM m_chosenFairy = 0;
    CharmListView* m_list = nullptr;
    QWidget* m_next = nullptr;
    QWidget* m_leftArrow = nullptr;
    QWidget* m_rightArrow = nullptr;
    QWidget* m_image = nullptr;
    QWidget* m_errorImage = nullptr;
    ThinUI::TextLabel* m_prompt = nullptr;
    std::unique_ptr<CharmPoller> m_poller;
};

} // namespace Glm

#pragma once
// Screen 152, "DeviceManager": the plugged toys as pictures with the
// owner's name and the kind, or the two actions offered without a toy. The
// user picks one with a double click. Toy arrivals and removals reach the
// application's toy list through this screen, visible or not.

#include "SkinnedScreen.h"

#include <QListWidget>
#include <cstdint>
#include <string>

namespace Glm {

class Toy;

/// The icon list of the devices screen: items on one row, the skin showing
/// through, scrolled only by the screen's arrows.
class DeviceListView : public QListWidget {
public:
    explicit DeviceListView(QWidget* parent);
    /// Where the item with that index is drawn, in the list's pixels.
    QRect ItemRect(int index) const;
};

class CGLMDevicesDlg : public SkinnedScreen {
public:
    static constexpr int kDialogId = 152;
    static constexpr int kHelpId = 1193;
    static constexpr int kExitId = 1194;
    static constexpr int kMinimizeId = 1195;
    static constexpr int kTextImageId = 1196;
    static constexpr int kListId = 1197;
    static constexpr int kRightArrowId = 1198;
    static constexpr int kLeftArrowId = 1199;
    static constexpr int kWelcomeImageId = 1200;
    static constexpr int kErrorImageId = 1201;
    static constexpr int kVersionId = 1297;

    static constexpr int kListX = 220;
    static constexpr int kListY = 260;
    static constexpr int kListWidth = 320;
    static constexpr int kListHeight = 170;
    static constexpr int kPictureSize = 80;
    /// The width of one item: its picture and its label.
    static constexpr int kItemWidth = 72;
    /// The arrows show above this many toys.
    static constexpr int kToysWithoutArrows = 3;

    static constexpr std::int32_t kAddFriendsItem = 106;
    static constexpr std::int32_t kUseGlintPointsItem = 107;

    CGLMDevicesDlg(Glimmeries& application, MainFrame& frame);
    ~CGLMDevicesDlg() override;

    void OnShow() override;
    /// Toy arrivals and removals (WM_GLM_DEVICE_CHANGE).
    UI::LRESULT OnFrameMessage(const UI::Message& message) override;

    DeviceListView* GetList() { return m_list; }
    /// Double-clicks the item with that index (the list's activation).
    void Choose(int index);
    /// The name a toy is listed under, asked from the web service and kept
    /// on the listed toy when it has none yet.
    std::string NameOf(const Toy& toy);

protected:
    bool OnInitDialog() override;
    void OnCommand(int controlId) override;

private:
    /// Lists the toys again; reports the page when the screen is being shown.
    void Refresh(bool shown);
    void AddItem(const std::string& label, const std::string& pictureName, std::int32_t itemData);
    UI::LRESULT OnDeviceChange(const UI::Message& message);
    void Scroll(int amount);

    DeviceListView* m_list = nullptr;
    QWidget* m_textImage = nullptr;
    QWidget* m_errorImage = nullptr;
    QWidget* m_leftArrow = nullptr;
    QWidget* m_rightArrow = nullptr;
};

} // namespace Glm

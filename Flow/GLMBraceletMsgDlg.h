#pragma once

#include "SkinnedScreen.h"
#include "Tools/FlashWindowView.h"
#include "common/UI/QtMessageTarget.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class QComboBox;

namespace Glm {

class Toy;

/// An avatar movie of the bracelet page that remembers which Fairy it shows.
class FairyAvatarView : public FlashWindowView {
public:
    void SetAvatar(UI::WPARAM wParam, const std::string& flashVars, UI::LPARAM lParam,
                   std::uint32_t clickMessage, std::uint32_t backgroundColor) override;
    /// The Fairy's id in decimal; "" before SetAvatar.
    const std::string& GetFairyId() const { return m_fairyId; }
    void Forget() { m_fairyId.clear(); }

private:
    std::string m_fairyId;
};

/// Screen 134, "SetUpBraceletPickFairies": the account's Fairies as avatar
/// movies, the chosen one in a halo, and the friendship message and gift
/// the bracelet carries. Mode 0 finishes a set-up, mode 1 changes the
/// Fairy, message and gift of a registered bracelet.
class CGLMBraceletMsgDlg : public SkinnedScreen {
public:
    static constexpr int kDialogId = 134;
    static constexpr int kNextId = 1020;
    static constexpr int kBackId = 1021;
    static constexpr int kHelpId = 1272;
    static constexpr int kMenuId = 1273;
    static constexpr int kExitId = 1274;
    static constexpr int kMinimizeId = 1275;
    static constexpr int kMessageListId = 1276;
    static constexpr int kGiftListId = 1277;
    static constexpr int kSetupPictureId = 1278;
    static constexpr int kChangePictureId = 1279;
    static constexpr int kSetupTextPictureId = 1280;
    static constexpr int kWhatIsThisId = 1281;
    static constexpr int kAvatarCount = 3;
    /// The first avatar's rectangle; each next one lies kAvatarDistance
    /// further right.
    static constexpr int kAvatarLeft = 214;
    static constexpr int kAvatarTop = 203;
    static constexpr int kAvatarRight = 319;
    static constexpr int kAvatarBottom = 362;
    static constexpr int kAvatarDistance = 133;
    static constexpr int kSetUpMode = 0;
    static constexpr int kChangeMode = 1;

    CGLMBraceletMsgDlg(Glimmeries& application, MainFrame& frame);
    ~CGLMBraceletMsgDlg() override;

    /// The avatars, the halo, the two lists and the page report.
    void OnShow() override;
    /// The avatar movies go with the page.
    void OnHide() override;
    /// WM_GLM_SHOW_BRACELET_SETUP: the mode (lParam) for the next show.
    UI::LRESULT OnFrameMessage(const UI::Message& message) override;

    int GetMode() const { return m_mode; }
    FairyAvatarView& GetAvatar(int index) { return m_avatars.at(static_cast<std::size_t>(index)); }
    QComboBox* GetMessageList() const { return m_messages; }
    QComboBox* GetGiftList() const { return m_gifts; }
    /// Where the avatar movies send their clicks.
    UI::MessageTarget& Target() { return m_target; }
    /// The Fairy whose avatar wears the halo.
    const std::string& GetChosenFairy() const { return m_chosenFairy; }

protected:
    bool OnInitDialog() override;
    void OnCommand(int controlId) override;

private:
    void ShowAvatars(const Toy& toy);
    void FillLists(const Toy& toy);
    /// Puts the halo on the chosen Fairy's avatar and takes it off the
    /// others; a movie still loading gets it once it is ready.
    void ApplyHalo();
    void SetHalo(FairyAvatarView& view);
    void DestroyAvatars();
    void OnFairySelected(UI::LPARAM fairyId);
    void OnBnClickedNext();

    UI::QtMessageTarget m_target;
    std::array<FairyAvatarView, kAvatarCount> m_avatars;
    int m_mode = kSetUpMode;
    std::string m_chosenFairy;
    QWidget* m_setupPicture = nullptr;
    QWidget* m_changePicture = nullptr;
    QWidget* m_setupTextPicture = nullptr;
    QComboBox* m_messages = nullptr;
    QComboBox* m_gifts = nullptr;
};

} // namespace Glm

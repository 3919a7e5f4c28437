#pragma once

#include "GLMGlintsFairyViews.h"
#include "SkinnedScreen.h"
#include "common/UI/QtMessageTarget.h"

#include <array>
#include <string>

namespace Glm {

/// Screen 139: hands the Glint Points stored on the handheld game to one of
/// the account's Fairies. Shows the toy's points, the Fairies as avatar
/// movies with their balances, and leads to the confirmation popup.
class CGLMGlintsUploadDlg : public SkinnedScreen {
public:
    static constexpr int kDialogId = 139;
    static constexpr int kPictureId = 1058;
    static constexpr int kHeadingId = 1059;
    static constexpr std::array<int, 3> kBalanceIds{1243, 1066, 1067};
    static constexpr int kExitId = 1246;
    static constexpr int kMinimizeId = 1247;
    static constexpr int kMenuId = 1245;
    static constexpr int kHelpId = 1244;
    static constexpr int kNextId = 1064;
    static constexpr int kBackId = 1063;
    /// Sent by an avatar movie when clicked: wParam its index, lParam the Fairy id.
    static constexpr std::uint32_t kFairyClickMessage = 1576;

    CGLMGlintsUploadDlg(Glimmeries& application, MainFrame& frame);
    ~CGLMGlintsUploadDlg() override;

    /// Shows the account's Fairies, reports the page and fills the texts.
    void OnShow() override;
    /// The movies go with the screen.
    void OnHide() override;
    /// WM_GLM_GLINT_UPLOAD_NEXT: the texts again (points and balances).
    UI::LRESULT OnFrameMessage(const UI::Message& message) override;

    /// The Fairy chosen, empty when none.
    const std::string& GetChosenFairy() const { return m_fairyId; }
    GlintFairyViews& GetViews() { return m_views; }
    /// Where the avatar movies send their clicks.
    UI::MessageTarget& ClickTarget() { return m_clicks; }

protected:
    bool OnInitDialog() override;
    void OnCommand(int controlId) override;

private:
    void RefreshTexts();
    void OnFairySelected(const UI::Message& message);
    void OnNext();

    GlintFairyViews m_views;
    UI::QtMessageTarget m_clicks;
    std::string m_fairyId;
    ThinUI::TextLabel* m_heading = nullptr;
    std::array<ThinUI::TextLabel*, 3> m_balances{};
    ThinUI::C3StateButton* m_next = nullptr;
};

} // namespace Glm

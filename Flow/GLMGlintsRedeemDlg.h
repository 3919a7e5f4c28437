#pragma once

#include "GLMGlintsFairyViews.h"
#include "SkinnedScreen.h"
#include "Tools/CatalogueStrip.h"
#include "common/UI/QtMessageTarget.h"
#include "webapi/ButterflyInventory.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace Glm {

class GlintButterflyStrip;

/// Screen 147: spends a Fairy's Glint Points on a butterfly that flies with
/// the Fairy. Shows the Fairies with their balances and the catalogue's
/// butterflies in a strip, and leads to the warning or the congratulation.
class CGLMGlintsRedeemDlg : public SkinnedScreen {
public:
    static constexpr int kDialogId = 147;
    static constexpr int kPictureId = 1072;
    static constexpr int kHeadingId = 1262;
    static constexpr std::array<int, 3> kBalanceIds{1077, 1078, 1079};
    static constexpr int kExitId = 1260;
    static constexpr int kMinimizeId = 1261;
    static constexpr int kMenuId = 1259;
    static constexpr int kHelpId = 1258;
    static constexpr int kNextId = 1116;
    static constexpr int kBackId = 1115;
    static constexpr int kArrowLeftId = 1263;
    static constexpr int kArrowRightId = 1265;
    static constexpr int kStripId = 1264;
    static constexpr std::uint32_t kFairyClickMessage = 1577;

    CGLMGlintsRedeemDlg(Glimmeries& application, MainFrame& frame);
    ~CGLMGlintsRedeemDlg() override;

    /// Shows the account's Fairies, loads the butterflies (once), reports
    /// the page and fills the balances.
    void OnShow() override;
    void OnHide() override;
    /// WM_GLM_GLINT_REDEEM_NEXT: the balances again.
    UI::LRESULT OnFrameMessage(const UI::Message& message) override;

    const std::string& GetChosenFairy() const { return m_fairyId; }
    /// The butterfly chosen in the strip, -1 when none.
    int GetChosenIndex() const { return m_butterfly; }
    /// The chosen butterfly's record; nothing when none is chosen.
    std::optional<ButterflyRecord> GetChosenButterfly() const;
    const std::vector<ButterflyRecord>& GetButterflies() const { return m_butterflies; }
    GlintButterflyStrip& GetStrip() { return *m_strip; }
    GlintFairyViews& GetViews() { return m_views; }
    UI::MessageTarget& ClickTarget() { return m_clicks; }

protected:
    bool OnInitDialog() override;
    void OnCommand(int controlId) override;

private:
    void LoadButterflies();
    void OnFairySelected(const UI::Message& message);
    void OnButterflyClicked(int position);
    void OnNext();

    GlintFairyViews m_views;
    UI::QtMessageTarget m_clicks;
    ButterflyInventory m_catalogue;
    std::vector<ButterflyRecord> m_butterflies;
    PictureStrip m_pictures{kButterflyImageWidth, kButterflyImageHeight};
    int m_scrollStep = kButterflyImageWidth;
    int m_pictureHeight = kButterflyImageHeight;
    std::string m_fairyId;
    int m_butterfly = -1;
    std::array<ThinUI::TextLabel*, 3> m_balances{};
    ThinUI::C3StateButton* m_next = nullptr;
    GlintButterflyStrip* m_strip = nullptr;
};

} // namespace Glm

#pragma once

#include "SkinnedScreen.h"
#include "Tools/GuiIEWindowView.h"
#include "common/UI/QtMessageTarget.h"

namespace Glm {

/// Screen 160: the account's charm collection as a page of the game's web
/// site, signed in with a session token; in the user's browser when no
/// token comes.
class GLMCharmsCollectionDlg : public SkinnedScreen {
public:
    static constexpr int kDialogId = 160;
    static constexpr int kHelpId = 1314;
    static constexpr int kMenuId = 1315;
    static constexpr int kExitId = 1316;
    static constexpr int kMinimizeId = 1317;
    static constexpr int kBackId = 1320;
    /// The page has been loaded into the view.
    static constexpr std::uint32_t kPageCompleteMessage = 1623;
    static const QRect kViewRect;

    GLMCharmsCollectionDlg(Glimmeries& application, MainFrame& frame);
    ~GLMCharmsCollectionDlg() override;

    void OnShow() override;
    void OnHide() override;

    UI::MessageTarget& Target() { return m_target; }
    GuiIEWindowView& GetView() { return m_view; }

protected:
    bool OnInitDialog() override;
    void OnCommand(int controlId) override;

private:
    UI::LRESULT OnPageMessage(const UI::Message& message);

    UI::QtMessageTarget m_target;
    GuiIEWindowView m_view;
};

} // namespace Glm

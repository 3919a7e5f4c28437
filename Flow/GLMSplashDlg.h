#pragma once
// The download splash (dialog 131): shown while the start-up worker runs,
// with its marquee; then hidden for the rest of the run, passing the web
// service client's error messages on to the frame.

#include "SkinnedScreen.h"
#include "ThinUI/ProgressBar.h"
#include "common/UI/QtMessageTarget.h"

namespace Glm {

class CGLMSplashDlg : public SkinnedScreen {
public:
    static constexpr int kDialogId = 131;
    static constexpr int kExitId = 1130;
    static constexpr int kProgressId = 1131;
    static constexpr ThinUI::ColorRef kBarColor = 0x402A3C;
    static constexpr ThinUI::ColorRef kBarBackground = 0xF6F6F9;

    CGLMSplashDlg(Glimmeries& application, MainFrame& frame);
    ~CGLMSplashDlg() override;

    /// Where workers report (the start-up worker, the web service client).
    UI::MessageTarget& Target() { return m_target; }
    ThinUI::ProgressBar* GetProgressBar() { return m_progress; }

protected:
    bool OnInitDialog() override;
    void OnCommand(int controlId) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    UI::LRESULT OnMessage(const UI::Message& message);
    void OnPatchDone();

    UI::QtMessageTarget m_target;
    ThinUI::ProgressBar* m_progress = nullptr;
    bool m_webApiReportsHere = false;
};

} // namespace Glm

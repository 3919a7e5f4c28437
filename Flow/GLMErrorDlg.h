#pragma once

#include "SkinnedPopup.h"

#include <cstdint>

namespace Glm {

/// Popup 157: every error the user sees. Shows the string-table text of its
/// message id and plays "OOPS_SOUND" when shown. Its close and OK buttons do
/// the same: the follow-up action of the message id at that moment (which
/// the frame may have changed while the popup was open), the end of the run
/// with 2, then "CLOSE_SOUND".
///
/// Follow-up actions: 180 closes the application; 183 shows the devices page
/// and closes every other page and popup; 184 opens the Flash installation
/// page with the browser program, then closes the application; 196 opens the
/// suspended-account page. Other ids have none.
class CGLMErrorDlg : public SkinnedPopup {
public:
    static constexpr int kDialogId = 157;
    static constexpr int kHeaderId = 1288;
    static constexpr int kCloseId = 1289;
    static constexpr int kOkId = 1290;
    static constexpr int kTextId = 1291;

    static constexpr std::uint32_t kUpdateExitString = 180;
    static constexpr std::uint32_t kToyRemovedString = 183;
    static constexpr std::uint32_t kFlashUpdateString = 184;
    static constexpr std::uint32_t kSuspendedAccountString = 196;

    CGLMErrorDlg(Glimmeries& application, MainFrame& frame);

    /// The string-table id: its text is shown by the next DoModal; while the
    /// popup is open only the follow-up action changes.
    void SetMessageId(std::uint32_t messageId) { m_messageId = messageId; }
    std::uint32_t GetMessageId() const { return m_messageId; }
    /// Set by the opener: a popup that is not modal closes the application
    /// instead of taking the follow-up action. The frame always opens it
    /// modally.
    void SetModal(bool modal) { m_modal = modal; }
    bool IsModal() const { return m_modal; }

protected:
    void OnInitDialog() override;
    void OnCommand(int controlId) override;
    void OnShown() override;

private:
    void RunFollowUp();

    std::uint32_t m_messageId = 0;
    bool m_modal = true;
};

} // namespace Glm

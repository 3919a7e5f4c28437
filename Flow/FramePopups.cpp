// The frame's popups of the task screens: the friendship letters, the
// charm, point and set-up popups. Each needs what its screen chose, so the
// frame asks the screen before opening it.

#include "GLMBraceletCongratsDlg.h"
#include "GLMButterflyWarningDlg.h"
#include "GLMCharmsCongratsDlg.h"
#include "GLMCharmsUploadDlg.h"
#include "GLMFriendshipAnswerDlg.h"
#include "GLMFriendshipCongratsDlg.h"
#include "GLMFriendshipLetterDlg.h"
#include "GLMFriendshipUploadDlg.h"
#include "GLMGlintsCompleteDlg.h"
#include "GLMGlintsRedeemCongratsDlg.h"
#include "GLMGlintsRedeemDlg.h"
#include "GLMGlintsUploadCongratsDlg.h"
#include "GLMSetupWarningDlg.h"
#include "MainFrame.h"
#include "ScreenIds.h"
#include "SkinnedPopup.h"
#include "common/UI/Messages.h"

#include <optional>
#include <type_traits>

namespace Glm {

namespace {

std::string MessageText(std::uint32_t message, const std::string& why) {
    return "Message " + std::to_string(message) + " ignored: " + why;
}

} // namespace

void MainFrame::InstallPopupHandlers() {
    using UI::Message;
    // The friendship letters work on a copy of the page's entry lParam.
    const auto letter = [this]<class Popup>(std::uint32_t message, std::type_identity<Popup>) {
        SetHandler(message, [this](const Message& received) -> UI::LRESULT {
            if (!GuardToyInUse()) {
                return 0;
            }
            auto* page = GetScreen<CGLMFriendshipUploadDlg>(ScreenId::kFriendshipUpload);
            const FriendRecord* entry = page != nullptr ? page->GetEntry(received.lParam) : nullptr;
            if (entry == nullptr) {
                LogUnhandledOnce(MessageText(received.id, "no such friendship"));
                return 0;
            }
            Popup popup(m_application, *this);
            popup.SetEntry(*entry);
            return OpenPopup(popup);
        });
    };
    letter(UI::WM_GLM_SHOW_FRIENDSHIP_INVITE, std::type_identity<CGLMFriendshipLetterDlg>());
    letter(UI::WM_GLM_SHOW_FRIENDSHIP_INVITE_2, std::type_identity<CGLMFriendshipLetterDlg>());
    letter(UI::WM_GLM_SHOW_FRIENDSHIP_STATUS, std::type_identity<CGLMFriendshipAnswerDlg>());
    SetHandler(UI::WM_GLM_SHOW_FRIENDSHIP_CONGRATS, [this](const Message& received) -> UI::LRESULT {
        CGLMFriendshipCongratsDlg popup(m_application, *this);
        popup.SetStatus(static_cast<std::int32_t>(received.lParam));
        return OpenPopup(popup);
    });

    // The charm congratulation: the popup and its pictures exist for one run.
    SetHandler(UI::WM_GLM_SHOW_CHARM_CONGRATS, [this](const UI::Message& received) -> UI::LRESULT {
        CGLMCharmsCongratsDlg popup(m_application, *this);
        if (auto* page = GetScreen<CGLMCharmsUploadDlg>(ScreenId::kCharmUpload)) {
            popup.SetCharmPicture(page->GetSelectedCharmPopupImage());
        }
        popup.SetFairyId(received.lParam);
        OpenPopup(popup);
        return 0;
    });

    SetHandler(UI::WM_GLM_SHOW_GLINT_CONFIRM, [this](const Message& received) -> UI::LRESULT {
        if (GuardToyInUse()) {
            CGLMGlintsCompleteDlg popup(m_application, *this);
            popup.SetFairyId(std::to_string(received.lParam));
            OpenPopup(popup);
        }
        return 0;
    });
    SetHandler(UI::WM_GLM_SHOW_GLINT_UPLOAD_CONGRATS, [this](const Message& received) -> UI::LRESULT {
        CGLMGlintsUploadCongratsDlg popup(m_application, *this);
        popup.SetValues(std::to_string(received.lParam), static_cast<std::int32_t>(received.wParam));
        OpenPopup(popup);
        return 0;
    });
    // Both butterfly popups show the butterfly chosen on the redeem screen.
    const auto chosenButterfly = [this](const Message& received) -> std::optional<ButterflyRecord> {
        auto* redeem = GetScreen<CGLMGlintsRedeemDlg>(ScreenId::kGlintRedeem);
        std::optional<ButterflyRecord> butterfly;
        if (redeem != nullptr) {
            butterfly = redeem->GetChosenButterfly();
        }
        if (!butterfly) {
            LogUnhandledOnce(MessageText(received.id, "no butterfly is chosen"));
        }
        return butterfly;
    };
    SetHandler(UI::WM_GLM_SHOW_GLINT_REDEEM_CONGRATS, [this, chosenButterfly](const Message& received) {
        if (const std::optional<ButterflyRecord> butterfly = chosenButterfly(received)) {
            CGLMGlintsRedeemCongratsDlg popup(m_application, *this);
            popup.SetValues(std::to_string(received.lParam), *butterfly);
            OpenPopup(popup);
        }
        return UI::LRESULT{0};
    });
    SetHandler(UI::WM_GLM_SHOW_REDEEM_WARNING, [this, chosenButterfly](const Message& received) {
        if (const std::optional<ButterflyRecord> butterfly = chosenButterfly(received)) {
            CGLMButterflyWarningDlg popup(m_application, *this);
            popup.SetValues(static_cast<unsigned>(received.wParam), std::to_string(received.lParam),
                            *butterfly);
            OpenPopup(popup);
            // A butterfly redeemed after the warning is celebrated as one
            // redeemed straight away.
            if (popup.IsRedeemed()) {
                m_target.Send(UI::WM_GLM_SHOW_GLINT_REDEEM_CONGRATS, 0, received.lParam);
            }
        }
        return UI::LRESULT{0};
    });
    // The set-up popups, made at their first opening and kept by the frame.
    const auto guarded = [this](std::uint32_t message, auto make) {
        SetHandler(message, [this, message, make](const Message&) -> UI::LRESULT {
            if (GuardToyInUse()) {
                std::unique_ptr<SkinnedPopup>& popup = m_keptPopups[message];
                if (!popup) {
                    popup = make();
                }
                OpenPopup(*popup);
            }
            return 0;
        });
    };
    guarded(UI::WM_GLM_SHOW_SETUP_CONFIRM,
            [this] { return std::make_unique<CGLMSetupWarningDlg>(m_application, *this); });
    guarded(UI::WM_GLM_SHOW_SETUP_CONGRATS,
            [this] { return std::make_unique<CGLMBraceletCongratsDlg>(m_application, *this); });
}

} // namespace Glm

#pragma once

#include "SkinnedScreen.h"

#include <functional>
#include <string>

class QLineEdit;

namespace Glm {

class HyperLink;

/// Screen 110: the family account's ID and password. Signs the account in,
/// checks that the toy in use belongs to it, and leads to the main menu, or
/// to the sign-up screen when the account has no Fairy yet. Each time it is
/// shown it checks that the movie player is recent enough for the avatars.
class CGLMLoginDlg : public SkinnedScreen {
public:
    static constexpr int kDialogId = 110;
    static constexpr int kAccountId = 1001;
    static constexpr int kPasswordId = 1002;
    static constexpr int kSignInId = 1003;
    static constexpr int kExitId = 1133;
    static constexpr int kMinimizeId = 1134;
    static constexpr int kHelpId = 1135;
    static constexpr int kDevicesId = 1213;
    static constexpr int kVersionId = 1298;
    static constexpr int kRegisterId = 1203;
    static constexpr int kRecoverAccountId = 1204;
    static constexpr int kRecoverPasswordId = 1205;
    static constexpr int kResetToyId = 1326;
    static constexpr int kLinkFontHeight = 14;

    /// Reads the movie player's major version as decimal text ("" when
    /// there is no player), using a temporary movie view on the screen.
    /// Throws Web::CantCreateFlashWindowException when no view can be made.
    using PlayerVersionProbe = std::function<std::string(QWidget& screen)>;

    CGLMLoginDlg(Glimmeries& application, MainFrame& frame);
    ~CGLMLoginDlg() override;

    /// The account ID as typed (field 1001).
    std::string GetAccountId() const;
    /// Replaces how the player's version is read (tests).
    void SetPlayerVersionProbe(PlayerVersionProbe probe) { m_probe = std::move(probe); }

    /// Reset link for a registered toy, focus in the account field, the
    /// page report, then the player check.
    void OnShow() override;
    /// The sign-in steps of button 1003 (also the Enter key).
    void OnBnClickedSignIn();

    /// The probe used unless a test replaces it.
    static std::string ReadPlayerVersion(QWidget& screen);

protected:
    bool OnInitDialog() override;
    void OnCommand(int controlId) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CheckPlayerVersion();
    void RaiseError(unsigned stringId);
    /// Step 5 of the sign-in: true when the toy may be used with accountId.
    bool CheckToyOwner(const std::string& accountId);

    QLineEdit* m_account = nullptr;
    QLineEdit* m_password = nullptr;
    HyperLink* m_resetLink = nullptr;
    PlayerVersionProbe m_probe;
};

} // namespace Glm

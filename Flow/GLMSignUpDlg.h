#pragma once

#include "SkinnedScreen.h"

#include <string>

namespace ThinUI {
class TextLabel;
}

namespace Glm {

/// Screen 151: shown after sign-in when the account has no Fairy yet. Greets
/// the user by account ID and sends them to the game site to create one;
/// they come back through the sign-out button or the "Click Here." link.
class CGLMSignUpDlg : public SkinnedScreen {
public:
    static constexpr int kDialogId = 151;
    static constexpr int kSignOutId = 1212;
    static constexpr int kStartNowId = 1179;
    static constexpr int kExitId = 1175;
    static constexpr int kMinimizeId = 1176;
    static constexpr int kHelpId = 1174;
    static constexpr int kFairyId = 1208;
    static constexpr int kWelcomeImageId = 1209;
    static constexpr int kGreetingId = 1177;
    static constexpr int kCreateFairyTextId = 1184;
    static constexpr int kAlreadyCreatedTextId = 1210;
    static constexpr int kClickHereId = 1211;
    static constexpr int kRegisterId = 1206;
    static constexpr int kRecoverAccountId = 1213;
    static constexpr int kRecoverPasswordId = 1207;

    static constexpr unsigned kGreetingString = 104;
    static constexpr unsigned kCreateFairyString = 157;
    static constexpr unsigned kAlreadyCreatedString = 158;
    static constexpr unsigned kClickHereString = 159;

    CGLMSignUpDlg(Glimmeries& application, MainFrame& frame);
    ~CGLMSignUpDlg() override;

    /// The account ID typed on the sign-in screen, for the greeting.
    void SetAccountId(const std::string& accountId) { m_accountId = accountId; }
    const std::string& GetAccountId() const { return m_accountId; }

    /// Greets the account and reports the page.
    void OnShow() override;

protected:
    bool OnInitDialog() override;
    void OnCommand(int controlId) override;

private:
    void OnBnClickedStartNow();
    void SignOut();

    std::string m_accountId;
    ThinUI::TextLabel* m_greeting = nullptr;
};

} // namespace Glm

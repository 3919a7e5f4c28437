#include "FriendsPageSetup.h"

#include <httplib.h>
#include <regex>

namespace FriendsBench {

std::string NumberAfter(const std::string& text, const std::string& word) {
    std::smatch match;
    const std::regex pattern(word + "(?: |=\")([0-9]+)");
    return std::regex_search(text, match, pattern) ? match[1].str() : std::string();
}

std::uint32_t SetUpBracelet(const ServiceTest::ServiceProcess& service, const std::string& login,
                            const std::string& fairyId) {
    const auto client = service.Https();
    const auto signIn = client->Post("/api/AccountLoginRequest", "username=" + login + "&password=benchpass",
                                     "application/x-www-form-urlencoded");
    if (!signIn || !signIn->has_header("Set-Cookie")) {
        return 0;
    }
    const std::string cookie = signIn->get_header_value("Set-Cookie");
    const httplib::Headers headers{{"Cookie", cookie.substr(0, cookie.find(';'))}};
    const auto setup = client->Get("/api/ClickSetupRequest?type=bracelet&fairy_id=" + fairyId, headers);
    const std::string clickId = setup ? NumberAfter(setup->body, "id") : std::string();
    return clickId.empty() ? 0 : static_cast<std::uint32_t>(std::stoul(clickId));
}

} // namespace FriendsBench

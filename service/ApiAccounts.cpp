#include "ApiCall.h"

namespace Service::Api {

void AddAccountRoutes(const Route& route, GameStore& gameStore) {
    GameStore* const store = &gameStore;
    route("POST", "AccountLoginRequest", [store](Call& call, XmlWriter& xml) {
        const auto form = Readable(call, DecodedBody(call.request));
        const auto user = form.find("username");
        const auto password = form.find("password");
        if (user == form.end() || password == form.end() || user->second.empty() ||
            password->second.empty()) {
            throw GameError("ERROR_MISSING_PARMS");
        }
        const Account account = store->SignIn(user->second, password->second);
        const std::string token = store->NewSession(account.userId, call.secure);
        std::string cookie = std::string(kSessionCookie) + "=" + token + "; Path=/; HttpOnly; SameSite=Lax";
        if (call.secure) {
            cookie += "; Secure";
        }
        call.response.set_header("Set-Cookie", cookie);
        xml.Leaf("status", "logged_in")
            .Empty("account", XmlWriter::Attribute("account_id", Number(account.userId)) +
                                  XmlWriter::Attribute("dname", account.displayName));
    });

    route("POST", "AccountLogoutRequest", [store](Call& call, XmlWriter&) {
        const std::string token = CookieValue(call.request, kSessionCookie);
        if (!token.empty() && call.userId) {
            store->EndSession(token);
        }
        call.response.set_header("Set-Cookie",
                                 std::string(kSessionCookie) + "=; Path=/; HttpOnly; Max-Age=0");
    });

    route("POST", "SessionTransferRequest", [store](Call& call, XmlWriter& xml) {
        xml.Leaf("session", store->NewTransferToken(call.RequireUser()));
    });
}

} // namespace Service::Api

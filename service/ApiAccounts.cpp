#include "AccessLog.h"
#include "ApiCall.h"

#include <chrono>
#include <iostream>

namespace Service::Api {

void AddAccountRoutes(const Route& route, GameStore& gameStore, SignInThrottle& signInThrottle) {
    GameStore* const store = &gameStore;
    SignInThrottle* const throttle = &signInThrottle;
    route("POST", "AccountLoginRequest", [store, throttle](Call& call, XmlWriter& xml) {
        const auto form = Readable(call, DecodedBody(call.request));
        const auto user = form.find("username");
        const auto password = form.find("password");
        if (user == form.end() || password == form.end() || user->second.empty() ||
            password->second.empty()) {
            throw GameError("ERROR_MISSING_PARMS");
        }
        // While a wait is imposed the password is not even checked, so a right one is never
        // reported as wrong and guessing learns nothing.
        const std::string& login = user->second;
        const std::string& address = call.request.remote_addr;
        if (throttle->Wait(login, address, SignInThrottle::Clock::now()) >
            SignInThrottle::Clock::duration::zero()) {
            throw GameError("TOO_MANY_ATTEMPTS");
        }
        Account account;
        try {
            account = store->SignIn(login, password->second);
        } catch (const GameError& refusal) {
            if (refusal.Code() == "INVALID_PASSWORD" || refusal.Code() == "INVALID_ACCOUNT") {
                const auto wait = throttle->Failed(login, address, SignInThrottle::Clock::now());
                if (wait > SignInThrottle::Clock::duration::zero()) {
                    std::cerr << "glimmeries-service: sign-in for " << EscapeControl(login) << " from "
                              << EscapeControl(address) << " refused for "
                              << std::chrono::duration_cast<std::chrono::seconds>(wait).count()
                              << " s after repeated wrong passwords" << std::endl;
                }
            }
            throw;
        }
        throttle->Succeeded(login);
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

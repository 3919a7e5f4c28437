#include "ApiCall.h"

namespace Service::Api {

void AddToyRoutes(const Route& route, GameStore& gameStore) {
    GameStore* const store = &gameStore;
    route("GET", "ClickSetupRequest", [store](Call& call, XmlWriter& xml) {
        const auto userId = call.RequireUser();
        const auto fairyId = call.Has("fairy_id") ? call.Id("fairy_id") : 0;
        const auto messageId = call.OptionalId("message_id");
        const auto giftId = call.OptionalId("gift_id");
        // The application names a reset toy by its kind only; the toy it was is in the cookie the
        // reset answer set.
        const bool reset = call.Get("reset") == "1";
        const auto resetToy = ParseId(CookieValue(call.request, kResetCookie));
        if (reset && resetToy) {
            store->CheckResetSetup(*resetToy);
        }
        Toy toy;
        if (call.Has("click_id")) {
            toy = store->SetupExistingToy(userId, call.Id("click_id"), fairyId, messageId, giftId);
        } else if (call.Has("type") && !call.Get("type").empty()) {
            toy = store->SetupNewToy(userId, call.Get("type"), fairyId, messageId, giftId);
        } else {
            throw GameError("ERROR_MISSING_PARMS");
        }
        if (reset && resetToy) {
            call.response.set_header("Set-Cookie",
                                     std::string(kResetCookie) + "=; Path=/; HttpOnly; Max-Age=0");
        }
        xml.Empty(toy.kind, XmlWriter::Attribute("id", Number(toy.clickId)));
    });

    route("GET", "ClickResetRequest", [store](Call& call, XmlWriter&) {
        if (call.Get("reset_code").empty()) {
            throw GameError("ERROR_MISSING_PARMS");
        }
        const auto clickId = call.Id("click_id");
        store->ResetToy(clickId, call.Get("reset_code"));
        std::string cookie =
            std::string(kResetCookie) + "=" + Number(clickId) + "; Path=/; HttpOnly; SameSite=Lax";
        if (call.secure) {
            cookie += "; Secure";
        }
        call.response.set_header("Set-Cookie", cookie);
    });
}

} // namespace Service::Api

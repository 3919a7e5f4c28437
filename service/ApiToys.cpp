#include "ApiCall.h"

namespace Service::Api {

void AddToyRoutes(const Route& route, GameStore& gameStore) {
    GameStore* const store = &gameStore;
    route("GET", "ClickSetupRequest", [store](Call& call, XmlWriter& xml) {
        const auto userId = call.RequireUser();
        const auto fairyId = call.Has("fairy_id") ? call.Id("fairy_id") : 0;
        const auto messageId = call.OptionalId("message_id");
        const auto giftId = call.OptionalId("gift_id");
        Toy toy;
        if (call.Has("click_id")) {
            toy = store->SetupExistingToy(userId, call.Id("click_id"), fairyId, messageId, giftId);
        } else if (call.Has("type") && !call.Get("type").empty()) {
            toy = store->SetupNewToy(userId, call.Get("type"), fairyId, messageId, giftId);
        } else {
            throw GameError("ERROR_MISSING_PARMS");
        }
        xml.Empty(toy.kind, XmlWriter::Attribute("id", Number(toy.clickId)));
    });

    route("GET", "ClickResetRequest", [store](Call& call, XmlWriter&) {
        if (call.Get("reset_code").empty()) {
            throw GameError("ERROR_MISSING_PARMS");
        }
        store->ResetToy(call.Id("click_id"), call.Get("reset_code"));
    });
}

} // namespace Service::Api

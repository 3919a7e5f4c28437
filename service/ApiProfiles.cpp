#include "ApiCall.h"
#include "Avatar.h"

namespace Service::Api {

namespace {

void WriteFairy(XmlWriter& xml, const Fairy& fairy, bool dna) {
    xml.Open("fairy", XmlWriter::Attribute("fairy_id", Number(fairy.fairyId)))
        .Leaf("user_id", Number(fairy.userId))
        .Leaf("name", fairy.name)
        .Leaf("gift_id", Number(fairy.giftId))
        .Leaf("message_id", Number(fairy.messageId));
    if (dna) {
        xml.Raw(AvatarElement(fairy.look, fairy.butterfly, fairy.butterflyDays));
    }
    xml.Close("fairy");
}

void WriteUserInfo(XmlWriter& xml, const Account& account) {
    xml.Empty("user_info", XmlWriter::Attribute("dname", account.displayName) +
                               XmlWriter::Attribute("user_id", Number(account.userId)));
}

} // namespace

void AddProfileRoutes(const Route& route, GameStore& gameStore) {
    GameStore* const store = &gameStore;
    route("GET", "FairiesProfileRequest", [store](Call& call, XmlWriter& xml) {
        const bool dna = call.Has("dna");
        std::vector<Fairy> fairies;
        std::int64_t owner = 0;
        if (call.Has("click_id")) {
            const auto toy = store->FindToy(ToyClickId(call.Id("click_id")));
            if (!toy || toy->fairyId == 0) {
                throw GameError("NOT_FOUND");
            }
            auto fairy = store->FindFairy(toy->fairyId);
            if (!fairy) {
                throw GameError("NOT_FOUND");
            }
            // The toy's own message and gift, which may differ from the Fairy's first bracelet.
            if (toy->kind == "bracelet") {
                fairy->giftId = toy->giftId;
                fairy->messageId = toy->messageId;
            }
            owner = toy->userId;
            fairies.push_back(*fairy);
        } else if (call.Has("fairy_id")) {
            const auto fairy = store->FindFairy(call.Id("fairy_id"));
            if (!fairy) {
                throw GameError("NOT_FOUND");
            }
            owner = fairy->userId;
            fairies.push_back(*fairy);
        } else if (call.Has("user_id")) {
            owner = call.Id("user_id");
            if (!store->FindAccount(owner)) {
                throw GameError("NOT_FOUND");
            }
            fairies = store->FairiesOf(owner);
        } else {
            throw GameError("ERROR_MISSING_PARMS");
        }
        const auto account = store->FindAccount(owner);
        xml.Leaf("user_name", account ? account->displayName : std::string()).Open("fairies");
        for (const auto& fairy : fairies) {
            WriteFairy(xml, fairy, dna);
        }
        xml.Close("fairies");
    });

    route("GET", "FairiesFriendsRequest", [store](Call& call, XmlWriter& xml) {
        std::int64_t owner = call.RequireUser();
        if (call.Has("fairy_id")) {
            const auto fairy = store->FindFairy(call.Id("fairy_id"));
            if (!fairy) {
                throw GameError("NOT_FOUND");
            }
            owner = fairy->userId;
        } else if (!call.Has("current")) {
            throw GameError("ERROR_MISSING_PARMS");
        }
        xml.Open("account_friends");
        for (const auto& account : store->AccountFriends(owner)) {
            xml.Open("account_friend", XmlWriter::Attribute("user_id", Number(account.userId)))
                .Raw(EscapeXml(account.displayName))
                .Close("account_friend");
        }
        xml.Close("account_friends");
    });

    route("GET", "WhoAreTheyRequest", [store](Call& call, XmlWriter& xml) {
        const bool byClick = call.Has("clickids");
        if (!byClick && !call.Has("userids")) {
            throw GameError("ERROR_MISSING_PARMS");
        }
        const std::string& list = call.Get(byClick ? "clickids" : "userids");
        if (list.empty()) {
            throw GameError("ERROR_MISSING_PARMS");
        }
        std::string_view rest = list;
        while (!rest.empty()) {
            const auto comma = rest.find(',');
            const auto id = ParseId(rest.substr(0, comma));
            if (!id) {
                throw GameError("NOT_FOUND");
            }
            std::int64_t userId = *id;
            if (byClick) {
                const auto toy = store->FindToy(ToyClickId(*id));
                if (!toy) {
                    throw GameError("NOT_FOUND");
                }
                userId = toy->userId;
            }
            const auto account = store->FindAccount(userId);
            if (!account) {
                throw GameError("NOT_FOUND");
            }
            WriteUserInfo(xml, *account);
            if (comma == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(comma + 1);
        }
    });
}

} // namespace Service::Api

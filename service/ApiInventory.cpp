#include "ApiCall.h"

namespace Service::Api {

namespace {

void WriteFriends(XmlWriter& xml, const std::vector<Friendship>& friendships) {
    xml.Open("friends");
    for (const auto& friendship : friendships) {
        xml.Open("friend", XmlWriter::Attribute("dname", friendship.userName))
            .Leaf("gift", Number(friendship.giftId))
            .Leaf("message", Number(friendship.messageId))
            .Open("fairy")
            .Leaf("user_id", Number(friendship.userId))
            .Leaf("name", friendship.fairyName)
            .Close("fairy")
            .Leaf("friend_id", Number(friendship.fairyId))
            .Leaf("status", friendship.status)
            .Close("friend");
    }
    xml.Close("friends");
}

} // namespace

void AddInventoryRoutes(const Route& route, GameStore& gameStore) {
    GameStore* const store = &gameStore;
    route("GET", "ClickInventoryRequest", [store](Call& call, XmlWriter& xml) {
        const auto userId = call.RequireUser();
        if (call.Has("fairy_id")) {
            const Fairy fairy = store->OwnFairy(userId, call.Id("fairy_id"));
            xml.Open("fairy_id", XmlWriter::Attribute("id", Number(fairy.fairyId)));
            WriteFriends(xml, store->FriendshipsOfFairy(fairy.fairyId));
            xml.Open("charms");
            for (const auto charm : store->CharmsOf(fairy.fairyId)) {
                xml.Empty("charm", XmlWriter::Attribute("id", Number(charm)));
            }
            xml.Close("charms").Leaf("glintpoints", Number(fairy.points)).Close("fairy_id");
        } else if (call.Has("click_id")) {
            const auto clickId = call.Id("click_id");
            const auto gifts = store->BraceletGifts(userId, clickId);
            xml.Open("bracelet", XmlWriter::Attribute("id", Number(clickId))).Open("gift_list");
            for (const auto gift : gifts) {
                xml.Leaf("item", Number(gift));
            }
            xml.Close("gift_list").Close("bracelet");
        } else if (call.Has("with_friends")) {
            WriteFriends(xml, store->FriendshipsOfAccount(userId));
        } else {
            throw GameError("ERROR_MISSING_PARMS");
        }
    });

    route("POST", "ClickUploadFriendsRequest", [store](Call& call, XmlWriter& xml) {
        const auto userId = call.RequireUser();
        const XmlDocument body = ParseBody(call);
        if (body.Count("/ClickUploadFriendsRequest") != 1) {
            call.response.status = 400;
            throw GameError("INVALID_XML");
        }
        const auto fairyId = BodyId(body, "/ClickUploadFriendsRequest/fairy_id");
        store->OwnFairy(userId, fairyId);
        if (body.Count("/ClickUploadFriendsRequest/bracelet") > 0) {
            const auto own = store->FindToy(BodyId(body, "/ClickUploadFriendsRequest/bracelet/@id"));
            if (!own || own->userId != userId) {
                throw GameError("NOT_GLIMMERY_OWNER");
            }
        }
        const int count = body.Count("/ClickUploadFriendsRequest/friend");
        if (count == 0) {
            throw GameError("ERROR_MISSING_PARMS");
        }
        for (int i = 1; i <= count; ++i) {
            const std::string friendPath = "/ClickUploadFriendsRequest/friend[" + std::to_string(i) + "]";
            const std::string action = body.Value(friendPath + "/action");
            std::int64_t bracelet = 0;
            std::int64_t friendFairy = 0;
            if (action.empty()) {
                throw GameError("ERROR_MISSING_PARMS");
            }
            if (body.Count(friendPath + "/bracelet") > 0) {
                bracelet = BodyId(body, friendPath + "/bracelet/@id");
            } else {
                friendFairy = BodyId(body, friendPath + "/fairy_id");
            }
            const std::string code = store->AnswerFriend(userId, fairyId, action, bracelet, friendFairy);
            xml.Open("friend").Leaf("success", code.empty() ? "true" : "false");
            if (!code.empty()) {
                xml.Empty("error", XmlWriter::Attribute("code", code));
            }
            xml.Close("friend");
        }
    });

    route("POST", "ClickUploadRequest", [store](Call& call, XmlWriter& xml) {
        const auto userId = call.RequireUser();
        const XmlDocument body = ParseBody(call);
        if (body.Count("/ClickUploadRequest") != 1) {
            call.response.status = 400;
            throw GameError("INVALID_XML");
        }
        const auto fairyId = BodyId(body, "/ClickUploadRequest/fairy_id");
        const auto clickId = BodyId(body, "/ClickUploadRequest/click_id");
        const int charms = body.Count("/ClickUploadRequest/charm");
        const bool points = body.Count("/ClickUploadRequest/points") > 0;
        if (charms == 0 && !points) {
            throw GameError("ERROR_MISSING_PARMS");
        }
        if (points) {
            const auto value = ParseId(body.Value("/ClickUploadRequest/points"));
            if (!value) {
                throw GameError("INVALID_POINTS");
            }
            const auto balance = store->UploadPoints(userId, fairyId, clickId, *value);
            xml.Open("points").Leaf("success", "true").Leaf("glintpoints", Number(balance)).Close("points");
        }
        for (int i = 1; i <= charms; ++i) {
            const std::string text = body.Value("/ClickUploadRequest/charm[" + std::to_string(i) + "]/@id");
            const auto charm = ParseId(text);
            const std::string code =
                charm ? store->UploadCharm(userId, fairyId, clickId, *charm) : "ITEM_NOT_AVAILABLE";
            xml.Open("charm", XmlWriter::Attribute("id", text))
                .Leaf("success", code.empty() ? "true" : "false");
            if (!code.empty()) {
                xml.Empty("error", XmlWriter::Attribute("code", code));
            }
            xml.Close("charm");
        }
    });

    route("GET", "ClickRedemptionRequest", [store](Call& call, XmlWriter& xml) {
        const auto userId = call.RequireUser();
        const auto fairyId = call.Id("fairy_id");
        if (call.Get("points").empty() || call.Get("item").empty()) {
            throw GameError("ERROR_MISSING_PARMS");
        }
        if (!ParseId(call.Get("points"))) {
            throw GameError("INVALID_POINTS");
        }
        const auto item = ParseId(call.Get("item"));
        if (!item) {
            throw GameError("ITEM_NOT_AVAILABLE");
        }
        const auto balance = store->Redeem(userId, fairyId, *item);
        xml.Empty("item", XmlWriter::Attribute("id", Number(*item))).Leaf("glintpoints", Number(balance));
    });
}

} // namespace Service::Api

#include "ApiService.h"

#include "Avatar.h"
#include "RequestText.h"
#include "XmlDocument.h"
#include "XmlText.h"

#include <functional>
#include <httplib.h>
#include <iostream>

namespace Service {

namespace {

constexpr const char* kSessionCookie = "GLMSESSION";
constexpr const char* kXmlType = "text/xml; charset=utf-8";

/// What a handler gets: the request, its decoded query and the signed-in account, if any.
struct Call {
    const httplib::Request& request;
    httplib::Response& response;
    Fields query;
    std::optional<std::int64_t> userId;
    bool secure;

    std::int64_t RequireUser() const {
        if (!userId) {
            throw GameError("NOT_SIGNED_IN");
        }
        return *userId;
    }
    bool Has(const char* key) const { return query.find(key) != query.end(); }
    const std::string& Get(const char* key) const {
        static const std::string empty;
        const auto found = query.find(key);
        return found == query.end() ? empty : found->second;
    }
    /// A query id that must be present; missing gives ERROR_MISSING_PARMS, not a number NOT_FOUND.
    std::int64_t Id(const char* key) const {
        if (!Has(key) || Get(key).empty()) {
            throw GameError("ERROR_MISSING_PARMS");
        }
        const auto id = ParseId(Get(key));
        if (!id) {
            throw GameError("NOT_FOUND");
        }
        return *id;
    }
    /// A query id that may be absent (0).
    std::int64_t OptionalId(const char* key) const {
        if (!Has(key) || Get(key).empty()) {
            return 0;
        }
        const auto id = ParseId(Get(key));
        if (!id) {
            throw GameError("ITEM_NOT_AVAILABLE");
        }
        return *id;
    }
};

using Body = std::function<void(Call&, XmlWriter&)>;

std::string Number(std::int64_t value) {
    return std::to_string(value);
}

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

void WriteUserInfo(XmlWriter& xml, const Account& account) {
    xml.Empty("user_info", XmlWriter::Attribute("dname", account.displayName) +
                               XmlWriter::Attribute("user_id", Number(account.userId)));
}

XmlDocument ParseBody(const Call& call) {
    auto document = XmlDocument::Parse(call.request.body);
    if (!document) {
        call.response.status = 400;
        throw GameError("INVALID_XML");
    }
    return std::move(*document);
}

/// Refuses a query or form whose escapes cannot be read, before anything of it is used.
Fields Readable(const Call& call, std::optional<Fields> fields) {
    if (!fields) {
        call.response.status = 400;
        throw GameError("INVALID_ENCODING");
    }
    return std::move(*fields);
}

std::int64_t BodyId(const XmlDocument& document, const std::string& xpath) {
    if (document.Count(xpath) == 0 || document.Value(xpath).empty()) {
        throw GameError("ERROR_MISSING_PARMS");
    }
    const auto id = ParseId(document.Value(xpath));
    if (!id) {
        throw GameError("NOT_FOUND");
    }
    return *id;
}

} // namespace

void ApiService::Register(httplib::Server& server, bool secure) {
    GameStore* const store = &m_store;

    // Every request runs through here: the answer is the root element with success true and
    // what the body wrote, or success false with the error code.
    const auto route = [&server, store, secure](const char* method, const std::string& name, Body body) {
        const std::string root = name.substr(0, name.size() - std::string("Request").size()) + "Response";
        auto handler = [store, secure, root, body](const httplib::Request& request,
                                                   httplib::Response& response) {
            Call call{request, response, {}, std::nullopt, secure};
            call.userId = store->SessionAccount(CookieValue(request, kSessionCookie), secure);
            XmlWriter content;
            std::string error;
            try {
                call.query = Readable(call, DecodedQuery(request, Plus::Kept));
                body(call, content);
            } catch (const GameError& refusal) {
                error = refusal.Code();
            } catch (const std::exception& failure) {
                std::cerr << "glimmeries-service: " << root << " failed: " << failure.what() << std::endl;
                response.status = 500;
                error = "INTERNAL_ERROR";
            }
            XmlWriter xml;
            xml.Raw("<?xml version=\"1.0\" encoding=\"utf-8\"?>").Open(root);
            if (error.empty()) {
                xml.Leaf("success", "true").Raw(content.Text());
            } else {
                xml.Leaf("success", "false").Empty("error", XmlWriter::Attribute("code", error));
            }
            xml.Close(root);
            response.set_header("Cache-Control", "no-store");
            response.set_content(xml.Text(), kXmlType);
        };
        if (std::string(method) == "POST") {
            server.Post("/api/" + name, handler);
        } else {
            server.Get("/api/" + name, handler);
        }
    };

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

    route("GET", "FairiesProfileRequest", [store](Call& call, XmlWriter& xml) {
        const bool dna = call.Has("dna");
        std::vector<Fairy> fairies;
        std::int64_t owner = 0;
        if (call.Has("click_id")) {
            const auto toy = store->FindToy(call.Id("click_id"));
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

    route("POST", "SessionTransferRequest", [store](Call& call, XmlWriter& xml) {
        xml.Leaf("session", store->NewTransferToken(call.RequireUser()));
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
                const auto toy = store->FindToy(*id);
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

} // namespace Service

// The toy, inventory, points and upload calls.

#include "common/UI/Messages.h"
#include "common/Xml/XmlExceptions.h"
#include "device/BusyIndicator.h"
#include "device/SupportedToys.h"
#include "device/Toy.h"
#include "webapi/InventoryAnswer.h"
#include "webapi/WebApiCall.h"

namespace Glm {

std::int32_t WebApi::SetupDevice(Toy& toy, std::uint32_t messageId, std::uint32_t giftId,
                                 std::string& errorCode) {
    const std::string root = "/ClickSetupResponse";
    const bool registered = toy.GetClickId() != 0 && !toy.IsResetPending();
    std::string query;
    std::string idPath = "/bracelet/@id";
    if (registered) {
        query = "click_id=" + UnsignedDecimal(static_cast<std::uint32_t>(toy.GetClickId()));
    } else {
        switch (toy.GetType()) {
        case GlmDev::kBraceletProductId:
            query = "type=bracelet";
            break;
        case GlmDev::kGameProductId:
            query = "type=game";
            idPath = "/game/@id";
            break;
        case GlmDev::kJewelryBoxProductId:
            query = "type=jewelrybox";
            idPath = "/jewelrybox/@id";
            break;
        default:
            break;
        }
    }
    if (!toy.GetFairyId().empty()) {
        query += "&fairy_id=" + EncodeQueryValue(toy.GetFairyId());
    }
    if (messageId != 0) {
        query += "&message_id=" + UnsignedDecimal(messageId);
    }
    if (giftId != 0) {
        query += "&gift_id=" + UnsignedDecimal(giftId);
    }
    if (toy.IsResetPending()) {
        query += "&reset=1";
    }
    return GLM_WEBAPI_CALL("SetupDevice", MakeUrl("ClickSetupRequest?", query), nullptr, root, &errorCode,
                           [&](Xml::Parser& answer, std::int32_t& result) {
                               if (registered) {
                                   std::string fairyName;
                                   result = ObtainFairyProfileByFairyId(toy.GetFairyId(), fairyName);
                                   if (result == 0) {
                                       toy.SetFairyName(fairyName);
                                   }
                                   return;
                               }
                               const std::int32_t newId = DecimalToInt32(answer.GetAttribute(root + idPath));
                               result = toy.SetClickId(newId);
                               if (result != 0 && m_mainWindow != nullptr) {
                                   // The service has registered the toy, but the toy does not carry its id.
                                   m_mainWindow->Send(UI::WM_GLM_DEVICE_ERROR, 0, 0);
                               }
                           });
}

std::int32_t WebApi::ResetDevice(Toy& toy, const std::string& resetCode, std::string& errorCode) {
    if (toy.GetClickId() == 0) {
        return 1;
    }
    const std::string root = "/ClickResetResponse";
    const std::string query = "click_id=" + UnsignedDecimal(static_cast<std::uint32_t>(toy.GetClickId())) +
                              "&reset_code=" + EncodeQueryValue(resetCode);
    return GLM_WEBAPI_CALL("ResetDevice", MakeUrl("ClickResetRequest?", query), nullptr, root, &errorCode,
                           [&](Xml::Parser&, std::int32_t&) { toy.SetResetPending(true); });
}

std::int32_t WebApi::ObtainWhoAreThey(const std::string& url, std::string& displayName, std::string& userId,
                                      std::string& errorCode) {
    const std::string root = "/WhoAreTheyResponse";
    return GLM_WEBAPI_CALL("ObtainWhoAreThey", url, nullptr, root, &errorCode,
                           [&](Xml::Parser& answer, std::int32_t&) {
                               displayName = answer.GetAttribute(root + "/user_info/@dname");
                               userId = answer.GetAttribute(root + "/user_info/@user_id");
                           });
}

std::int32_t WebApi::ObtainWhoAreThey(std::uint32_t clickId, std::string& userId, std::string& errorCode) {
    std::string displayName;
    return ObtainWhoAreThey(MakeUrl("WhoAreTheyRequest?", "clickids=" + UnsignedDecimal(clickId)),
                            displayName, userId, errorCode);
}

std::int32_t WebApi::ObtainWhoAreThey(std::uint32_t clickId, std::string& displayName) {
    std::string userId;
    std::string errorCode;
    return ObtainWhoAreThey(MakeUrl("WhoAreTheyRequest?", "clickids=" + UnsignedDecimal(clickId)),
                            displayName, userId, errorCode);
}

std::int32_t WebApi::ObtainWhoAreThey(const std::string& userIds, std::string& displayName) {
    std::string userId;
    std::string errorCode;
    return ObtainWhoAreThey(MakeUrl("WhoAreTheyRequest?", "userids=" + EncodeQueryValue(userIds)),
                            displayName, userId, errorCode);
}

std::int32_t WebApi::ObtainGlimmeriesInventory(const std::string& fairyId, std::vector<FriendRecord>& friends,
                                               std::vector<std::int32_t>& charms) {
    const std::string root = "/ClickInventoryResponse";
    const std::string query = fairyId.empty() ? "with_friends" : "fairy_id=" + EncodeQueryValue(fairyId);
    return GLM_WEBAPI_CALL("ObtainGlimmeriesInventory", MakeUrl("ClickInventoryRequest?", query), nullptr,
                           root, nullptr, [&](Xml::Parser& answer, std::int32_t&) {
                               ReadInventoryAnswer(answer, root, !fairyId.empty(), friends, charms);
                           });
}

std::int32_t WebApi::ObtainGlimmeriesInventory(const std::string& fairyId,
                                               std::vector<FriendRecord>& friends) {
    std::vector<std::int32_t> charms;
    return ObtainGlimmeriesInventory(fairyId, friends, charms);
}

std::int32_t WebApi::GetGlintPoints(const std::string& fairyId, std::string& points, std::string& errorCode) {
    const std::string root = "/ClickInventoryResponse";
    return GLM_WEBAPI_CALL("GetGlintPoints",
                           MakeUrl("ClickInventoryRequest?", "fairy_id=" + EncodeQueryValue(fairyId)),
                           nullptr, root, &errorCode, [&](Xml::Parser& answer, std::int32_t&) {
                               points = answer.GetLeafElementText(root + "/fairy_id/glintpoints");
                           });
}

std::int32_t WebApi::GetButterflyInfo(const std::string& fairyId, std::string& butterfly,
                                      std::string& timeToLive) {
    // Written out rather than through Call: a refusal's code is not read here.
    const std::string root = "/FairiesProfileResponse";
    const std::string url =
        MakeUrl("FairiesProfileRequest?", "fairy_id=" + EncodeQueryValue(fairyId) + "&dna");
    std::int32_t result = 1;
    GuardCall(GLM_CALL_SITE("Glm::WebApi", "GetButterflyInfo"), m_mainWindow, [&] {
        LogCall(url);
        const BusyScope busy;
        const std::unique_ptr<Xml::Parser> answer = Exchange(url, nullptr);
        if (!Succeeded(*answer, root)) {
            return;
        }
        try {
            butterfly = answer->GetLeafElementText(root + "/fairies/fairy/avatar/tagalong");
            timeToLive = answer->GetAttribute(root + "/fairies/fairy/avatar/tagalong/@ttl");
        } catch (Xml::XmlCantFindSingleNodeException&) {
            // A Fairy without a butterfly.
            butterfly = "0";
            timeToLive = "0";
        }
        result = 0;
    });
    return result;
}

std::int32_t WebApi::UploadFriend(const std::string& body, std::string& errorCode) {
    const std::string root = "/ClickUploadFriendsResponse";
    const std::string url = MakeUrl("ClickUploadFriendsRequest");
    return GLM_WEBAPI_CALL("UploadFriend", url, &body, root, &errorCode,
                           [&](Xml::Parser& answer, std::int32_t& result) {
                               if (answer.GetLeafElementText(root + "/friend/success") == "true") {
                                   return;
                               }
                               result = 1;
                               errorCode = answer.GetAttribute(root + "/friend/error/@code");
                               Ex::GetLogger()->Log("WebApi Error: " + url + ": " + errorCode);
                           });
}

std::int32_t WebApi::Upload(const std::string& kind, const std::string& body, std::string& errorCode) {
    const std::string root = "/ClickUploadResponse";
    const std::string url = MakeUrl("ClickUploadRequest");
    return GLM_WEBAPI_CALL("Upload", url, &body, root, &errorCode,
                           [&](Xml::Parser& answer, std::int32_t& result) {
                               std::string success = "false";
                               if (kind == "charms") {
                                   success = answer.GetLeafElementText(root + "/charm/success");
                               } else if (kind == "glintpoints") {
                                   success = answer.GetLeafElementText(root + "/points/success");
                               }
                               if (success == "true") {
                                   return;
                               }
                               result = 1;
                               errorCode = answer.GetAttribute(root + "/charm/error/@code");
                               Ex::GetLogger()->Log("WebApi Error: " + url + ": " + errorCode);
                           });
}

std::int32_t WebApi::UploadCharms(const std::string& body, std::string& errorCode) {
    return Upload("charms", body, errorCode);
}

std::int32_t WebApi::UploadGlintPoints(const std::string& body, std::string& errorCode) {
    return Upload("glintpoints", body, errorCode);
}

std::int32_t WebApi::RedeemGlintPoints(const std::string& fairyId, const std::string& points,
                                       const std::string& item, std::string& errorCode) {
    const std::string root = "/ClickRedemptionResponse";
    const std::string query = "fairy_id=" + EncodeQueryValue(fairyId) +
                              "&points=" + EncodeQueryValue(points) + "&item=" + EncodeQueryValue(item);
    return GLM_WEBAPI_CALL("RedeemGlintPoints", MakeUrl("ClickRedemptionRequest?", query), nullptr, root,
                           &errorCode, [](Xml::Parser&, std::int32_t&) {});
}

} // namespace Glm

// The account, profile and friends calls.

#include "common/Web/Url.h"
#include "device/BusyIndicator.h"
#include "webapi/WebApiCall.h"

namespace Glm {

std::int32_t WebApi::SignIn(const std::string& userName, const std::string& password, std::string& accountId,
                            std::string& errorCode) {
    const std::string root = "/AccountLoginResponse";
    const std::string body = "username=" + EncodeQueryValue(userName) +
                             "&password=" + EncodeQueryValue(password) + "&affiliate=tallow_bmglimmeries";
    return GLM_WEBAPI_CALL("SignIn", MakeUrl("AccountLoginRequest"), &body, root, &errorCode,
                           [&](Xml::Parser& answer, std::int32_t&) {
                               if (answer.GetLeafElementText("/AccountLoginResponse/status") == "logged_in") {
                                   accountId = answer.GetAttribute(root + "/account/@account_id");
                               }
                           });
}

std::int32_t WebApi::SignOut() {
    // Signing out is quick and happens as the user leaves: no wait cursor,
    // and a refusal is of no interest.
    std::int32_t result = 1;
    const std::string url = MakeUrl("AccountLogoutRequest");
    GuardCall(GLM_CALL_SITE("Glm::WebApi", "SignOut"), m_mainWindow, [&] {
        LogCall(url);
        const std::string body;
        const std::unique_ptr<Xml::Parser> answer = Exchange(url, &body);
        if (Succeeded(*answer, "/AccountLogoutResponse")) {
            result = 0;
        }
    });
    return result;
}

std::int32_t WebApi::GetIDsOfFairies(const std::string& userId, std::vector<std::string>& fairyIds) {
    const std::string root = "/FairiesProfileResponse";
    fairyIds.clear();
    return GLM_WEBAPI_CALL(
        "GetIDsOfFairies", MakeUrl("FairiesProfileRequest?user_id=" + EncodeQueryValue(userId)), nullptr,
        root, nullptr, [&](Xml::Parser& answer, std::int32_t&) {
            const std::string fairies = root + "/fairies/fairy";
            const std::int32_t count = answer.GetNodeCount(fairies);
            for (std::int32_t i = 1; i <= count; ++i) {
                fairyIds.push_back(answer.GetAttribute(fairies + "[" + std::to_string(i) + "]/@fairy_id"));
            }
        });
}

std::int32_t WebApi::GetIDsOfFairies(const std::string& userId, std::uint32_t& count) {
    std::vector<std::string> fairyIds;
    const std::int32_t result = GetIDsOfFairies(userId, fairyIds);
    count = static_cast<std::uint32_t>(fairyIds.size());
    return result;
}

std::int32_t WebApi::ObtainFairyProfileByFairyId(const std::string& fairyId, std::string& userId,
                                                 std::string& fairyName) {
    const std::string root = "/FairiesProfileResponse";
    return GLM_WEBAPI_CALL("ObtainFairyProfileByFairyId",
                           MakeUrl("FairiesProfileRequest?fairy_id=" + EncodeQueryValue(fairyId)), nullptr,
                           root, nullptr, [&](Xml::Parser& answer, std::int32_t&) {
                               userId = answer.GetLeafElementText(root + "/fairies/fairy/user_id");
                               fairyName = answer.GetLeafElementText(root + "/fairies/fairy/name");
                           });
}

std::int32_t WebApi::ObtainFairyProfileByFairyId(const std::string& fairyId, std::string& fairyName) {
    std::string userId;
    return ObtainFairyProfileByFairyId(fairyId, userId, fairyName);
}

std::int32_t WebApi::ObtainFairyProfileByClickId(std::uint32_t clickId, std::string& fairyId,
                                                 std::string& userId, std::string& fairyName,
                                                 std::string& userName, std::string& giftId,
                                                 std::string& messageId, std::string& errorCode) {
    const std::string root = "/FairiesProfileResponse";
    return GLM_WEBAPI_CALL("ObtainFairyProfileByClickId",
                           MakeUrl("FairiesProfileRequest?", "click_id=" + UnsignedDecimal(clickId)), nullptr,
                           root, &errorCode, [&](Xml::Parser& answer, std::int32_t&) {
                               userName = answer.GetLeafElementText(root + "/user_name");
                               fairyId = answer.GetAttribute(root + "/fairies/fairy/@fairy_id");
                               userId = answer.GetLeafElementText(root + "/fairies/fairy/user_id");
                               fairyName = answer.GetLeafElementText(root + "/fairies/fairy/name");
                               giftId = answer.GetLeafElementText(root + "/fairies/fairy/gift_id");
                               messageId = answer.GetLeafElementText(root + "/fairies/fairy//message_id");
                           });
}

std::int32_t WebApi::GetUser(std::uint32_t clickId, FriendRecord& record) {
    std::string errorCode;
    return ObtainFairyProfileByClickId(clickId, record.fairyId, record.userId, record.fairyName,
                                       record.userName, record.giftId, record.messageId, errorCode);
}

std::int32_t WebApi::GetUser(std::uint32_t clickId, std::string& fairyId) {
    FriendRecord record;
    const std::int32_t result = GetUser(clickId, record);
    fairyId = record.fairyId;
    return result;
}

std::int32_t WebApi::GetSessionTranferToken(std::string& sessionToken, std::string& errorCode) {
    const std::string root = "/SessionTransferResponse";
    const std::string body;
    return GLM_WEBAPI_CALL("GetSessionTranferToken", MakeUrl("SessionTransferRequest"), &body, root,
                           &errorCode, [&](Xml::Parser& answer, std::int32_t&) {
                               sessionToken = answer.GetLeafElementText(root + "/session");
                           });
}

std::int32_t WebApi::GetFriends(const std::string& fairyId, std::vector<FriendRecord>& friends) {
    const std::string root = "/FairiesFriendsResponse";
    const std::string query = fairyId.empty() ? "current" : "fairy_id=" + EncodeQueryValue(fairyId);
    return GLM_WEBAPI_CALL("GetFriends", MakeUrl("FairiesFriendsRequest?", query), nullptr, root, nullptr,
                           [&](Xml::Parser& answer, std::int32_t&) {
                               // The blank after the element name is ignored by XPath.
                               const std::string entries = root + "/account_friends/account_friend ";
                               const std::int32_t count = answer.GetNodeCount(entries);
                               for (std::int32_t i = 1; i <= count; ++i) {
                                   const std::string entry = entries + "[" + std::to_string(i) + "]";
                                   FriendRecord record;
                                   record.userId = answer.GetAttribute(entry + "/@user_id");
                                   record.userName = answer.GetLeafElementText(entry);
                                   friends.push_back(record);
                               }
                           });
}

} // namespace Glm

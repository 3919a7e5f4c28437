// The bracelet message and gift texts, read from the content server's lists.

#include "device/BusyIndicator.h"
#include "webapi/ContentList.h"
#include "webapi/WebApiCall.h"

#include <algorithm>

namespace Glm {

namespace {

// The text of the first entry of list whose id attribute is id, or nothing.
void FindCopyText(Xml::Parser& list, const std::string& root, const std::string& id, std::string& text) {
    const std::string entries = root + "/copy/*";
    const std::int32_t count = list.GetNodeCount(entries);
    for (std::int32_t i = 1; i <= count; ++i) {
        const std::string entry = entries + "[" + std::to_string(i) + "]";
        if (list.GetAttribute(entry + "/@id") == id) {
            text = list.GetLeafElementText(entry);
            return;
        }
    }
}

} // namespace

std::int32_t WebApi::GetFriendMessages(const std::string& contentBaseUrl,
                                       std::vector<std::int32_t>& messageIds,
                                       std::vector<std::string>& messageTexts) {
    std::int32_t result = 1;
    GuardCall(GLM_CALL_SITE("Glm::WebApi", "GetFriendMessages"), m_mainWindow, [&] {
        const BusyScope busy;
        const auto list = LoadContentList(contentBaseUrl, kMessageListPath);
        ReadCopyEntries(*list, "/ClickMessageList", messageIds, messageTexts);
        result = 0;
    });
    return result;
}

std::int32_t WebApi::GetFriendGifts(std::uint32_t clickId, const std::string& contentBaseUrl,
                                    std::vector<std::int32_t>& giftIds, std::vector<std::string>& giftTexts) {
    const std::string root = "/ClickInventoryResponse";
    const std::string clickText = UnsignedDecimal(clickId);
    std::vector<std::string> owned;
    const std::int32_t inventory = GLM_WEBAPI_CALL(
        "GetFriendGifts", MakeUrl("ClickInventoryRequest?", "click_id=" + clickText), nullptr, root, nullptr,
        [&](Xml::Parser& answer, std::int32_t&) {
            const std::string bracelets = root + "/bracelet";
            const std::int32_t count = answer.GetNodeCount(bracelets);
            for (std::int32_t i = 1; i <= count; ++i) {
                const std::string bracelet = bracelets + "[" + std::to_string(i) + "]";
                if (answer.GetAttribute(bracelet + "/@id") != clickText) {
                    continue;
                }
                const std::string items = bracelet + "/gift_list/item";
                const std::int32_t itemCount = answer.GetNodeCount(items);
                for (std::int32_t k = 1; k <= itemCount; ++k) {
                    owned.push_back(answer.GetLeafElementText(items + "[" + std::to_string(k) + "]"));
                }
                break;
            }
        });
    if (inventory != 0) {
        return inventory;
    }
    std::int32_t result = 1;
    GuardCall(GLM_CALL_SITE("Glm::WebApi", "GetFriendGifts"), m_mainWindow, [&] {
        const BusyScope busy;
        const auto list = LoadContentList(contentBaseUrl, kGiftListPath);
        std::vector<std::int32_t> ids;
        std::vector<std::string> texts;
        const std::string entries = "/ClickGiftList/copy/*";
        const std::int32_t count = list->GetNodeCount(entries);
        for (std::int32_t i = 1; i <= count; ++i) {
            const std::string entry = entries + "[" + std::to_string(i) + "]";
            const std::string id = list->GetAttribute(entry + "/@id");
            const std::string text = list->GetLeafElementText(entry);
            if (id.empty() || text.empty() || std::find(owned.begin(), owned.end(), id) == owned.end()) {
                continue;
            }
            giftIds.push_back(DecimalToInt32(id));
            giftTexts.push_back(text);
        }
        result = 0;
    });
    return result;
}

std::int32_t WebApi::GetFriendMessage(const std::string& messageId, const std::string& contentBaseUrl,
                                      std::string& messageText) {
    std::int32_t result = 1;
    GuardCall(GLM_CALL_SITE("Glm::WebApi", "GetFriendMessage"), m_mainWindow, [&] {
        const BusyScope busy;
        const auto list = LoadContentList(contentBaseUrl, kMessageListPath);
        FindCopyText(*list, "/ClickMessageList", messageId, messageText);
        result = 0;
    });
    return result;
}

std::int32_t WebApi::GetFriendGift(const std::string& giftId, const std::string& contentBaseUrl,
                                   std::string& giftText) {
    std::int32_t result = 1;
    GuardCall(GLM_CALL_SITE("Glm::WebApi", "GetFriendGift"), m_mainWindow, [&] {
        const BusyScope busy;
        const auto list = LoadContentList(contentBaseUrl, kGiftListPath);
        FindCopyText(*list, "/ClickGiftList", giftId, giftText);
        result = 0;
    });
    return result;
}

} // namespace Glm

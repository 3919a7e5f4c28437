#include "webapi/InventoryAnswer.h"

#include "webapi/QueryText.h"

namespace Glm {

void ReadInventoryAnswer(Xml::Parser& answer, const std::string& root, bool forOneFairy,
                         std::vector<FriendRecord>& friends, std::vector<std::int32_t>& charms) {
    const std::string entries = root + (forOneFairy ? "/fairy_id/friends/friend" : "/friends/friend");
    const std::int32_t count = answer.GetNodeCount(entries);
    for (std::int32_t i = 1; i <= count; ++i) {
        const std::string entry = entries + "[" + std::to_string(i) + "]";
        FriendRecord record;
        record.userName = answer.GetAttribute(entry + "/@dname");
        record.giftId = answer.GetLeafElementText(entry + "/gift");
        record.messageId = answer.GetLeafElementText(entry + "/message");
        record.userId = answer.GetLeafElementText(entry + "/fairy/user_id");
        record.fairyId = answer.GetLeafElementText(entry + "/friend_id");
        record.fairyName = answer.GetLeafElementText(entry + "/fairy/name");
        const std::string status = answer.GetLeafElementText(entry + "/status");
        if (status == "DECLINED") {
            record.status = FRIENDSHIP_DECLINED;
        } else if (status == "MADE") {
            record.status = FRIENDSHIP_MADE;
        } else if (status == "PENDING") {
            record.status = FRIENDSHIP_PENDING;
        } else {
            continue;
        }
        friends.push_back(record);
    }
    const std::string charmEntries = root + "/fairy_id/charms/charm";
    const std::int32_t charmCount = answer.GetNodeCount(charmEntries);
    for (std::int32_t i = 1; i <= charmCount; ++i) {
        charms.push_back(
            DecimalToInt32(answer.GetAttribute(charmEntries + "[" + std::to_string(i) + "]/@id")));
    }
}

} // namespace Glm

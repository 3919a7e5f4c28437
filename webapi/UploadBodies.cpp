#include "webapi/UploadBodies.h"

#include "common/Mod/Mod.h"
#include "webapi/QueryText.h"

namespace Glm {

namespace {

enum BodyText : std::uint32_t {
    kFriendsHead = 135,
    kFriend = 136,
    kFriendsTail = 137,
    kUploadTail = 139,
    kCharm = 140,
    kPoints = 142,
    kBracelet = 192,
    kFairy = 193,
    kUploadHead = 12320,
};

std::string Text(BodyText id, std::initializer_list<std::string> values) {
    return FormatText(Mod::LoadString(id), values);
}

} // namespace

std::string FormatText(const std::string& pattern, std::initializer_list<std::string> values) {
    std::string text;
    auto value = values.begin();
    std::size_t start = 0;
    while (true) {
        const std::size_t found = pattern.find("%s", start);
        if (found == std::string::npos) {
            text.append(pattern, start, std::string::npos);
            return text;
        }
        text.append(pattern, start, found - start);
        if (value != values.end()) {
            text += *value++;
        }
        start = found + 2;
    }
}

std::string BuildFriendUploadBody(const std::string& fairyId, std::uint32_t ownClickId,
                                  const std::string& action, const FriendRecord& friendRecord) {
    std::string body = Text(kFriendsHead, {EscapeXmlText(fairyId)});
    std::string named;
    if (friendRecord.clickId != 0) {
        body += Text(kBracelet, {UnsignedDecimal(ownClickId)});
        named = Text(kBracelet, {UnsignedDecimal(friendRecord.clickId)});
    } else {
        named = Text(kFairy, {EscapeXmlText(friendRecord.fairyId)});
    }
    body += Text(kFriend, {EscapeXmlText(action), named});
    body += Text(kFriendsTail, {});
    return body;
}

std::string BuildCharmUploadBody(const std::string& fairyId, std::uint32_t clickId, std::int32_t charmId) {
    return Text(kUploadHead, {EscapeXmlText(fairyId), UnsignedDecimal(clickId)}) +
           Text(kCharm, {std::to_string(charmId)}) + Text(kUploadTail, {});
}

std::string BuildPointsUploadBody(const std::string& fairyId, std::uint32_t clickId, std::int32_t points) {
    return Text(kUploadHead, {EscapeXmlText(fairyId), UnsignedDecimal(clickId)}) +
           Text(kPoints, {std::to_string(points)}) + Text(kUploadTail, {});
}

} // namespace Glm

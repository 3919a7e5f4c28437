#pragma once
// One account and Fairy as the web service describes them.

#include <cstdint>
#include <string>

namespace Glm {

enum FriendshipStatus : std::int32_t {
    FRIENDSHIP_NONE = 0,
    FRIENDSHIP_DECLINED = 1,
    FRIENDSHIP_MADE = 2,
    FRIENDSHIP_PENDING = 3,
};

struct FriendRecord {
    std::string userName;
    std::string userId;
    std::string fairyId;
    std::string fairyName;
    std::string giftId;
    std::string messageId;
    /// The friend's bracelet entry as read from the toy; set by the caller.
    std::uint32_t clickId = 0;
    FriendshipStatus status = FRIENDSHIP_NONE;
};

} // namespace Glm

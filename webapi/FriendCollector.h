#pragma once
// The friendship page's list and its answers, apart from the screens: the
// new friendships a bracelet holds, named by the web service, together with
// the friendships its Fairy already has online.

#include "webapi/FriendRecord.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Glm {

class Toy;
class WebApi;

/// Statuses of the page's entries beyond those the web service gives.
/// A friendship touched on the bracelet.
inline constexpr FriendshipStatus FRIENDSHIP_NEW = static_cast<FriendshipStatus>(4);
/// A touched friendship with a Fairy whose account is already an account
/// friend: accepted as a gift.
inline constexpr FriendshipStatus FRIENDSHIP_GIFT = static_cast<FriendshipStatus>(5);
/// A touched friendship with a Fairy of the toy's own account: invalid.
inline constexpr FriendshipStatus FRIENDSHIP_SAME_ACCOUNT = static_cast<FriendshipStatus>(6);

/// Gives the toy its Fairy id and name from the web service when it does
/// not know its Fairy yet (both come from the one profile of its click
/// id). 0 when the toy knows its Fairy afterwards; 1 when no toy is present
/// or the profile could not be had (the call has reported its failure).
std::int32_t LearnToyFairy(WebApi& api, Toy& toy);

/// How many requests one CollectFriends made, by kind.
struct CollectStatistics {
    std::int32_t profileRequests = 0;
    std::int32_t accountFriendRequests = 0;
    std::int32_t inventoryRequests = 0;
    std::int32_t Total() const { return profileRequests + accountFriendRequests + inventoryRequests; }
};

/// Rebuilds friends (emptied first) for the toy's Fairy:
/// 1. each friendship slot of the bracelet, in slot order, whose profile
///    the service gives, as an entry with that click id and status 4, or 6
///    when its account is the toy's own (GetOwnerUserId); slots whose
///    profile cannot be had are left out;
/// 2. among the account friends of the toy's Fairy, the first that has an
///    entry (same user id) turns that entry into a gift (status 5);
/// 3. the Fairy's friendships on the service (statuses 1, 2, 3), in order,
///    each appended unless its account already has an entry.
/// A click id held in several slots is looked up once. The account friends
/// are not asked for when the bracelet gave no entry (they could change
/// nothing). Returns 1 without a request when no toy is present (the page
/// shows string 153), else 0; failed requests have reported themselves.
std::int32_t CollectFriends(WebApi& api, const Toy& toy, std::vector<FriendRecord>& friends,
                            CollectStatistics* statistics = nullptr);

/// The answer to one entry of the page ("accept", "decline" or "giftonly")
/// sent for the toy's Fairy: the entry is named by its bracelet click id
/// when it has one (the toy's own click id then goes along), else by its
/// Fairy id. 1 without a request when toy is null or not present; else the
/// upload's result, with the service's code in errorCode on refusal. Never
/// throws.
std::int32_t UploadFriendAnswer(WebApi& api, const Toy* toy, const FriendRecord& entry,
                                const std::string& action, std::string& errorCode);

} // namespace Glm

#include "webapi/FriendCollector.h"

#include "device/Toy.h"
#include "webapi/CallGuard.h"
#include "webapi/UploadBodies.h"
#include "webapi/WebApi.h"

#include <algorithm>
#include <map>
#include <optional>

namespace Glm {

namespace {

// The first entry of the account userId, or null.
FriendRecord* FindAccount(std::vector<FriendRecord>& friends, const std::string& userId) {
    const auto found = std::find_if(friends.begin(), friends.end(),
                                    [&](const FriendRecord& entry) { return entry.userId == userId; });
    return found != friends.end() ? &*found : nullptr;
}

} // namespace

std::int32_t LearnToyFairy(WebApi& api, Toy& toy) {
    if (!toy.IsPresent()) {
        return 1;
    }
    if (!toy.GetFairyId().empty()) {
        return 0;
    }
    FriendRecord profile;
    if (api.GetUser(static_cast<std::uint32_t>(toy.GetClickId()), profile) != 0) {
        return 1;
    }
    toy.SetFairyId(profile.fairyId);
    toy.SetFairyName(profile.fairyName);
    return 0;
}

std::int32_t CollectFriends(WebApi& api, const Toy& toy, std::vector<FriendRecord>& friends,
                            CollectStatistics* statistics) {
    CollectStatistics counted;
    friends.clear();
    if (statistics != nullptr) {
        *statistics = counted;
    }
    if (!toy.IsPresent()) {
        return 1;
    }
    std::vector<std::int32_t> clickIds;
    toy.GetFriends(clickIds);
    // A friend touched twice fills two slots; its profile is asked for once.
    std::map<std::uint32_t, std::optional<FriendRecord>> profiles;
    for (const std::int32_t slot : clickIds) {
        const auto clickId = static_cast<std::uint32_t>(slot);
        auto known = profiles.find(clickId);
        if (known == profiles.end()) {
            FriendRecord profile;
            ++counted.profileRequests;
            const bool found = api.GetUser(clickId, profile) == 0;
            known =
                profiles.emplace(clickId, found ? std::optional<FriendRecord>(profile) : std::nullopt).first;
        }
        if (!known->second) {
            continue;
        }
        FriendRecord entry = *known->second;
        entry.clickId = clickId;
        entry.status = entry.userId == toy.GetOwnerUserId() ? FRIENDSHIP_SAME_ACCOUNT : FRIENDSHIP_NEW;
        friends.push_back(std::move(entry));
    }
    if (!friends.empty()) {
        std::vector<FriendRecord> accountFriends;
        ++counted.accountFriendRequests;
        api.GetFriends(toy.GetFairyId(), accountFriends);
        for (const FriendRecord& accountFriend : accountFriends) {
            if (FriendRecord* entry = FindAccount(friends, accountFriend.userId)) {
                entry->status = FRIENDSHIP_GIFT;
                break;
            }
        }
    }
    std::vector<FriendRecord> friendships;
    ++counted.inventoryRequests;
    if (api.ObtainGlimmeriesInventory(toy.GetFairyId(), friendships) == 0) {
        for (FriendRecord& friendship : friendships) {
            if (FindAccount(friends, friendship.userId) == nullptr) {
                friends.push_back(std::move(friendship));
            }
        }
    }
    if (statistics != nullptr) {
        *statistics = counted;
    }
    return 0;
}

std::int32_t UploadFriendAnswer(WebApi& api, const Toy* toy, const FriendRecord& entry,
                                const std::string& action, std::string& errorCode) {
    if (toy == nullptr || !toy->IsPresent()) {
        return 1;
    }
    std::string body;
    // The texts come from the string table; a program without them cannot
    // answer, which is logged like any failed call.
    if (!GuardCall(GLM_CALL_SITE("Glm::Glimmeries", "UploadFriend"), nullptr, [&] {
            body = BuildFriendUploadBody(toy->GetFairyId(), static_cast<std::uint32_t>(toy->GetClickId()),
                                         action, entry);
        })) {
        return 1;
    }
    return api.UploadFriend(body, errorCode);
}

} // namespace Glm

#include "Catalogue.h"
#include "GameStore.h"
#include "GameStoreTime.h"

namespace Service {

using StoreTime::kSecondsPerDay;
using StoreTime::Now;

namespace {

constexpr std::int64_t kFriendMarker = 0x80000000LL;

} // namespace

std::string GameStore::UploadCharm(std::int64_t userId, std::int64_t fairyId, std::int64_t clickId,
                                   std::int64_t charmId) {
    std::lock_guard lock(m_mutex);
    Transaction transaction(m_database);
    OwnFairyLocked(userId, fairyId);
    const auto toy = FindToyLocked(clickId);
    if (!toy) {
        throw GameError("NOT_FOUND");
    }
    if (toy->userId != userId) {
        throw GameError("NOT_GLIMMERY_OWNER");
    }
    if (Catalogue::FindCharm(charmId) == nullptr) {
        return "ITEM_NOT_AVAILABLE";
    }
    auto owned = m_database.Prepare("SELECT 1 FROM charms WHERE fairy_id = ?1 AND charm_id = ?2");
    owned.Bind(1, fairyId).Bind(2, charmId);
    if (owned.Step()) {
        return "INVENTORY_ALREADY_OWNED";
    }
    auto count = m_database.Prepare("SELECT COUNT(*) FROM charms WHERE fairy_id = ?1");
    count.Bind(1, fairyId).Step();
    if (count.Int(0) >= m_rules.maxCharmsPerFairy) {
        return "INVENTORY_FULL";
    }
    m_database.Prepare("INSERT INTO charms(fairy_id, charm_id, received) VALUES (?1, ?2, ?3)")
        .Bind(1, fairyId)
        .Bind(2, charmId)
        .Bind(3, Now())
        .Run();
    transaction.Commit();
    return {};
}

std::int64_t GameStore::UploadPoints(std::int64_t userId, std::int64_t fairyId, std::int64_t clickId,
                                     std::int64_t points) {
    if (points < 0) {
        throw GameError("INVALID_POINTS");
    }
    std::lock_guard lock(m_mutex);
    Transaction transaction(m_database);
    const auto fairy = OwnFairyLocked(userId, fairyId);
    const auto toy = FindToyLocked(clickId);
    if (!toy) {
        throw GameError("NOT_FOUND");
    }
    if (toy->userId != userId) {
        throw GameError("NOT_GLIMMERY_OWNER");
    }
    if (points > m_rules.maxPointsBalance - fairy.points) {
        throw GameError("INVALID_POINTS");
    }
    m_database.Prepare("UPDATE fairies SET glintpoints = glintpoints + ?2 WHERE fairy_id = ?1")
        .Bind(1, fairyId)
        .Bind(2, points)
        .Run();
    transaction.Commit();
    return fairy.points + points;
}

std::int64_t GameStore::Redeem(std::int64_t userId, std::int64_t fairyId, std::int64_t item) {
    std::lock_guard lock(m_mutex);
    Transaction transaction(m_database);
    const auto fairy = OwnFairyLocked(userId, fairyId);
    const auto* butterfly = Catalogue::FindButterfly(item);
    if (butterfly == nullptr) {
        throw GameError("ITEM_NOT_AVAILABLE");
    }
    if (fairy.points < butterfly->points) {
        throw GameError("NOT_ENOUGH_POINTS");
    }
    m_database
        .Prepare("UPDATE fairies SET glintpoints = glintpoints - ?2, butterfly = ?3, butterfly_until = ?4 "
                 "WHERE fairy_id = ?1")
        .Bind(1, fairyId)
        .Bind(2, butterfly->points)
        .Bind(3, item)
        .Bind(4, Now() + butterfly->days * kSecondsPerDay)
        .Run();
    transaction.Commit();
    return fairy.points - butterfly->points;
}

std::string GameStore::AnswerFriend(std::int64_t userId, std::int64_t fairyId, const std::string& action,
                                    std::int64_t friendBracelet, std::int64_t friendFairyId) {
    if (action != "accept" && action != "decline" && action != "giftonly") {
        throw GameError("INVALID_ACTION");
    }
    std::lock_guard lock(m_mutex);
    Transaction transaction(m_database);
    OwnFairyLocked(userId, fairyId);
    std::optional<Fairy> other;
    std::int64_t gift = 0;
    if (friendBracelet != 0) {
        // A bracelet records the other bracelet's click id with the top bit set.
        const auto toy = FindToyLocked(friendBracelet & ~kFriendMarker);
        if (toy && toy->kind == "bracelet" && toy->fairyId != 0) {
            other = FindFairyLocked(toy->fairyId);
            gift = toy->giftId;
        }
    } else {
        other = FindFairyLocked(friendFairyId);
        if (other) {
            gift = other->giftId;
        }
    }
    if (!other) {
        return "NOT_FOUND";
    }
    if (other->userId == userId) {
        return "SAME_ACCOUNT";
    }
    const auto statusOf = [this](std::int64_t from, std::int64_t to) -> std::string {
        auto row =
            m_database.Prepare("SELECT status FROM friendships WHERE from_fairy = ?1 AND to_fairy = ?2");
        row.Bind(1, from).Bind(2, to);
        return row.Step() ? row.Text(0) : std::string();
    };
    const auto setStatus = [this](std::int64_t from, std::int64_t to, const char* status) {
        m_database
            .Prepare("INSERT INTO friendships(from_fairy, to_fairy, status, updated) VALUES (?1, ?2, ?3, ?4) "
                     "ON CONFLICT(from_fairy, to_fairy) DO UPDATE SET status = ?3, updated = ?4")
            .Bind(1, from)
            .Bind(2, to)
            .Bind(3, std::string_view(status))
            .Bind(4, Now())
            .Run();
    };
    const std::string mine = statusOf(fairyId, other->fairyId);
    const std::string theirs = statusOf(other->fairyId, fairyId);

    // A row (from, to) is the invitation `from` sent; only `to` may turn it into MADE or DECLINED.
    const auto friendsOf = [this](std::int64_t fairy, const char* statuses) {
        auto count = m_database.Prepare(
            ("SELECT COUNT(*) FROM friendships WHERE (from_fairy = ?1 OR to_fairy = ?1) AND status IN (" +
             std::string(statuses) + ")")
                .c_str());
        count.Bind(1, fairy).Step();
        return count.Int(0);
    };
    if (action == "accept") {
        if (mine == "DECLINED") {
            return "FRIENDSHIP_DECLINED";
        }
        if (mine == "MADE" || mine == "PENDING" || theirs == "MADE") {
            return {};
        }
        if (theirs == "PENDING") {
            // The invitation is addressed to this Fairy: its acceptance makes the friendship, within
            // the limit of both sides.
            if (friendsOf(fairyId, "'MADE'") >= m_rules.maxFriendsPerFairy ||
                friendsOf(other->fairyId, "'MADE'") >= m_rules.maxFriendsPerFairy) {
                return "TOO_MANY_FRIENDS";
            }
            setStatus(other->fairyId, fairyId, "MADE");
        } else {
            // No invitation to answer (or one this side declined before): this side invites, and
            // the other Fairy decides.
            if (friendsOf(fairyId, "'MADE', 'PENDING'") >= m_rules.maxFriendsPerFairy) {
                return "TOO_MANY_FRIENDS";
            }
            m_database.Prepare("DELETE FROM friendships WHERE from_fairy = ?1 AND to_fairy = ?2")
                .Bind(1, other->fairyId)
                .Bind(2, fairyId)
                .Run();
            setStatus(fairyId, other->fairyId, "PENDING");
        }
    } else if (action == "decline") {
        if (mine == "PENDING") {
            // Cancelling one's own invitation.
            m_database.Prepare("DELETE FROM friendships WHERE from_fairy = ?1 AND to_fairy = ?2")
                .Bind(1, fairyId)
                .Bind(2, other->fairyId)
                .Run();
        } else if (mine.empty() && theirs.empty()) {
            // Remembered, so that the other side's later acceptance learns it was declined.
            setStatus(other->fairyId, fairyId, "DECLINED");
        } else if (theirs == "PENDING") {
            setStatus(other->fairyId, fairyId, "DECLINED");
        }
    } else {
        if (!AccountsAreFriends(userId, other->userId)) {
            return "NOT_ACCOUNT_FRIENDS";
        }
        if (gift != 0) {
            m_database
                .Prepare("INSERT OR IGNORE INTO toy_gifts(click_id, gift_id) SELECT click_id, ?2 FROM toys "
                         "WHERE fairy_id = ?1 AND kind = 'bracelet' AND released = 0")
                .Bind(1, fairyId)
                .Bind(2, gift)
                .Run();
        }
    }
    transaction.Commit();
    return {};
}

} // namespace Service

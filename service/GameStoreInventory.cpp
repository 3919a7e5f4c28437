#include "GameStore.h"

namespace Service {

std::vector<Friendship> GameStore::FriendshipsLocked(std::int64_t fairyId) {
    // What this Fairy sees: its own invitations in every state and the friendships made with it.
    // Invitations to it arrive through bracelets, and its own refusals are not shown back to it.
    auto row =
        m_database.Prepare("SELECT other, status FROM ("
                           " SELECT to_fairy AS other, status, updated FROM friendships WHERE from_fairy = ?1"
                           " UNION ALL"
                           " SELECT from_fairy AS other, status, updated FROM friendships WHERE to_fairy = "
                           "?1 AND status = 'MADE')"
                           " ORDER BY updated, other");
    row.Bind(1, fairyId);
    std::vector<std::pair<std::int64_t, std::string>> pairs;
    while (row.Step()) {
        pairs.emplace_back(row.Int(0), row.Text(1));
    }
    std::vector<Friendship> friendships;
    for (const auto& [other, status] : pairs) {
        const auto fairy = FindFairyLocked(other);
        if (!fairy) {
            continue;
        }
        const auto account = FindAccountLocked(fairy->userId);
        friendships.push_back(Friendship{account ? account->displayName : std::string(), fairy->userId,
                                         fairy->fairyId, fairy->name, fairy->giftId, fairy->messageId,
                                         status});
    }
    return friendships;
}

std::vector<Friendship> GameStore::FriendshipsOfFairy(std::int64_t fairyId) {
    std::lock_guard lock(m_mutex);
    return FriendshipsLocked(fairyId);
}

std::vector<Friendship> GameStore::FriendshipsOfAccount(std::int64_t userId) {
    std::lock_guard lock(m_mutex);
    auto row = m_database.Prepare("SELECT fairy_id FROM fairies WHERE user_id = ?1 ORDER BY fairy_id");
    row.Bind(1, userId);
    std::vector<std::int64_t> fairies;
    while (row.Step()) {
        fairies.push_back(row.Int(0));
    }
    std::vector<Friendship> all;
    for (const auto fairyId : fairies) {
        auto some = FriendshipsLocked(fairyId);
        all.insert(all.end(), some.begin(), some.end());
    }
    return all;
}

std::vector<std::int64_t> GameStore::CharmsOf(std::int64_t fairyId) {
    std::lock_guard lock(m_mutex);
    auto row =
        m_database.Prepare("SELECT charm_id FROM charms WHERE fairy_id = ?1 ORDER BY received, charm_id");
    row.Bind(1, fairyId);
    std::vector<std::int64_t> charms;
    while (row.Step()) {
        charms.push_back(row.Int(0));
    }
    return charms;
}

std::vector<Account> GameStore::AccountFriends(std::int64_t userId) {
    // Two accounts are friends once any of their Fairies have made a friendship.
    std::lock_guard lock(m_mutex);
    auto row = m_database.Prepare(
        "SELECT DISTINCT a.user_id, a.login, a.display_name, a.banned FROM friendships f"
        " JOIN fairies x ON x.fairy_id = f.from_fairy JOIN fairies y ON y.fairy_id = f.to_fairy"
        " JOIN accounts a ON a.user_id = CASE WHEN x.user_id = ?1 THEN y.user_id ELSE x.user_id END"
        " WHERE f.status = 'MADE' AND (x.user_id = ?1 OR y.user_id = ?1) AND x.user_id <> y.user_id"
        " ORDER BY a.user_id");
    row.Bind(1, userId);
    std::vector<Account> accounts;
    while (row.Step()) {
        accounts.push_back(Account{row.Int(0), row.Text(1), row.Text(2), row.Int(3) != 0});
    }
    return accounts;
}

bool GameStore::AccountsAreFriends(std::int64_t a, std::int64_t b) {
    auto row = m_database.Prepare(
        "SELECT 1 FROM friendships f JOIN fairies x ON x.fairy_id = f.from_fairy"
        " JOIN fairies y ON y.fairy_id = f.to_fairy WHERE f.status = 'MADE'"
        " AND ((x.user_id = ?1 AND y.user_id = ?2) OR (x.user_id = ?2 AND y.user_id = ?1)) LIMIT 1");
    row.Bind(1, a).Bind(2, b);
    return row.Step();
}

} // namespace Service

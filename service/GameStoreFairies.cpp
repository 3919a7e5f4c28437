#include "GameStore.h"
#include "GameStoreTime.h"

namespace Service {

using StoreTime::kSecondsPerDay;
using StoreTime::Now;

namespace {
constexpr const char* kFairyColumns =
    "SELECT f.fairy_id, f.user_id, f.name, f.look, f.glintpoints, f.butterfly, f.butterfly_until, "
    "COALESCE((SELECT t.gift_id FROM toys t WHERE t.fairy_id = f.fairy_id AND t.kind = 'bracelet' "
    "AND t.released = 0 ORDER BY t.created, t.click_id LIMIT 1), 0), "
    "COALESCE((SELECT t.message_id FROM toys t WHERE t.fairy_id = f.fairy_id AND t.kind = 'bracelet' "
    "AND t.released = 0 ORDER BY t.created, t.click_id LIMIT 1), 0) FROM fairies f ";
}

Fairy GameStore::ReadFairy(Statement& row) {
    Fairy fairy;
    fairy.fairyId = row.Int(0);
    fairy.userId = row.Int(1);
    fairy.name = row.Text(2);
    fairy.look = row.Text(3);
    fairy.points = row.Int(4);
    const auto until = row.Int(6);
    const auto remaining = until - Now();
    if (row.Int(5) != 0 && remaining > 0) {
        fairy.butterfly = row.Int(5);
        fairy.butterflyDays = (remaining + kSecondsPerDay - 1) / kSecondsPerDay;
    }
    fairy.giftId = row.Int(7);
    fairy.messageId = row.Int(8);
    return fairy;
}

std::int64_t GameStore::AddFairy(std::int64_t userId, const std::string& name, const std::string& look) {
    if (name.empty() || name.size() > 40) {
        throw GameError("INVALID_NAME");
    }
    std::lock_guard lock(m_mutex);
    Transaction transaction(m_database);
    if (!FindAccountLocked(userId)) {
        throw GameError("INVALID_ACCOUNT");
    }
    auto count = m_database.Prepare("SELECT COUNT(*) FROM fairies WHERE user_id = ?1");
    count.Bind(1, userId).Step();
    if (count.Int(0) >= m_rules.maxFairiesPerAccount) {
        throw GameError("HAS_MAX_FAIRIES");
    }
    m_database.Prepare("INSERT INTO fairies(user_id, name, look) VALUES (?1, ?2, ?3)")
        .Bind(1, userId)
        .Bind(2, name)
        .Bind(3, look)
        .Run();
    const auto id = m_database.LastInsertId();
    transaction.Commit();
    return id;
}

std::vector<Fairy> GameStore::FairiesOf(std::int64_t userId) {
    std::lock_guard lock(m_mutex);
    auto row =
        m_database.Prepare((std::string(kFairyColumns) + "WHERE f.user_id = ?1 ORDER BY f.fairy_id").c_str());
    row.Bind(1, userId);
    std::vector<Fairy> fairies;
    while (row.Step()) {
        fairies.push_back(ReadFairy(row));
    }
    return fairies;
}

std::optional<Fairy> GameStore::FindFairyLocked(std::int64_t fairyId) {
    auto row = m_database.Prepare((std::string(kFairyColumns) + "WHERE f.fairy_id = ?1").c_str());
    row.Bind(1, fairyId);
    if (!row.Step()) {
        return std::nullopt;
    }
    return ReadFairy(row);
}

std::optional<Fairy> GameStore::FindFairy(std::int64_t fairyId) {
    std::lock_guard lock(m_mutex);
    return FindFairyLocked(fairyId);
}

Fairy GameStore::OwnFairyLocked(std::int64_t userId, std::int64_t fairyId) {
    auto fairy = FindFairyLocked(fairyId);
    if (!fairy) {
        throw GameError("NOT_FOUND");
    }
    if (fairy->userId != userId) {
        throw GameError("NOT_GLIMMERY_OWNER");
    }
    return *fairy;
}

Fairy GameStore::OwnFairy(std::int64_t userId, std::int64_t fairyId) {
    std::lock_guard lock(m_mutex);
    return OwnFairyLocked(userId, fairyId);
}

void GameStore::SetPoints(std::int64_t fairyId, std::int64_t points) {
    if (points < 0 || points > m_rules.maxPointsBalance) {
        throw GameError("INVALID_POINTS");
    }
    std::lock_guard lock(m_mutex);
    m_database.Prepare("UPDATE fairies SET glintpoints = ?2 WHERE fairy_id = ?1")
        .Bind(1, fairyId)
        .Bind(2, points)
        .Run();
    if (m_database.Changes() != 1) {
        throw GameError("NOT_FOUND");
    }
}

} // namespace Service

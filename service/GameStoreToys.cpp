#include "Catalogue.h"
#include "Crypto.h"
#include "GameStore.h"
#include "GameStoreTime.h"

namespace Service {

using StoreTime::kSecondsPerDay;
using StoreTime::Now;

namespace {

constexpr std::int64_t kLargestClickId = 0x7fffffffLL;
// Every bracelet starts with these gift phrases; the others arrive as gifts from friends.
constexpr std::int64_t kFirstStarterGift = 2001;
constexpr std::int64_t kLastStarterGift = 2010;

bool ValidKind(const std::string& kind) {
    return kind == "bracelet" || kind == "game" || kind == "jewelrybox";
}

std::string NewResetCode() {
    // Letters and digits that cannot be mistaken for one another when read off a card.
    static const char alphabet[] = "ABCDEFGHJKLMNPQRSTUVWXYZ23456789";
    std::string code;
    for (int i = 0; i < 8; ++i) {
        code += alphabet[RandomNumber(0, sizeof alphabet - 2)];
    }
    return code;
}

} // namespace

std::optional<Toy> GameStore::FindToyLocked(std::int64_t clickId) {
    auto row =
        m_database.Prepare("SELECT click_id, kind, COALESCE(user_id, 0), COALESCE(fairy_id, 0), message_id, "
                           "gift_id FROM toys WHERE click_id = ?1 AND released = 0");
    row.Bind(1, clickId);
    if (!row.Step()) {
        return std::nullopt;
    }
    return Toy{row.Int(0), row.Text(1), row.Int(2), row.Int(3), row.Int(4), row.Int(5)};
}

std::optional<Toy> GameStore::FindToy(std::int64_t clickId) {
    std::lock_guard lock(m_mutex);
    return FindToyLocked(clickId);
}

void GameStore::CheckToyChoices(std::int64_t userId, std::int64_t clickId, const std::string& kind,
                                std::int64_t fairyId, std::int64_t messageId, std::int64_t giftId) {
    if (fairyId != 0) {
        OwnFairyLocked(userId, fairyId);
    }
    if (messageId != 0 && (kind != "bracelet" || !Catalogue::HasMessage(messageId))) {
        throw GameError("ITEM_NOT_AVAILABLE");
    }
    if (giftId != 0) {
        bool owned = false;
        if (kind == "bracelet" && clickId == 0) {
            owned = giftId >= kFirstStarterGift && giftId <= kLastStarterGift;
        } else if (kind == "bracelet") {
            auto row = m_database.Prepare("SELECT 1 FROM toy_gifts WHERE click_id = ?1 AND gift_id = ?2");
            row.Bind(1, clickId).Bind(2, giftId);
            owned = row.Step();
        }
        if (!owned) {
            throw GameError("ITEM_NOT_AVAILABLE");
        }
    }
}

Toy GameStore::SetupNewToy(std::int64_t userId, const std::string& kind, std::int64_t fairyId,
                           std::int64_t messageId, std::int64_t giftId) {
    if (!ValidKind(kind)) {
        throw GameError("INVALID_TYPE");
    }
    const std::string resetCode = NewResetCode();
    std::lock_guard lock(m_mutex);
    Transaction transaction(m_database);
    auto count = m_database.Prepare("SELECT COUNT(*) FROM toys WHERE user_id = ?1 AND released = 0");
    count.Bind(1, userId).Step();
    if (count.Int(0) >= m_rules.maxToysPerAccount) {
        throw GameError("HAS_MAX_GLIMMERIES");
    }
    CheckToyChoices(userId, 0, kind, fairyId, messageId, giftId);
    std::int64_t clickId = 0;
    for (;;) {
        clickId = RandomNumber(1, static_cast<unsigned>(kLargestClickId));
        auto taken = m_database.Prepare("SELECT 1 FROM toys WHERE click_id = ?1");
        taken.Bind(1, clickId);
        if (!taken.Step()) {
            break;
        }
    }
    auto insert =
        m_database.Prepare("INSERT INTO toys(click_id, kind, user_id, fairy_id, message_id, gift_id, "
                           "reset_code, created) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
    insert.Bind(1, clickId).Bind(2, kind).Bind(3, userId);
    if (fairyId != 0) {
        insert.Bind(4, fairyId);
    } else {
        insert.BindNull(4);
    }
    insert.Bind(5, messageId).Bind(6, giftId).Bind(7, resetCode).Bind(8, Now()).Run();
    if (kind == "bracelet") {
        for (auto gift = kFirstStarterGift; gift <= kLastStarterGift; ++gift) {
            m_database.Prepare("INSERT INTO toy_gifts(click_id, gift_id) VALUES (?1, ?2)")
                .Bind(1, clickId)
                .Bind(2, gift)
                .Run();
        }
    }
    transaction.Commit();
    return Toy{clickId, kind, userId, fairyId, messageId, giftId};
}

Toy GameStore::SetupExistingToy(std::int64_t userId, std::int64_t clickId, std::int64_t fairyId,
                                std::int64_t messageId, std::int64_t giftId) {
    std::lock_guard lock(m_mutex);
    Transaction transaction(m_database);
    auto toy = FindToyLocked(clickId);
    if (!toy) {
        throw GameError("NOT_FOUND");
    }
    if (toy->userId != userId) {
        throw GameError("NOT_GLIMMERY_OWNER");
    }
    CheckToyChoices(userId, clickId, toy->kind, fairyId, messageId, giftId);
    if (fairyId != 0) {
        toy->fairyId = fairyId;
    }
    if (messageId != 0) {
        toy->messageId = messageId;
    }
    if (giftId != 0) {
        toy->giftId = giftId;
    }
    auto update = m_database.Prepare(
        "UPDATE toys SET fairy_id = ?2, message_id = ?3, gift_id = ?4 WHERE click_id = ?1");
    update.Bind(1, clickId);
    if (toy->fairyId != 0) {
        update.Bind(2, toy->fairyId);
    } else {
        update.BindNull(2);
    }
    update.Bind(3, toy->messageId).Bind(4, toy->giftId).Run();
    transaction.Commit();
    return *toy;
}

void GameStore::ResetToy(std::int64_t clickId, const std::string& code) {
    std::lock_guard lock(m_mutex);
    Transaction transaction(m_database);
    auto row =
        m_database.Prepare("SELECT reset_code, resetable FROM toys WHERE click_id = ?1 AND released = 0");
    row.Bind(1, clickId);
    if (!row.Step()) {
        throw GameError("NOT_FOUND");
    }
    if (row.Int(1) == 0) {
        throw GameError("DEVICE_NOT_RESETABLE");
    }
    if (row.Text(0) != code) {
        throw GameError("INVALID_CODE");
    }
    m_database.Prepare("UPDATE toys SET released = 1 WHERE click_id = ?1").Bind(1, clickId).Run();
    transaction.Commit();
}

void GameStore::CheckResetSetup(std::int64_t clickId) {
    std::lock_guard lock(m_mutex);
    auto row = m_database.Prepare("SELECT resetable FROM toys WHERE click_id = ?1 AND released = 1");
    row.Bind(1, clickId);
    if (row.Step() && row.Int(0) == 0) {
        throw GameError("DEVICE_NOT_RESETABLE");
    }
}

std::string GameStore::ResetCode(std::int64_t clickId) {
    std::lock_guard lock(m_mutex);
    auto row = m_database.Prepare("SELECT reset_code FROM toys WHERE click_id = ?1 AND released = 0");
    row.Bind(1, clickId);
    if (!row.Step()) {
        throw GameError("NOT_FOUND");
    }
    return row.Text(0);
}

void GameStore::SetResetable(std::int64_t clickId, bool resetable) {
    std::lock_guard lock(m_mutex);
    // A reset toy keeps its click id until its next set-up, so it can still be marked.
    m_database.Prepare("UPDATE toys SET resetable = ?2 WHERE click_id = ?1")
        .Bind(1, clickId)
        .Bind(2, resetable ? 1 : 0)
        .Run();
    if (m_database.Changes() != 1) {
        throw GameError("NOT_FOUND");
    }
}

std::vector<std::int64_t> GameStore::BraceletGifts(std::int64_t userId, std::int64_t clickId) {
    std::lock_guard lock(m_mutex);
    auto toy = FindToyLocked(clickId);
    if (!toy) {
        throw GameError("NOT_FOUND");
    }
    if (toy->userId != userId) {
        throw GameError("NOT_GLIMMERY_OWNER");
    }
    auto row = m_database.Prepare("SELECT gift_id FROM toy_gifts WHERE click_id = ?1 ORDER BY gift_id");
    row.Bind(1, clickId);
    std::vector<std::int64_t> gifts;
    while (row.Step()) {
        gifts.push_back(row.Int(0));
    }
    return gifts;
}

} // namespace Service

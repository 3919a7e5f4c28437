#include "GameStore.h"

#include "Catalogue.h"
#include "Crypto.h"

#include <ctime>

namespace Service {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kFriendMarker = 0x80000000LL;
constexpr std::int64_t kLargestClickId = 0x7fffffffLL;
// Every bracelet starts with these gift phrases; the others arrive as gifts from friends.
constexpr std::int64_t kFirstStarterGift = 2001;
constexpr std::int64_t kLastStarterGift = 2010;

std::int64_t Now() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

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

GameStore::GameStore(const std::string& databasePath, GameRules rules)
    : m_rules(rules), m_database(databasePath) {
    CreateSchema();
}

void GameStore::CreateSchema() {
    std::lock_guard lock(m_mutex);
    Transaction transaction(m_database);
    m_database.Execute(R"SQL(
CREATE TABLE IF NOT EXISTS accounts (
    user_id INTEGER PRIMARY KEY AUTOINCREMENT,
    login TEXT NOT NULL UNIQUE COLLATE NOCASE,
    display_name TEXT NOT NULL,
    password_hash TEXT NOT NULL,
    banned INTEGER NOT NULL DEFAULT 0,
    created INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS fairies (
    fairy_id INTEGER PRIMARY KEY AUTOINCREMENT,
    user_id INTEGER NOT NULL REFERENCES accounts(user_id),
    name TEXT NOT NULL,
    look TEXT NOT NULL,
    glintpoints INTEGER NOT NULL DEFAULT 0,
    butterfly INTEGER NOT NULL DEFAULT 0,
    butterfly_until INTEGER NOT NULL DEFAULT 0);
CREATE INDEX IF NOT EXISTS fairies_by_user ON fairies(user_id);
CREATE TABLE IF NOT EXISTS toys (
    click_id INTEGER PRIMARY KEY,
    kind TEXT NOT NULL,
    user_id INTEGER REFERENCES accounts(user_id),
    fairy_id INTEGER REFERENCES fairies(fairy_id),
    message_id INTEGER NOT NULL DEFAULT 0,
    gift_id INTEGER NOT NULL DEFAULT 0,
    reset_code TEXT NOT NULL,
    resetable INTEGER NOT NULL DEFAULT 1,
    released INTEGER NOT NULL DEFAULT 0,
    created INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS toys_by_user ON toys(user_id);
CREATE INDEX IF NOT EXISTS toys_by_fairy ON toys(fairy_id);
CREATE TABLE IF NOT EXISTS toy_gifts (
    click_id INTEGER NOT NULL REFERENCES toys(click_id),
    gift_id INTEGER NOT NULL,
    PRIMARY KEY (click_id, gift_id));
CREATE TABLE IF NOT EXISTS charms (
    fairy_id INTEGER NOT NULL REFERENCES fairies(fairy_id),
    charm_id INTEGER NOT NULL,
    received INTEGER NOT NULL,
    PRIMARY KEY (fairy_id, charm_id));
CREATE TABLE IF NOT EXISTS friendships (
    from_fairy INTEGER NOT NULL REFERENCES fairies(fairy_id),
    to_fairy INTEGER NOT NULL REFERENCES fairies(fairy_id),
    status TEXT NOT NULL,
    updated INTEGER NOT NULL,
    PRIMARY KEY (from_fairy, to_fairy));
CREATE INDEX IF NOT EXISTS friendships_to ON friendships(to_fairy);
CREATE TABLE IF NOT EXISTS sessions (
    token TEXT PRIMARY KEY,
    user_id INTEGER NOT NULL REFERENCES accounts(user_id),
    secure INTEGER NOT NULL,
    created INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS transfer_tokens (
    token TEXT PRIMARY KEY,
    user_id INTEGER NOT NULL REFERENCES accounts(user_id),
    expires INTEGER NOT NULL,
    used INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS reports (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    time INTEGER NOT NULL,
    page TEXT NOT NULL,
    cache_breaker TEXT NOT NULL);
)SQL");
    // Account and Fairy ids start at recognisable numbers instead of 1.
    m_database.Execute("INSERT INTO sqlite_sequence(name, seq) SELECT 'accounts', 70000 "
                       "WHERE NOT EXISTS (SELECT 1 FROM sqlite_sequence WHERE name = 'accounts')");
    m_database.Execute("INSERT INTO sqlite_sequence(name, seq) SELECT 'fairies', 880000 "
                       "WHERE NOT EXISTS (SELECT 1 FROM sqlite_sequence WHERE name = 'fairies')");
    transaction.Commit();
}

// ---- accounts and sessions -------------------------------------------------------------------

std::int64_t GameStore::CreateAccount(const std::string& login, const std::string& password,
                                      const std::string& displayName) {
    if (login.size() < 3 || login.size() > 20) {
        throw GameError("INVALID_ACCOUNT_NAME");
    }
    for (const char c : login) {
        const bool allowed =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!allowed) {
            throw GameError("INVALID_ACCOUNT_NAME");
        }
    }
    if (password.size() < 6 || password.size() > 128) {
        throw GameError("INVALID_PASSWORD_FORMAT");
    }
    const std::string hash = HashPassword(password, m_rules.passwordIterations);
    std::lock_guard lock(m_mutex);
    Transaction transaction(m_database);
    {
        auto exists = m_database.Prepare("SELECT 1 FROM accounts WHERE login = ?1");
        exists.Bind(1, login);
        if (exists.Step()) {
            throw GameError("ACCOUNT_EXISTS");
        }
    }
    m_database
        .Prepare("INSERT INTO accounts(login, display_name, password_hash, created) VALUES (?1, ?2, ?3, ?4)")
        .Bind(1, login)
        .Bind(2, displayName.empty() ? login : displayName)
        .Bind(3, hash)
        .Bind(4, Now())
        .Run();
    const auto id = m_database.LastInsertId();
    transaction.Commit();
    return id;
}

Account GameStore::SignIn(const std::string& login, const std::string& password) {
    std::string hash;
    Account account;
    {
        std::lock_guard lock(m_mutex);
        auto row = m_database.Prepare(
            "SELECT user_id, login, display_name, banned, password_hash FROM accounts WHERE login = ?1");
        row.Bind(1, login);
        if (!row.Step()) {
            throw GameError("INVALID_ACCOUNT");
        }
        account = {row.Int(0), row.Text(1), row.Text(2), row.Int(3) != 0};
        hash = row.Text(4);
    }
    // The slow hash runs outside the lock so sign-ins do not stall every other request.
    if (!VerifyPassword(password, hash)) {
        throw GameError("INVALID_PASSWORD");
    }
    if (account.banned) {
        throw GameError("BANNED");
    }
    return account;
}

void GameStore::BanAccount(const std::string& login) {
    std::lock_guard lock(m_mutex);
    Transaction transaction(m_database);
    m_database.Prepare("UPDATE accounts SET banned = 1 WHERE login = ?1").Bind(1, login).Run();
    if (m_database.Changes() != 1) {
        throw GameError("INVALID_ACCOUNT");
    }
    // A banned account loses the sessions it holds.
    m_database.Prepare("DELETE FROM sessions WHERE user_id = (SELECT user_id FROM accounts WHERE login = ?1)")
        .Bind(1, login)
        .Run();
    transaction.Commit();
}

std::optional<Account> GameStore::FindAccountLocked(std::int64_t userId) {
    auto row =
        m_database.Prepare("SELECT user_id, login, display_name, banned FROM accounts WHERE user_id = ?1");
    row.Bind(1, userId);
    if (!row.Step()) {
        return std::nullopt;
    }
    return Account{row.Int(0), row.Text(1), row.Text(2), row.Int(3) != 0};
}

std::optional<Account> GameStore::FindAccount(std::int64_t userId) {
    std::lock_guard lock(m_mutex);
    return FindAccountLocked(userId);
}

std::optional<Account> GameStore::FindAccountByLogin(const std::string& login) {
    std::lock_guard lock(m_mutex);
    auto row =
        m_database.Prepare("SELECT user_id, login, display_name, banned FROM accounts WHERE login = ?1");
    row.Bind(1, login);
    if (!row.Step()) {
        return std::nullopt;
    }
    return Account{row.Int(0), row.Text(1), row.Text(2), row.Int(3) != 0};
}

std::string GameStore::NewSession(std::int64_t userId, bool secure) {
    const std::string token = RandomHex(24);
    std::lock_guard lock(m_mutex);
    m_database.Prepare("INSERT INTO sessions(token, user_id, secure, created) VALUES (?1, ?2, ?3, ?4)")
        .Bind(1, token)
        .Bind(2, userId)
        .Bind(3, secure ? 1 : 0)
        .Bind(4, Now())
        .Run();
    return token;
}

std::optional<std::int64_t> GameStore::SessionAccount(const std::string& token, bool secure) {
    if (token.empty()) {
        return std::nullopt;
    }
    std::lock_guard lock(m_mutex);
    auto row = m_database.Prepare("SELECT user_id, secure FROM sessions WHERE token = ?1");
    row.Bind(1, token);
    if (!row.Step()) {
        return std::nullopt;
    }
    // A cookie issued over HTTPS that turns up on plain HTTP was exposed on the way: refuse it.
    if (row.Int(1) != 0 && !secure) {
        return std::nullopt;
    }
    return row.Int(0);
}

void GameStore::EndSession(const std::string& token) {
    std::lock_guard lock(m_mutex);
    m_database.Prepare("DELETE FROM sessions WHERE token = ?1").Bind(1, token).Run();
}

std::string GameStore::NewTransferToken(std::int64_t userId) {
    const std::string token = RandomHex(16);
    std::lock_guard lock(m_mutex);
    Transaction transaction(m_database);
    m_database.Prepare("DELETE FROM transfer_tokens WHERE expires < ?1")
        .Bind(1, Now() - kSecondsPerDay)
        .Run();
    m_database.Prepare("INSERT INTO transfer_tokens(token, user_id, expires) VALUES (?1, ?2, ?3)")
        .Bind(1, token)
        .Bind(2, userId)
        .Bind(3, Now() + m_rules.transferTokenSeconds)
        .Run();
    transaction.Commit();
    return token;
}

std::int64_t GameStore::UseTransferToken(const std::string& token) {
    std::lock_guard lock(m_mutex);
    Transaction transaction(m_database);
    auto row = m_database.Prepare(
        "SELECT user_id FROM transfer_tokens WHERE token = ?1 AND used = 0 AND expires >= ?2");
    row.Bind(1, token).Bind(2, Now());
    if (!row.Step()) {
        throw GameError("INVALID_TOKEN");
    }
    const auto userId = row.Int(0);
    m_database.Prepare("UPDATE transfer_tokens SET used = 1 WHERE token = ?1").Bind(1, token).Run();
    transaction.Commit();
    return userId;
}

// ---- Fairies --------------------------------------------------------------------------------

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

// ---- toys -----------------------------------------------------------------------------------

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
    m_database.Prepare("UPDATE toys SET resetable = ?2 WHERE click_id = ?1 AND released = 0")
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

// ---- inventory ------------------------------------------------------------------------------

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

// ---- uploads --------------------------------------------------------------------------------

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

    if (action == "accept") {
        if (mine == "DECLINED") {
            return "FRIENDSHIP_DECLINED";
        }
        if (mine == "MADE" || mine == "PENDING" || theirs == "MADE") {
            return {};
        }
        if (theirs == "PENDING" || theirs == "DECLINED") {
            setStatus(other->fairyId, fairyId, "MADE");
        } else {
            auto count = m_database.Prepare(
                "SELECT COUNT(*) FROM friendships WHERE (from_fairy = ?1 OR to_fairy = ?1) "
                "AND status IN ('MADE', 'PENDING')");
            count.Bind(1, fairyId).Step();
            if (count.Int(0) >= m_rules.maxFriendsPerFairy) {
                return "TOO_MANY_FRIENDS";
            }
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

// ---- reports and demo helpers ---------------------------------------------------------------

void GameStore::RecordReport(const std::string& page, const std::string& cacheBreaker) {
    std::lock_guard lock(m_mutex);
    m_database.Prepare("INSERT INTO reports(time, page, cache_breaker) VALUES (?1, ?2, ?3)")
        .Bind(1, Now())
        .Bind(2, page)
        .Bind(3, cacheBreaker)
        .Run();
}

std::vector<PageReport> GameStore::Reports() {
    std::lock_guard lock(m_mutex);
    auto row = m_database.Prepare("SELECT time, page, cache_breaker FROM reports ORDER BY id");
    std::vector<PageReport> reports;
    while (row.Step()) {
        reports.push_back(PageReport{row.Int(0), row.Text(1), row.Text(2)});
    }
    return reports;
}

void GameStore::AddFriendship(std::int64_t fromFairy, std::int64_t toFairy, const std::string& status) {
    std::lock_guard lock(m_mutex);
    m_database
        .Prepare("INSERT OR REPLACE INTO friendships(from_fairy, to_fairy, status, updated) VALUES (?1, ?2, "
                 "?3, ?4)")
        .Bind(1, fromFairy)
        .Bind(2, toFairy)
        .Bind(3, status)
        .Bind(4, Now())
        .Run();
}

void GameStore::GiveCharm(std::int64_t fairyId, std::int64_t charmId) {
    std::lock_guard lock(m_mutex);
    m_database.Prepare("INSERT OR IGNORE INTO charms(fairy_id, charm_id, received) VALUES (?1, ?2, ?3)")
        .Bind(1, fairyId)
        .Bind(2, charmId)
        .Bind(3, Now())
        .Run();
}

void GameStore::SetButterfly(std::int64_t fairyId, std::int64_t butterfly, std::int64_t days) {
    std::lock_guard lock(m_mutex);
    m_database.Prepare("UPDATE fairies SET butterfly = ?2, butterfly_until = ?3 WHERE fairy_id = ?1")
        .Bind(1, fairyId)
        .Bind(2, butterfly)
        .Bind(3, Now() + days * kSecondsPerDay)
        .Run();
}

} // namespace Service

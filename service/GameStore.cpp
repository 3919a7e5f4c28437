#include "GameStore.h"

#include "GameStoreTime.h"

namespace Service {

using StoreTime::kSecondsPerDay;
using StoreTime::Now;

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
    created INTEGER NOT NULL,
    last_used INTEGER NOT NULL DEFAULT 0);
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
    // Databases made before sessions expired have no last_used column; their sessions count as
    // unused since sign-in.
    auto column =
        m_database.Prepare("SELECT COUNT(*) FROM pragma_table_info('sessions') WHERE name = 'last_used'");
    column.Step();
    if (column.Int(0) == 0) {
        m_database.Execute("ALTER TABLE sessions ADD COLUMN last_used INTEGER NOT NULL DEFAULT 0");
        m_database.Execute("UPDATE sessions SET last_used = created");
    }
    // Account and Fairy ids start at recognisable numbers instead of 1.
    m_database.Execute("INSERT INTO sqlite_sequence(name, seq) SELECT 'accounts', 70000 "
                       "WHERE NOT EXISTS (SELECT 1 FROM sqlite_sequence WHERE name = 'accounts')");
    m_database.Execute("INSERT INTO sqlite_sequence(name, seq) SELECT 'fairies', 880000 "
                       "WHERE NOT EXISTS (SELECT 1 FROM sqlite_sequence WHERE name = 'fairies')");
    transaction.Commit();
}

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

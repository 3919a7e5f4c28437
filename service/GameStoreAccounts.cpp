#include "Crypto.h"
#include "GameStore.h"
#include "GameStoreTime.h"

#include <algorithm>

namespace Service {

using StoreTime::kSecondsPerDay;
using StoreTime::Now;

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
    const auto now = Now();
    std::lock_guard lock(m_mutex);
    // Every sign-in adds a row; the expired ones go at the same moment, so the table stays small.
    m_database.Prepare("DELETE FROM sessions WHERE created <= ?1 OR last_used <= ?2")
        .Bind(1, now - m_rules.sessionMaxSeconds)
        .Bind(2, now - m_rules.sessionIdleSeconds)
        .Run();
    m_database
        .Prepare(
            "INSERT INTO sessions(token, user_id, secure, created, last_used) VALUES (?1, ?2, ?3, ?4, ?4)")
        .Bind(1, token)
        .Bind(2, userId)
        .Bind(3, secure ? 1 : 0)
        .Bind(4, now)
        .Run();
    return token;
}

std::optional<std::int64_t> GameStore::SessionAccount(const std::string& token, bool secure) {
    if (token.empty()) {
        return std::nullopt;
    }
    std::lock_guard lock(m_mutex);
    auto row =
        m_database.Prepare("SELECT user_id, secure, created, last_used FROM sessions WHERE token = ?1");
    row.Bind(1, token);
    if (!row.Step()) {
        return std::nullopt;
    }
    const auto now = Now();
    if (now - row.Int(2) >= m_rules.sessionMaxSeconds || now - row.Int(3) >= m_rules.sessionIdleSeconds) {
        m_database.Prepare("DELETE FROM sessions WHERE token = ?1").Bind(1, token).Run();
        return std::nullopt;
    }
    // Marking use costs a write, so it is done at most once a minute (or half the idle time).
    if (now - row.Int(3) >= std::min(60, m_rules.sessionIdleSeconds / 2)) {
        m_database.Prepare("UPDATE sessions SET last_used = ?2 WHERE token = ?1")
            .Bind(1, token)
            .Bind(2, now)
            .Run();
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

} // namespace Service

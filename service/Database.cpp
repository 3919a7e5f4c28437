#include "Database.h"

#include <sqlite3.h>

namespace Service {

namespace {

[[noreturn]] void Fail(sqlite3* database, const std::string& call) {
    throw DatabaseError("Call to " + call + " failed with (" +
                        std::to_string(sqlite3_extended_errcode(database)) + ") " + sqlite3_errmsg(database));
}

} // namespace

Statement::Statement(sqlite3_stmt* statement, sqlite3* database)
    : m_statement(statement), m_database(database) {}

Statement::~Statement() {
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

Statement& Statement::Bind(int index, std::int64_t value) {
    if (sqlite3_bind_int64(m_statement, index, value) != SQLITE_OK) {
        Fail(m_database, "sqlite3_bind_int64");
    }
    return *this;
}

Statement& Statement::Bind(int index, std::string_view value) {
    if (sqlite3_bind_text(m_statement, index, value.data(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT) != SQLITE_OK) {
        Fail(m_database, "sqlite3_bind_text");
    }
    return *this;
}

Statement& Statement::BindNull(int index) {
    if (sqlite3_bind_null(m_statement, index) != SQLITE_OK) {
        Fail(m_database, "sqlite3_bind_null");
    }
    return *this;
}

bool Statement::Step() {
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW) {
        return true;
    }
    if (result == SQLITE_DONE) {
        return false;
    }
    Fail(m_database, "sqlite3_step");
}

void Statement::Run() {
    while (Step()) {
    }
}

std::int64_t Statement::Int(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

std::string Statement::Text(int column) const {
    const auto* text = sqlite3_column_text(m_statement, column);
    if (text == nullptr) {
        return {};
    }
    return std::string(reinterpret_cast<const char*>(text),
                       static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)));
}

bool Statement::IsNull(int column) const {
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

void Database::Finalizer::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

Database::Database(const std::string& path) {
    const int result = sqlite3_open_v2(
        path.c_str(), &m_database, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (result != SQLITE_OK) {
        const std::string text = m_database ? sqlite3_errmsg(m_database) : sqlite3_errstr(result);
        sqlite3_close(m_database);
        throw DatabaseError("Call to sqlite3_open_v2 failed with (" + std::to_string(result) + ") " + text +
                            ": " + path);
    }
    // The admin commands write while the service runs; wait for the other writer instead of failing.
    sqlite3_busy_timeout(m_database, 10000);
    try {
        // Two services starting together on a new file both switch it to
        // WAL; SQLite refuses one of them at once instead of waiting (both
        // would hold a shared lock and want an exclusive one), so that one
        // asks again once the other has switched the file.
        for (int attempt = 1;; ++attempt) {
            try {
                Execute("PRAGMA journal_mode=WAL");
                break;
            } catch (const DatabaseError&) {
                if (attempt == 100 || sqlite3_errcode(m_database) != SQLITE_BUSY) {
                    throw;
                }
                sqlite3_sleep(20);
            }
        }
        Execute("PRAGMA synchronous=NORMAL");
        Execute("PRAGMA foreign_keys=ON");
    } catch (...) {
        sqlite3_close(m_database);
        throw;
    }
}

Database::~Database() {
    m_cache.clear();
    sqlite3_close(m_database);
}

void Database::Execute(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(m_database, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::string text = message ? message : "unknown error";
        sqlite3_free(message);
        throw DatabaseError("Call to sqlite3_exec failed: " + text);
    }
}

Statement Database::Prepare(const char* sql) {
    auto found = m_cache.find(std::string_view(sql));
    if (found == m_cache.end()) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v3(m_database, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) !=
            SQLITE_OK) {
            Fail(m_database, std::string("sqlite3_prepare_v3 (") + sql + ")");
        }
        found = m_cache.emplace(sql, std::unique_ptr<sqlite3_stmt, Finalizer>(statement)).first;
    }
    return Statement(found->second.get(), m_database);
}

std::int64_t Database::LastInsertId() const {
    return sqlite3_last_insert_rowid(m_database);
}

int Database::Changes() const {
    return sqlite3_changes(m_database);
}

Transaction::Transaction(Database& database) : m_database(database) {
    m_database.Execute("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (!m_done) {
        try {
            m_database.Execute("ROLLBACK");
        } catch (const DatabaseError&) {
            // Nothing more can be done in a destructor; SQLite rolls back on close anyway.
        }
    }
}

void Transaction::Commit() {
    m_database.Execute("COMMIT");
    m_done = true;
}

} // namespace Service

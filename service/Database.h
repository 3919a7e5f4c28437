#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace Service {

/// Raised for every SQLite failure; the text carries the call and SQLite's own message.
class DatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// One prepared statement, reset and cleared when the holder goes out of scope so that a
/// cached statement never keeps a read transaction open.
class Statement {
public:
    Statement(sqlite3_stmt* statement, sqlite3* database);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    /// Binds parameters by 1-based position. Text is bound as a copy.
    Statement& Bind(int index, std::int64_t value);
    Statement& Bind(int index, std::string_view value);
    Statement& BindNull(int index);

    /// Advances to the next row; false when there are no more rows. Throws DatabaseError.
    bool Step();
    /// Runs a statement that returns no rows. Throws DatabaseError.
    void Run();

    std::int64_t Int(int column) const;
    std::string Text(int column) const;
    bool IsNull(int column) const;

private:
    sqlite3_stmt* m_statement;
    sqlite3* m_database;
};

/// One SQLite database file in WAL mode with a cache of prepared statements. Not thread-safe:
/// the owner serialises access.
class Database {
public:
    /// Opens (creating when missing) the file. Throws DatabaseError.
    explicit Database(const std::string& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    /// Runs SQL text without parameters (schema, pragmas, transaction control).
    void Execute(const char* sql);
    /// A prepared statement for `sql`, compiled once and reused.
    Statement Prepare(const char* sql);
    std::int64_t LastInsertId() const;
    int Changes() const;

private:
    struct Finalizer {
        void operator()(sqlite3_stmt* statement) const;
    };
    sqlite3* m_database = nullptr;
    std::map<std::string, std::unique_ptr<sqlite3_stmt, Finalizer>, std::less<>> m_cache;
};

/// A write transaction (BEGIN IMMEDIATE) that rolls back unless committed.
class Transaction {
public:
    explicit Transaction(Database& database);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

private:
    Database& m_database;
    bool m_done = false;
};

} // namespace Service

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace tarnwell {

// A thin RAII layer over the SQLite C library, the one place of the program that calls it. Every failure
// throws HistoryError "<file>: <SQLite's own text>", so a caller names no error codes.

class SqliteStatement;

// One connection to a database file, closed with the object.
class SqliteConnection {
public:
    // Opens the file (the program's path bytes), creating it when missing, and waits up to `busy_wait_ms`
    // for a lock that another connection holds before a statement fails with "database is locked".
    SqliteConnection(const std::string& path, int busy_wait_ms);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    // Runs statements that return no rows.
    void Execute(const char* sql);
    // One whole number that a query returns in its first row; nothing when it returns no row or NULL.
    std::optional<std::int64_t> QueryNumber(const char* sql);

    const std::string& Path() const { return path_; }
    sqlite3* Handle() const { return db_; }

    // HistoryError for the connection's last failure, or for `code` when the connection has no text of
    // its own for it.
    [[noreturn]] void Fail(int code) const;

private:
    std::string path_;
    sqlite3* db_ = nullptr;
};

// A prepared statement: bind its parameters (numbered from 1), Step through its rows, read the columns
// (numbered from 0), Reset to run it again with other values.
class SqliteStatement {
public:
    SqliteStatement(SqliteConnection& connection, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    SqliteStatement& Bind(int index, std::int64_t value);
    // Text that SQLite copies (UTF-8).
    SqliteStatement& Bind(int index, std::string_view text);
    SqliteStatement& BindNull(int index);
    SqliteStatement& Bind(int index, const std::optional<std::int64_t>& value) {
        return value ? Bind(index, *value) : BindNull(index);
    }

    // True when a row is there to read; false when the statement is done.
    bool Step();
    // Steps a statement that returns no rows.
    void Run();
    // Back to its start, with the bindings kept.
    void Reset();

    std::int64_t Number(int column) const;
    std::optional<std::int64_t> OptionalNumber(int column) const;
    std::string Text(int column) const;

private:
    SqliteConnection& connection_;
    sqlite3_stmt* statement_ = nullptr;
};

// A write transaction: BEGIN IMMEDIATE takes the database's write lock at once (waiting as the
// connection's busy wait allows), so the reads inside it see what the write will change. Rolled back
// unless Commit was called: an error on the way leaves the file as it was.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteConnection& connection);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    void Commit();

private:
    SqliteConnection& connection_;
    bool open_ = true;
};

}  // namespace tarnwell

#include "history/sqlite_connection.h"

#include <sqlite3.h>

#include <limits>

#include "files/native_path.h"
#include "history/history_error.h"

namespace tarnwell {

namespace {

// SQLite takes file names in UTF-8; the program's path bytes are Windows-1251 on Windows and the file
// system's own bytes elsewhere, which SQLite hands to the system as they are.
std::string SqliteFileName(const std::string& path) {
    const std::u8string name = NativePath(path).u8string();
    return {name.begin(), name.end()};
}

[[noreturn]] void Throw(const std::string& path, const char* reason) {
    throw HistoryError(path + ": " + reason);
}

}  // namespace

SqliteConnection::SqliteConnection(const std::string& path, int busy_wait_ms) : path_(path) {
    // The connection is used by one thread at a time: no per-call locking inside SQLite.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    const int code = sqlite3_open_v2(SqliteFileName(path).c_str(), &db_, flags, nullptr);
    if (code != SQLITE_OK) {
        const std::string reason = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
        sqlite3_close(db_);
        db_ = nullptr;
        Throw(path_, reason.c_str());
    }
    sqlite3_busy_timeout(db_, busy_wait_ms);
}

SqliteConnection::~SqliteConnection() {
    // Closing also ends the write-ahead log cleanly when this is the last connection.
    sqlite3_close(db_);
}

void SqliteConnection::Fail(int code) const {
    const int own = sqlite3_errcode(db_);
    Throw(path_,
          own != SQLITE_OK && own != SQLITE_ROW && own != SQLITE_DONE ? sqlite3_errmsg(db_) : sqlite3_errstr(code));
}

void SqliteConnection::Execute(const char* sql) {
    const int code = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) Fail(code);
}

std::optional<std::int64_t> SqliteConnection::QueryNumber(const char* sql) {
    SqliteStatement query(*this, sql);
    if (!query.Step()) return std::nullopt;
    return query.OptionalNumber(0);
}

SqliteStatement::SqliteStatement(SqliteConnection& connection, const char* sql) : connection_(connection) {
    const int code = sqlite3_prepare_v2(connection.Handle(), sql, -1, &statement_, nullptr);
    if (code != SQLITE_OK) connection_.Fail(code);
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(statement_);
}

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t value) {
    const int code = sqlite3_bind_int64(statement_, index, value);
    if (code != SQLITE_OK) connection_.Fail(code);
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::string_view text) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) connection_.Fail(SQLITE_TOOBIG);
    const int code = sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    if (code != SQLITE_OK) connection_.Fail(code);
    return *this;
}

SqliteStatement& SqliteStatement::BindNull(int index) {
    const int code = sqlite3_bind_null(statement_, index);
    if (code != SQLITE_OK) connection_.Fail(code);
    return *this;
}

bool SqliteStatement::Step() {
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW) return true;
    if (code == SQLITE_DONE) return false;
    // The statement stays usable after a reset; the reason is the connection's.
    sqlite3_reset(statement_);
    connection_.Fail(code);
}

void SqliteStatement::Run() {
    while (Step()) {
    }
    Reset();
}

void SqliteStatement::Reset() {
    sqlite3_reset(statement_);
}

std::int64_t SqliteStatement::Number(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::optional<std::int64_t> SqliteStatement::OptionalNumber(int column) const {
    if (sqlite3_column_type(statement_, column) == SQLITE_NULL) return std::nullopt;
    return sqlite3_column_int64(statement_, column);
}

std::string SqliteStatement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    if (text == nullptr) return {};
    return std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

SqliteTransaction::SqliteTransaction(SqliteConnection& connection) : connection_(connection) {
    connection_.Execute("BEGIN IMMEDIATE");
}

SqliteTransaction::~SqliteTransaction() {
    // Nothing to report from here: the error that ended the transaction early is on its way already.
    if (open_) sqlite3_exec(connection_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteTransaction::Commit() {
    connection_.Execute("COMMIT");
    open_ = false;
}

}  // namespace tarnwell

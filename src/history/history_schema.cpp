#include "history/history_schema.h"

#include <string>

#include "history/history_error.h"
#include "text/cp1251_literal.h"

namespace tarnwell {

namespace {

using namespace literals;

// Step to version 1. A file that has these tables must keep reading as it was written: change nothing
// here, add a step.
constexpr const char* kVersion1 = R"sql(
CREATE TABLE refresh (
    id      INTEGER PRIMARY KEY,
    at      INTEGER NOT NULL,
    day     INTEGER NOT NULL,
    closing INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX refresh_day ON refresh (day);
CREATE TABLE day (
    day     INTEGER NOT NULL,
    account TEXT NOT NULL,
    refresh INTEGER NOT NULL,
    client_send_traffic         INTEGER NOT NULL,
    nonclient_recv_traffic      INTEGER NOT NULL,
    client_recv_traffic         INTEGER NOT NULL,
    nonclient_send_traffic      INTEGER NOT NULL,
    time_on_line                INTEGER NOT NULL,
    last_client_send_traffic    INTEGER NOT NULL,
    last_nonclient_recv_traffic INTEGER NOT NULL,
    last_client_recv_traffic    INTEGER NOT NULL,
    last_nonclient_send_traffic INTEGER NOT NULL,
    last_time_on_line           INTEGER NOT NULL,
    opening_balance             INTEGER NOT NULL,
    closing_balance             INTEGER NOT NULL,
    monthly_limit               INTEGER,
    PRIMARY KEY (day, account)
) WITHOUT ROWID;
CREATE TABLE site_day (
    day INTEGER PRIMARY KEY,
    client_send_traffic    INTEGER NOT NULL,
    nonclient_recv_traffic INTEGER NOT NULL,
    client_recv_traffic    INTEGER NOT NULL,
    nonclient_send_traffic INTEGER NOT NULL,
    time_on_line           INTEGER NOT NULL
);
CREATE TABLE closing (
    refresh INTEGER NOT NULL,
    account TEXT NOT NULL,
    client_send_traffic    INTEGER NOT NULL,
    nonclient_recv_traffic INTEGER NOT NULL,
    client_recv_traffic    INTEGER NOT NULL,
    nonclient_send_traffic INTEGER NOT NULL,
    time_on_line           INTEGER NOT NULL,
    opening_balance        INTEGER NOT NULL,
    closing_balance        INTEGER NOT NULL,
    monthly_limit          INTEGER,
    PRIMARY KEY (refresh, account)
) WITHOUT ROWID;
)sql";

// Step to version 2: the warnings before the limit.
constexpr const char* kVersion2 = R"sql(
CREATE TABLE warning (
    account TEXT NOT NULL,
    month   INTEGER NOT NULL,
    at      INTEGER NOT NULL,
    PRIMARY KEY (account, month)
) WITHOUT ROWID;
)sql";

constexpr const char* kSteps[kHistorySchemaVersion] = {kVersion1, kVersion2};

std::int64_t Version(SqliteConnection& connection) {
    return connection.QueryNumber("PRAGMA user_version").value_or(0);
}

// The version of a file that is a history of this program (or still empty); throws otherwise.
std::int64_t CheckedVersion(SqliteConnection& connection) {
    const std::int64_t version = Version(connection);
    const std::int64_t application = connection.QueryNumber("PRAGMA application_id").value_or(0);
    const std::int64_t tables = connection.QueryNumber("SELECT count(*) FROM sqlite_schema").value_or(0);
    if (application != kHistoryApplicationId && (version != 0 || tables != 0)) {
        throw HistoryError(connection.Path() + std::string(": это не файл истории трафика"_cp));
    }
    if (version > kHistorySchemaVersion) {
        throw HistoryError(connection.Path() +
                           std::string(": история записана более новой версией программы (версия схемы "_cp) +
                           std::to_string(version) + ")");
    }
    return version;
}

}  // namespace

void CheckHistoryFile(SqliteConnection& connection) {
    CheckedVersion(connection);
}

void MigrateHistorySchema(SqliteConnection& connection) {
    if (CheckedVersion(connection) == kHistorySchemaVersion) return;
    SqliteTransaction transaction(connection);
    // Under the write lock: another run may have brought the file up meanwhile.
    for (std::int64_t version = CheckedVersion(connection); version < kHistorySchemaVersion; ++version) {
        connection.Execute(kSteps[version]);
    }
    connection.Execute(("PRAGMA application_id = " + std::to_string(kHistoryApplicationId)).c_str());
    connection.Execute(("PRAGMA user_version = " + std::to_string(kHistorySchemaVersion)).c_str());
    transaction.Commit();
}

}  // namespace tarnwell

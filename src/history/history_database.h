#pragma once

#include <string>

#include "history/sqlite_connection.h"

namespace tarnwell {

// The traffic history: history.sqlite3 in the program's folder, an SQLite database (history_schema.h
// gives its layout) that the statistics refresh adds records to and the charts and the warnings read.
//
// Opened once per run. The file is kept in write-ahead-log mode and every write is one transaction, synced
// to disk when it commits: a crash, a kill or a full disk during a write loses at most that write, never
// the file. Two runs at once (the window and a scheduled job) take turns: a write waits up to
// kHistoryBusyWaitMs for the other's lock, then fails with "database is locked".
class HistoryDatabase {
public:
    // Opens the file, creating it when missing, and brings its layout up to this program's version.
    // Throws HistoryError when it cannot be opened, created or migrated, or is not a history of this
    // program, or was written by a newer one.
    explicit HistoryDatabase(const std::string& path);

    SqliteConnection& Connection() { return connection_; }
    const std::string& Path() const { return connection_.Path(); }

private:
    SqliteConnection connection_;
};

inline constexpr const char* kHistoryFileName = "history.sqlite3";
inline constexpr int kHistoryBusyWaitMs = 1000;

}  // namespace tarnwell

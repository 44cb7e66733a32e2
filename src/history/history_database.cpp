#include "history/history_database.h"

#include "history/history_schema.h"

namespace tarnwell {

HistoryDatabase::HistoryDatabase(const std::string& path) : connection_(path, kHistoryBusyWaitMs) {
    // Before anything is written: a file that is not ours stays as it was.
    CheckHistoryFile(connection_);
    // The log mode is kept in the file; FULL syncs the log at every commit, so a committed record survives
    // a power cut too, not only a crash of the program.
    connection_.Execute("PRAGMA journal_mode = WAL");
    connection_.Execute("PRAGMA synchronous = FULL");
    MigrateHistorySchema(connection_);
}

}  // namespace tarnwell

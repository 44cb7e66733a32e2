#pragma once

#include "history/sqlite_connection.h"

namespace tarnwell {

// The layout of history.sqlite3. Its version is the file's user_version; every version's changes are a
// step of their own, applied in order, so a file of any older version (or a new, empty file) is brought
// up to this one, in one transaction. A file of a newer version is left alone.
//
// Version 1: the records and what they add up to.
//   refresh   one row per record taken: when (at: seconds since 1970 UTC; day: the local date yyyymmdd)
//             and whether it is the closing record of /setlimit (closing = 1). Its id orders the records.
//   day       one row per account and recorded day: what each counter counted that day (the differences
//             of consecutive records that fall on it, after the wrap and reset rules), and the day's last
//             record of the account (counters, balances and limit), with the refresh it came from.
//             Traffic, balances and limit in bytes, time on line in seconds, no limit as NULL. Every
//             account present is written on each recorded day, so the previous record of every account is
//             on the last recorded day.
//   site_day  the same day's usage added up over all accounts, for the whole site's figures.
//   closing   the figures of every account in a closing record, which a later record the same day would
//             otherwise overwrite in day: the month's balances before the reset.
// Version 2:
//   warning   which account was warned in which month (yyyymm) before his limit ran out, and when.
inline constexpr int kHistorySchemaVersion = 2;

// The file's application_id: marks a file as a history of this program.
inline constexpr int kHistoryApplicationId = 0x54726E77;

// Throws HistoryError unless the file is a history of this program of this version or an older one, or
// an empty file: a newer version, another program's database, a file that is no database. Reads only,
// so that a file that is not ours is left as it was.
void CheckHistoryFile(SqliteConnection& connection);

// Brings the database's layout to kHistorySchemaVersion. Throws HistoryError as CheckHistoryFile does, or
// when the file cannot be read or written.
void MigrateHistorySchema(SqliteConnection& connection);

}  // namespace tarnwell

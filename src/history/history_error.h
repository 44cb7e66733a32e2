#pragma once

#include "text/error.h"

namespace tarnwell {

// The traffic history cannot be opened, read or written: what() names the history file and says why
// ("database is locked", "attempt to write a readonly database", "database or disk is full", a schema
// newer than this program's). A history that cannot be written never stops the refresh or a job: the
// caller turns this error into a warning (RefreshHistory).
class HistoryError : public Error {
public:
    using Error::Error;
};

}  // namespace tarnwell

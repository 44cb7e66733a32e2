#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "text/user_notifier.h"
#include "wingate/user_database.h"

namespace tarnwell {

// The walks over the user database that the statistics, the limits and the send flags share.

using UserAccountVisit = std::function<void(std::size_t index, const std::string& account)>;

// Lists the accounts in the store's listing order and visits those of type "User" (as the overload below
// does, `index` counting in the listing). When the database cannot be found the user is told
// "Возможно WinGate не установлен или версия программыне совместима!", nothing is visited and the result
// is false: the caller abandons its operation silently. Any other error of the store propagates.
bool ForEachUserAccount(TUserDatabase& database, UserNotifier& notifier, const UserAccountVisit& visit);

// Visits, in order, each of `accounts` whose key exists and whose Type is "User": the account is open
// while visit(index into accounts, key) runs and closed after it. No key is ever created. An error of the
// store or of visit propagates at once, leaving the accounts after it unvisited.
void ForEachUserAccount(TUserDatabase& database, std::span<const std::string> accounts, const UserAccountVisit& visit);

// Runs `writes` as one batch of writes of the store: Flush ends it on every path, also when `writes`
// throws, so that what was written before an error stays written; the error is then rethrown.
void WriteBatch(TUserDatabase& database, const std::function<void()>& writes);

}  // namespace tarnwell

#include "wingate/user_accounts.h"

#include "wingate/account_values.h"

namespace tarnwell {

bool ForEachUserAccount(TUserDatabase& database, UserNotifier& notifier, const UserAccountVisit& visit) {
    std::vector<std::string> accounts;
    try {
        accounts = database.ListAccounts();
    } catch (const EDatabaseNotFound&) {
        notifier.ShowNamedMessage(MessageName::kDatabaseNotReachable);
        return false;
    }
    ForEachUserAccount(database, accounts, visit);
    return true;
}

void ForEachUserAccount(TUserDatabase& database, std::span<const std::string> accounts, const UserAccountVisit& visit) {
    const PreparedName type = database.Prepare(account_values::kType);
    for (std::size_t i = 0; i < accounts.size(); ++i) {
        if (!database.OpenExistingAccount(accounts[i])) continue;
        if (database.ReadText(type) == account_values::kUserType) visit(i, accounts[i]);
        database.CloseAccount();
    }
}

void WriteBatch(TUserDatabase& database, const std::function<void()>& writes) {
    try {
        writes();
    } catch (...) {
        database.Flush();
        throw;
    }
    database.Flush();
}

}  // namespace tarnwell

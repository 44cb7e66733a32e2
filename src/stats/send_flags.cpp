#include "stats/send_flags.h"

#include <string>
#include <vector>

#include "stats/statistics_table.h"
#include "wingate/account_values.h"
#include "wingate/user_accounts.h"

namespace tarnwell {

void KeepSendFlagAccount(TTableGrid& grid, int row, std::string_view account) {
    grid.SetCellEx(stat_col::SendFlagAccount, row, account);
}

void SaveSendFlags(const TTableGrid& grid, TUserDatabase& db) {
    std::vector<std::string> accounts;
    std::vector<bool> flags;
    for (int row = 1; row <= grid.RowCount() - 2; ++row) {
        std::string account(grid.GetCellEx(stat_col::SendFlagAccount, row));
        bool send = false;
        if (account.empty() || !grid.GetCheckBoxState(stat_col::Send, row, send)) continue;
        accounts.push_back(std::move(account));
        flags.push_back(send);
    }
    WriteBatch(db, [&] {
        ForEachUserAccount(db, accounts, [&](std::size_t i, const std::string&) {
            db.WriteFlag(account_values::kSendMail, flags[i]);
        });
    });
}

}  // namespace tarnwell

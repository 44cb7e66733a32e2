#include "stats/load_from_reg.h"

#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "stats/account_listing.h"
#include "stats/header_row.h"
#include "stats/statistics_table.h"
#include "text/int_text.h"

namespace tarnwell {

namespace {

// Stored balances and limits count 100 bytes; the table shows bytes.
std::string UnitsToBytes(std::int32_t units) {
    return IntToStr(static_cast<std::int64_t>(units) * 100);
}

// One account's row, its values read in this order, so the first missing or mistyped value decides
// which error stops the load. `login` is the text shown, `account` the key kept beside the row's box.
void FillUserRow(TTableGrid& grid, TUserDatabase& database, int row, std::string_view login, std::string_view account) {
    grid.SetCellEx(stat_col::Login, row, login);
    grid.SetCellEx(stat_col::RealName, row, database.ReadText("RealName"));
    // Counts that are never negative: 2174552822 bytes must not read as -2120414474.
    static constexpr std::string_view kCounters[] = {"ClientSendTraffic", "NonClientRecvTraffic", "ClientRecvTraffic",
                                                     "NonClientSendTraffic", "TimeOnLine"};
    int col = stat_col::ClientSendTraffic;
    for (std::string_view name : kCounters) grid.SetCellEx(col++, row, IntToStr(database.ReadCount(name)));
    grid.SetCellEx(stat_col::OpeningBalance, row, UnitsToBytes(database.ReadNumber("OpeningBalanceLo")));
    grid.SetCellEx(stat_col::ClosingBalance, row, UnitsToBytes(database.ReadNumber("ClosingBalanceLo")));
    grid.SetCellEx(
        stat_col::Limit, row,
        database.HasValue("Limit") ? UnitsToBytes(database.ReadNumber("Limit")) : std::string(stat_text::kNoLimit));
    bool send = true;
    if (database.HasValue("SendMail")) send = database.ReadFlag("SendMail");
    grid.AddCheckBox(stat_col::Send, row, send, false);
    KeepSendFlagAccount(grid, row, account);
}

}  // namespace

bool LoadFromReg(TTableGrid& grid, TUserDatabase& database, UserNotifier& notifier, const TextWidthMeasure& measure) {
    const auto accounts = WriteHeaderAndListAccounts(grid, stat_text::kCaptions, database, notifier, measure);
    if (!accounts) return false;
    try {
        int next_row = 1;
        for (std::size_t i = 0; i < accounts->size(); ++i) {
            database.OpenAccount((*accounts)[i]);
            if (database.ReadText("Type") == "User") {
                // The box is written back by the account's key, never by the text on screen. The first
                // account, shown under the stand-in "system", keeps no key (the table keeps no copy of its
                // name): its box, which the load clears anyway, is not stored.
                const std::string& name = (*accounts)[i];
                if (i == 0) {
                    FillUserRow(grid, database, next_row, stat_text::kFirstAccountLogin, "");
                } else {
                    FillUserRow(grid, database, next_row, name, name);
                }
                ++next_row;
            }
            database.CloseAccount();
        }
        grid.SetRowCount(next_row);
        KeepHeaderRow(grid);
        grid.SetCheckBoxState(stat_col::Send, 1, false);
    } catch (...) {
        grid.AutoSize(measure);
        throw;
    }
    grid.AutoSize(measure);
    return true;
}

}  // namespace tarnwell

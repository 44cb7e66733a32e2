#include "stats/load_from_reg.h"

#include <cstdint>
#include <string>
#include <vector>

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
// which error stops the load.
void FillUserRow(TTableGrid& grid, TUserDatabase& database, int row, std::string_view login) {
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
                FillUserRow(grid, database, next_row, i == 0 ? stat_text::kFirstAccountLogin : (*accounts)[i]);
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

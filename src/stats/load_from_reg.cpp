#include "stats/load_from_reg.h"

#include <cstdint>
#include <string>
#include <vector>

#include "grid/fit_columns.h"
#include "grid/header_row.h"
#include "stats/send_flags.h"
#include "stats/statistics_table.h"
#include "text/int_text.h"
#include "wingate/user_accounts.h"

namespace tarnwell {

namespace {

// Stored balances and limits count 100 bytes; the table shows bytes.
std::int64_t UnitsToBytes(std::int32_t units) {
    return static_cast<std::int64_t>(units) * 100;
}

// One account's row, its values read in this order, so the first missing or mistyped value decides
// which error stops the load. `login` is the text shown, `account` the key kept beside the row's box.
// The figures are added to `figures` once the whole row is read.
void FillUserRow(TTableGrid& grid, TUserDatabase& database, int row, std::string_view login, std::string_view account,
                 StatisticsFigures& figures) {
    UserFigures user;
    grid.SetCellEx(stat_col::Login, row, login);
    grid.SetCellEx(stat_col::RealName, row, database.ReadText("RealName"));
    // Counts that are never negative: 2174552822 bytes must not read as -2120414474.
    static constexpr std::string_view kTraffic[] = {"ClientSendTraffic", "NonClientRecvTraffic", "ClientRecvTraffic",
                                                    "NonClientSendTraffic"};
    for (int i = 0; i < 4; ++i) {
        user.traffic[i] = database.ReadCount(kTraffic[i]);
        grid.SetCellEx(stat_col::ClientSendTraffic + i, row, IntToStr(user.traffic[i]));
    }
    user.time_on_line = database.ReadCount("TimeOnLine");
    grid.SetCellEx(stat_col::TimeOnLine, row, IntToStr(user.time_on_line));
    user.opening_balance = UnitsToBytes(database.ReadNumber("OpeningBalanceLo"));
    grid.SetCellEx(stat_col::OpeningBalance, row, IntToStr(user.opening_balance));
    user.closing_balance = UnitsToBytes(database.ReadNumber("ClosingBalanceLo"));
    grid.SetCellEx(stat_col::ClosingBalance, row, IntToStr(user.closing_balance));
    if (database.HasValue("Limit")) {
        user.limit = UnitsToBytes(database.ReadNumber("Limit"));
        grid.SetCellEx(stat_col::Limit, row, IntToStr(*user.limit));
    } else {
        grid.SetCellEx(stat_col::Limit, row, stat_text::kNoLimit);
    }
    bool send = true;
    if (database.HasValue("SendMail")) send = database.ReadFlag("SendMail");
    grid.AddCheckBox(stat_col::Send, row, send, false);
    KeepSendFlagAccount(grid, row, account);
    figures.push_back(user);
}

}  // namespace

bool LoadFromReg(TTableGrid& grid, TUserDatabase& database, UserNotifier& notifier, const TextWidthMeasure& measure) {
    StatisticsFigures figures;
    return LoadFromReg(grid, database, notifier, figures, measure);
}

bool LoadFromReg(TTableGrid& grid, TUserDatabase& database, UserNotifier& notifier, StatisticsFigures& figures,
                 const TextWidthMeasure& measure) {
    figures.clear();
    for (int col = 0; col < stat_col::Count; ++col) grid.SetCellEx(col, 0, stat_text::kCaptions[col]);
    return FillThenFitColumns(grid, measure, [&] {
        int next_row = 1;
        const bool listed = ForEachUserAccount(database, notifier, [&](std::size_t index, const std::string& name) {
            // The box is written back by the account's key, never by the text on screen. The first
            // account, shown under the stand-in "system", keeps no key (the table keeps no copy of its
            // name): its box, which the load clears anyway, is not stored.
            if (index == 0) {
                FillUserRow(grid, database, next_row, stat_text::kFirstAccountLogin, "", figures);
            } else {
                FillUserRow(grid, database, next_row, name, name, figures);
            }
            ++next_row;
        });
        if (!listed) return false;
        grid.SetRowCount(next_row);
        KeepHeaderRow(grid);
        grid.SetCheckBoxState(stat_col::Send, 1, false);
        return true;
    });
}

}  // namespace tarnwell

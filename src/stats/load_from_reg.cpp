#include "stats/load_from_reg.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "grid/fit_columns.h"
#include "grid/header_row.h"
#include "grid/unstored_widths.h"
#include "stats/send_flags.h"
#include "stats/statistics_table.h"
#include "text/int_text.h"
#include "wingate/account_values.h"
#include "wingate/user_accounts.h"

namespace tarnwell {

namespace {

// Stored balances and limits count 100 bytes; the table shows bytes.
std::int64_t UnitsToBytes(std::int32_t units) {
    return static_cast<std::int64_t>(units) * 100;
}

// Where a row's byte counts (traffic, balances, limit) go: into their cells as integer texts, or, for a
// load whose next step writes their display texts (LoadForConversion), only into the columns' widths.
class ByteCountCells {
public:
    ByteCountCells(TTableGrid& grid, UnstoredTextWidths* unstored) : grid_(grid), unstored_(unstored) {}

    void Put(int col, int row, std::int64_t bytes) {
        IntTextBuffer buffer;
        if (unstored_ == nullptr) {
            grid_.SetCellEx(col, row, WriteIntText(bytes, buffer));
            return;
        }
        // Most counts are no longer than the column's widest so far: their text is not even made.
        if (unstored_->CouldWiden(col, IntTextLength(bytes))) unstored_->Add(col, WriteIntText(bytes, buffer));
        row_begun_.push_back({col, row, bytes});
    }

    // The row is read to its end: its counts are in the figures.
    void RowDone() { row_begun_.clear(); }

    // After a value could not be read: the integer texts left out so far, of the rows read (figures[i] is
    // row i + 1) and of the row begun, so that the table stands as a load that writes them leaves it.
    void WriteLeftOut(const StatisticsFigures& figures) {
        if (unstored_ == nullptr) return;
        IntTextBuffer buffer;
        for (std::size_t i = 0; i < figures.size(); ++i) {
            const int row = static_cast<int>(i) + 1;
            ForEachByteCount(figures[i], [&](int col, std::int64_t bytes) {
                grid_.SetCellEx(col, row, WriteIntText(bytes, buffer));
            });
        }
        for (const Count& count : row_begun_) grid_.SetCellEx(count.col, count.row, WriteIntText(count.bytes, buffer));
    }

private:
    struct Count {
        int col;
        int row;
        std::int64_t bytes;
    };
    TTableGrid& grid_;
    UnstoredTextWidths* unstored_;
    std::vector<Count> row_begun_;
};

// The values a row reads, prepared once for all accounts.
struct RowValueNames {
    explicit RowValueNames(TUserDatabase& database)
        : real_name(database.Prepare(account_values::kRealName)),
          traffic{database.Prepare(account_values::kClientSendTraffic),
                  database.Prepare(account_values::kNonClientRecvTraffic),
                  database.Prepare(account_values::kClientRecvTraffic),
                  database.Prepare(account_values::kNonClientSendTraffic)},
          time_on_line(database.Prepare(account_values::kTimeOnLine)),
          opening_balance(database.Prepare(account_values::kOpeningBalanceLo)),
          closing_balance(database.Prepare(account_values::kClosingBalanceLo)),
          limit(database.Prepare(account_values::kLimit)),
          send_mail(database.Prepare(account_values::kSendMail)) {}
    PreparedName real_name;
    PreparedName traffic[4];  // in column order
    PreparedName time_on_line;
    PreparedName opening_balance;
    PreparedName closing_balance;
    PreparedName limit;
    PreparedName send_mail;
};

// One account's row, its values read in this order, so the first missing or mistyped value decides
// which error stops the load. `key` is the account's key name, `login` the text shown, `send_account`
// the key kept beside the row's box. The figures are added to `figures` once the whole row is read.
void FillUserRow(TTableGrid& grid, TUserDatabase& database, const RowValueNames& names, int row, std::string_view key,
                 std::string_view login, std::string_view send_account, ByteCountCells& counts,
                 StatisticsFigures& figures) {
    UserFigures user;
    user.account = key;
    grid.SetCellEx(stat_col::Login, row, login);
    grid.SetCellEx(stat_col::RealName, row, database.ReadText(names.real_name));
    // Counts that are never negative: 2174552822 bytes must not read as -2120414474.
    for (int i = 0; i < 4; ++i) {
        user.traffic[i] = database.ReadCount(names.traffic[i]);
        counts.Put(stat_col::ClientSendTraffic + i, row, user.traffic[i]);
    }
    user.time_on_line = database.ReadCount(names.time_on_line);
    IntTextBuffer buffer;
    grid.SetCellEx(stat_col::TimeOnLine, row, WriteIntText(user.time_on_line, buffer));
    user.opening_balance = UnitsToBytes(database.ReadNumber(names.opening_balance));
    counts.Put(stat_col::OpeningBalance, row, user.opening_balance);
    user.closing_balance = UnitsToBytes(database.ReadNumber(names.closing_balance));
    counts.Put(stat_col::ClosingBalance, row, user.closing_balance);
    if (database.HasValue(names.limit)) {
        user.limit = UnitsToBytes(database.ReadNumber(names.limit));
        counts.Put(stat_col::Limit, row, *user.limit);
    } else {
        grid.SetCellEx(stat_col::Limit, row, stat_text::kNoLimit);
    }
    bool send = true;
    if (database.HasValue(names.send_mail)) send = database.ReadFlag(names.send_mail);
    grid.AddCheckBox(stat_col::Send, row, send, false);
    KeepSendFlagAccount(grid, row, send_account);
    figures.push_back(std::move(user));
    counts.RowDone();
}

bool Load(TTableGrid& grid, TUserDatabase& database, UserNotifier& notifier, StatisticsFigures& figures,
          const TextWidthMeasure& measure, UnstoredTextWidths* unstored) {
    figures.clear();
    for (int col = 0; col < stat_col::Count; ++col) grid.SetCellEx(col, 0, stat_text::kCaptions[col]);
    ByteCountCells counts(grid, unstored);
    const RowValueNames names(database);
    auto fill = [&] {
        int next_row = 1;
        const bool listed = ForEachUserAccount(database, notifier, [&](std::size_t index, const std::string& name) {
            // The box is written back by the account's key, never by the text on screen. The first
            // account, shown under the stand-in "system", keeps no key (the table keeps no copy of its
            // name): its box, which the load clears anyway, is not stored.
            if (index == 0) {
                FillUserRow(grid, database, names, next_row, name, stat_text::kFirstAccountLogin, "", counts, figures);
            } else {
                FillUserRow(grid, database, names, next_row, name, name, name, counts, figures);
            }
            ++next_row;
        });
        if (!listed) return false;
        grid.SetRowCount(next_row);
        KeepHeaderRow(grid);
        grid.SetCheckBoxState(stat_col::Send, 1, false);
        return true;
    };
    auto fill_or_write_left_out = [&] {
        try {
            return fill();
        } catch (...) {
            counts.WriteLeftOut(figures);
            throw;
        }
    };
    return FillThenFitColumns(grid, measure, fill_or_write_left_out, unstored);
}

}  // namespace

bool LoadFromReg(TTableGrid& grid, TUserDatabase& database, UserNotifier& notifier, const TextWidthMeasure& measure) {
    StatisticsFigures figures;
    return LoadFromReg(grid, database, notifier, figures, measure);
}

bool LoadFromReg(TTableGrid& grid, TUserDatabase& database, UserNotifier& notifier, StatisticsFigures& figures,
                 const TextWidthMeasure& measure) {
    return Load(grid, database, notifier, figures, measure, nullptr);
}

bool LoadForConversion(TTableGrid& grid, TUserDatabase& database, UserNotifier& notifier, StatisticsFigures& figures,
                       const TextWidthMeasure& measure) {
    UnstoredTextWidths widths(measure);
    return Load(grid, database, notifier, figures, measure, &widths);
}

}  // namespace tarnwell

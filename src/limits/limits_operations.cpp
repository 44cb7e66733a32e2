#include "limits/limits_operations.h"

#include <exception>
#include <string>
#include <vector>

#include "grid/fit_columns.h"
#include "grid/header_row.h"
#include "limits/limits_table.h"
#include "text/cp1251_literal.h"
#include "text/error.h"
#include "text/int_text.h"
#include "text/message.h"
#include "wingate/account_values.h"
#include "wingate/user_accounts.h"

namespace tarnwell {

using namespace account_values;

namespace {

void FillUserRow(TTableGrid& grid, TUserDatabase& database, int row, std::string_view login,
                 std::string_view default_limit) {
    grid.SetCellEx(limit_col::Login, row, login);
    grid.SetCellEx(limit_col::RealName, row, database.ReadText(kRealName));
    grid.SetCellEx(limit_col::Limit, row,
                   database.HasValue(kLimit) ? IntToStr(database.ReadNumber(kLimit)) : std::string(default_limit));
    grid.SetCellEx(limit_col::OpeningBalance, row, IntToStr(database.ReadNumber(kOpeningBalanceLo)));
    grid.SetCellEx(limit_col::ClosingBalance, row, IntToStr(database.ReadNumber(kClosingBalanceLo)));
    bool enabled = true;
    if (database.HasValue(kAccountEnabled)) enabled = database.ReadFlag(kAccountEnabled);
    grid.AddCheckBox(limit_col::Enabled, row, enabled, false);
}

// The state of a row's "Включен" box. Every row read has one; a row without one counts as enabled, as an
// account without the value does.
bool EnabledState(const TTableGrid& grid, int row) {
    bool enabled = true;
    grid.GetCheckBoxState(limit_col::Enabled, row, enabled);
    return enabled;
}

void WriteRows(const TTableGrid& grid, TUserDatabase& database) {
    const int rows = grid.RowCount();
    for (int row = 1; row < rows; ++row) {
        database.OpenAccount(grid.GetCellEx(limit_col::Login, row));
        database.WriteText(kRealName, grid.GetCellEx(limit_col::RealName, row));
        database.WriteNumber(kLimit, StrToInt(grid.GetCellEx(limit_col::Limit, row)));
        database.WriteNumber(kOpeningBalanceLo, StrToInt(grid.GetCellEx(limit_col::OpeningBalance, row)));
        database.WriteNumber(kClosingBalanceLo, StrToInt(grid.GetCellEx(limit_col::ClosingBalance, row)));
        database.WriteFlag(kAccountEnabled, EnabledState(grid, row));
        database.CloseAccount();
    }
}

}  // namespace

bool ReadLimits(TTableGrid& grid, TUserDatabase& database, UserNotifier& notifier, std::string_view default_limit,
                const TextWidthMeasure& measure) {
    for (int col = 0; col < limit_col::Count; ++col) grid.SetCellEx(col, 0, limit_text::kCaptions[col]);
    return FillThenFitColumns(grid, measure, [&] {
        // The row count follows every user read, so that a failing account leaves the users before it.
        int next_row = 1;
        const bool listed = ForEachUserAccount(database, notifier, [&](std::size_t, const std::string& login) {
            FillUserRow(grid, database, next_row, login, default_limit);
            grid.SetRowCount(++next_row);
            KeepHeaderRow(grid);
        });
        if (!listed) return false;
        grid.SetRowCount(next_row);
        KeepHeaderRow(grid);
        return true;
    });
}

void SetBalancesFromLimits(TTableGrid& grid) {
    const int rows = grid.RowCount();
    for (int row = 1; row < rows; ++row) {
        const std::string limit(grid.GetCellEx(limit_col::Limit, row));
        grid.SetCellEx(limit_col::OpeningBalance, row, limit);
        grid.SetCellEx(limit_col::ClosingBalance, row, limit);
    }
}

bool LimitsCellValid(int col, std::string_view text) {
    if (col != limit_col::Limit && col != limit_col::OpeningBalance && col != limit_col::ClosingBalance) return true;
    return TryStrToInt(text).has_value();
}

std::optional<BadLimitsCell> FindBadLimitsCell(const TTableGrid& grid) {
    const int rows = grid.RowCount();
    for (int row = 1; row < rows; ++row) {
        for (int col = 0; col < limit_col::Count; ++col) {
            if (!LimitsCellValid(col, grid.GetCellEx(col, row))) return BadLimitsCell{col, row};
        }
    }
    return std::nullopt;
}

bool SaveLimits(const TTableGrid& grid, std::unique_ptr<TUserDatabase> database, const ServiceRestartHost& host) {
    using namespace literals;
    // The whole table is checked before anything is written: a save either takes every row or none, and a
    // refused table never stops the service.
    if (const std::optional<BadLimitsCell> bad = FindBadLimitsCell(grid)) {
        const std::string_view text = grid.GetCellEx(bad->col, bad->row);
        std::string message = FormatMsg("'%s' is not a valid integer value", {text});
        message += "\nПользователь "_cp;
        message += grid.GetCellEx(limit_col::Login, bad->row);
        message += ", графа \""_cp;
        message += limit_text::kCaptions[bad->col];
        message += '"';
        throw EConvertError(message);
    }
    std::exception_ptr write_error;
    try {
        WriteRows(grid, *database);
    } catch (...) {
        write_error = std::current_exception();
    }
    // The restart runs on every path and ends the batch, keeping what was written before an error. Its own
    // errors (the file could not be replaced) take precedence: then nothing at all was saved.
    bool restarted = RestartProxyService(std::move(database), host);
    if (write_error) std::rethrow_exception(write_error);
    return restarted;
}

void SaveEnabled(const TTableGrid& grid, TUserDatabase& database) {
    WriteBatch(database, [&] {
        const int rows = grid.RowCount();
        for (int row = 1; row < rows; ++row) {
            database.OpenAccount(grid.GetCellEx(limit_col::Login, row));
            database.WriteFlag(kAccountEnabled, EnabledState(grid, row));
            database.CloseAccount();
        }
    });
}

}  // namespace tarnwell

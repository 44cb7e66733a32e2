#include "stats/statistics_steps.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "grid/column_choice.h"
#include "grid/header_row.h"
#include "stats/statistics_table.h"
#include "text/int_text.h"

namespace tarnwell {

namespace {

constexpr int kTrafficCols[] = {stat_col::ClientSendTraffic, stat_col::NonClientRecvTraffic,
                                stat_col::ClientRecvTraffic, stat_col::NonClientSendTraffic};

std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) {
    std::int64_t sum = 0;
    if (!__builtin_add_overflow(a, b, &sum)) return sum;
    return b > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
}

// A single-precision sum as a whole number of bytes, truncated toward zero.
std::int64_t Truncated(float sum) {
    constexpr float kLimit = 9223372036854775808.0f;  // 2^63
    if (sum >= kLimit) return std::numeric_limits<std::int64_t>::max();
    if (sum <= -kLimit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(sum);
}

}  // namespace

void AddSumSG(TTableGrid& grid, const StatisticsFigures& figures, const TrafficDisplay& display) {
    float traffic[4] = {};
    std::int64_t time_on_line = 0;
    std::int64_t opening = 0;
    std::int64_t closing = 0;
    std::int64_t limit = 0;
    for (const UserFigures& user : figures) {
        // Added exactly, then rounded to single precision after every addition.
        for (int i = 0; i < 4; ++i) {
            traffic[i] = static_cast<float>(static_cast<double>(traffic[i]) + static_cast<double>(user.traffic[i]));
        }
        time_on_line = SaturatingAdd(time_on_line, user.time_on_line);
        opening = SaturatingAdd(opening, user.opening_balance);
        closing = SaturatingAdd(closing, user.closing_balance);
        if (user.limit) limit = SaturatingAdd(limit, *user.limit);
    }

    const int r = grid.RowCount();
    grid.SetRowCount(r + 1);
    KeepHeaderRow(grid);
    for (int col = 0; col < stat_col::Count; ++col) {
        grid.SetCellEx(col, r, "");
        grid.RemoveCheckBox(col, r);
    }
    grid.SetCellEx(stat_col::Login, r, stat_text::kTotals);
    for (int i = 0; i < 4; ++i) grid.SetCellEx(kTrafficCols[i], r, convert(Truncated(traffic[i]), display));
    grid.SetCellEx(stat_col::TimeOnLine, r, IntToStr(time_on_line));
    grid.SetCellEx(stat_col::OpeningBalance, r, convert(opening, display));
    grid.SetCellEx(stat_col::ClosingBalance, r, convert(closing, display));
    grid.SetCellEx(stat_col::Limit, r, convert(limit, display));
}

void ConvertTable(TTableGrid& grid, const StatisticsFigures& figures, const TrafficDisplay& display) {
    const int user_rows = std::min(static_cast<int>(figures.size()), grid.RowCount() - 2);
    PlainDecimalBuffer buffer;
    for (int row = 1; row <= user_rows; ++row) {
        ForEachByteCount(figures[static_cast<std::size_t>(row - 1)], [&](int col, std::int64_t bytes) {
            grid.SetCellEx(col, row, WriteConverted(bytes, display, buffer));
        });
    }
}

void HideCol(TTableGrid& grid, const std::vector<bool>& checked) {
    grid.UnHideColumnsAll();
    const int count = grid.ColCount();
    const std::vector<int> kept = TickedColumns(count, checked);
    auto next_kept = kept.begin();
    for (int col = 0; col < count; ++col) {
        if (next_kept != kept.end() && *next_kept == col) {
            ++next_kept;
        } else {
            grid.HideColumn(col);
        }
    }
}

}  // namespace tarnwell

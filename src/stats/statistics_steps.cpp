#include "stats/statistics_steps.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "stats/cell_number.h"
#include "stats/header_row.h"
#include "stats/statistics_table.h"
#include "text/int_text.h"

namespace tarnwell {

namespace {

constexpr int kTrafficCols[] = {stat_col::ClientSendTraffic, stat_col::NonClientRecvTraffic,
                                stat_col::ClientRecvTraffic, stat_col::NonClientSendTraffic};
constexpr int kWholeCols[] = {stat_col::TimeOnLine, stat_col::OpeningBalance, stat_col::ClosingBalance,
                              stat_col::Limit};

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

void AddSumSG(TTableGrid& grid, const TTrafficDisplay& display) {
    float traffic[4] = {};
    std::int64_t whole[4] = {};
    const int rows = grid.RowCount();
    for (int row = 1; row < rows; ++row) {
        for (int i = 0; i < 4; ++i) {
            // Added exactly, then rounded to single precision after every addition.
            auto value = static_cast<double>(CellToInt64(grid.GetCellEx(kTrafficCols[i], row)));
            traffic[i] = static_cast<float>(static_cast<double>(traffic[i]) + value);
        }
        for (int i = 0; i < 4; ++i) {
            std::string_view cell = grid.GetCellEx(kWholeCols[i], row);
            if (kWholeCols[i] == stat_col::Limit && cell == stat_text::kNoLimit) continue;
            whole[i] = SaturatingAdd(whole[i], CellToInt64(cell));
        }
    }

    const int r = rows;
    grid.SetRowCount(r + 1);
    KeepHeaderRow(grid);
    for (int col = 0; col < stat_col::Count; ++col) {
        grid.SetCellEx(col, r, "");
        grid.RemoveCheckBox(col, r);
    }
    grid.SetCellEx(stat_col::Login, r, stat_text::kTotals);
    for (int i = 0; i < 4; ++i) grid.SetCellEx(kTrafficCols[i], r, convert(Truncated(traffic[i]), display));
    grid.SetCellEx(stat_col::TimeOnLine, r, IntToStr(whole[0]));
    for (int i = 1; i < 4; ++i) grid.SetCellEx(kWholeCols[i], r, convert(whole[i], display));
}

void ConvertTable(TTableGrid& grid, const TTrafficDisplay& display) {
    static constexpr int kByteCols[] = {stat_col::ClientSendTraffic,
                                        stat_col::NonClientRecvTraffic,
                                        stat_col::ClientRecvTraffic,
                                        stat_col::NonClientSendTraffic,
                                        stat_col::OpeningBalance,
                                        stat_col::ClosingBalance,
                                        stat_col::Limit};
    const int last_user_row = grid.RowCount() - 2;
    for (int row = 1; row <= last_user_row; ++row) {
        for (int col : kByteCols) {
            std::string_view cell = grid.GetCellEx(col, row);
            if (col == stat_col::Limit && cell == stat_text::kNoLimit) continue;
            grid.SetCellEx(col, row, convert(CellToInt64(cell), display));
        }
    }
}

void HideCol(TTableGrid& grid, const std::vector<bool>& checked) {
    grid.UnHideColumnsAll();
    const int count = grid.ColCount();
    for (int col = 0; col < count; ++col) {
        if (static_cast<std::size_t>(col) < checked.size() && !checked[static_cast<std::size_t>(col)]) {
            grid.HideColumn(col);
        }
    }
}

}  // namespace tarnwell

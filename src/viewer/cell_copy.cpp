#include "viewer/cell_copy.h"

#include <algorithm>
#include <vector>

#include "text/cp1251_literal.h"
#include "text/error.h"

namespace tarnwell {

using namespace literals;

namespace {

Error TooMuch() {
    return Error(std::string("Выделено слишком много ячеек: их текст больше 64 МБ"_cp));
}

}  // namespace

std::string CopyCells(const TTableGrid& grid, CellRange range, const RowFilter* shown) {
    const std::vector<int> columns = grid.VisibleRealColumns();
    const int row_count = shown != nullptr ? shown->Count() : grid.RowCount();
    const int left = std::max(std::min(range.left, range.right), 0);
    const int right = std::min(std::max(range.left, range.right), static_cast<int>(columns.size()) - 1);
    const int top = std::max(std::min(range.top, range.bottom), 0);
    const int bottom = std::min(std::max(range.top, range.bottom), row_count - 1);
    std::string text;
    if (left > right || top > bottom) return text;

    for (int r = top; r <= bottom; ++r) {
        const int row = shown != nullptr ? shown->RealRow(r) : r;
        for (int c = left; c <= right; ++c) {
            if (c > left) text += '\t';
            const std::string_view cell = grid.GetCellEx(columns[static_cast<std::size_t>(c)], row);
            if (text.size() + cell.size() + 3 > kMaxCopiedBytes) throw TooMuch();
            const std::size_t at = text.size();
            text += cell;
            std::replace_if(
                text.begin() + static_cast<std::ptrdiff_t>(at), text.end(),
                [](char ch) { return ch == '\t' || ch == '\r' || ch == '\n'; }, ' ');
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace tarnwell

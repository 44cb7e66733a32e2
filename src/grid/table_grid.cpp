#include "grid/table_grid.h"

#include <utility>

#include "grid/table_grid_state.h"

namespace tarnwell {
namespace {

int AtLeastOne(int count) {
    return count < 1 ? 1 : count;
}

}  // namespace

TTableGrid::TTableGrid(int col_count, int row_count) : state_(std::make_unique<State>(AtLeastOne(col_count))) {
    state_->row_count = AtLeastOne(row_count);
    state_->fixed_rows = state_->row_count > 1 ? 1 : 0;
}

TTableGrid::~TTableGrid() = default;

// --- Cell texts ------------------------------------------------------------------------------------

std::string_view TTableGrid::GetCellEx(int col, int row) const {
    return state_->cells.Get(col, row);
}

void TTableGrid::SetCellEx(int col, int row, std::string_view text) {
    ++state_->revision;
    state_->cells.Set(col, row, text);
}

TTableGrid::TextBlockId TTableGrid::AdoptText(std::string block) {
    return state_->cells.Adopt(std::move(block));
}

std::string_view TTableGrid::AdoptedText(TextBlockId block) const {
    return state_->cells.Adopted(block);
}

void TTableGrid::SetCellSlice(int col, int row, TextBlockId block, std::size_t offset, std::size_t length) {
    ++state_->revision;
    state_->cells.SetSlice(col, row, block, offset, length);
}

void TTableGrid::SetRowSlices(int row, TextBlockId block, std::span<const TextSlice> slices) {
    ++state_->revision;
    state_->cells.SetRowSlices(row, block, slices);
}

void TTableGrid::Clear() {
    ++state_->revision;
    state_->cells.Clear();
    state_->check_boxes = {};
}

void TTableGrid::LoadRows(BulkRows&& rows) {
    ++state_->revision;
    state_->check_boxes = {};
    state_->cells.TakeRows(std::move(rows));
}

// --- Counts ----------------------------------------------------------------------------------------

int TTableGrid::RowCount() const {
    return state_->row_count;
}

void TTableGrid::SetRowCount(int count) {
    if (count == state_->row_count) return;
    count = AtLeastOne(count);
    if (count <= state_->fixed_rows) state_->fixed_rows = count - 1;
    state_->row_count = count;
    ++state_->revision;
}

int TTableGrid::ColCount() const {
    return state_->columns.Count();
}

void TTableGrid::SetColCount(int count) {
    if (count == ColCount()) return;
    count = AtLeastOne(count);
    if (count <= state_->fixed_cols) state_->fixed_cols = count - 1;
    state_->columns.Resize(count);
    ++state_->revision;
}

int TTableGrid::FixedRows() const {
    return state_->fixed_rows;
}

void TTableGrid::SetFixedRows(int n) {
    if (n < 0) throw ETableGridError("Grid index out of range");
    if (n >= state_->row_count) throw ETableGridError("Fixed row count must be less than row count");
    state_->fixed_rows = n;
    ++state_->revision;
}

int TTableGrid::FixedCols() const {
    return state_->fixed_cols;
}

void TTableGrid::SetFixedCols(int n) {
    if (n < 0) throw ETableGridError("Grid index out of range");
    if (n >= ColCount()) throw ETableGridError("Fixed column count must be less than column count");
    state_->fixed_cols = n;
    ++state_->revision;
}

// --- Check boxes -----------------------------------------------------------------------------------

void TTableGrid::AddCheckBox(int col, int row, bool state, bool /*data*/) {
    ++state_->revision;
    if (col < 0 || row < 0) throw ETableGridError("Grid index out of range");
    state_->check_boxes[State::CellKey(col, row)] = state;
}

bool TTableGrid::GetCheckBoxState(int col, int row, bool& state) const {
    if (col < 0 || row < 0) return false;
    auto it = state_->check_boxes.find(State::CellKey(col, row));
    if (it == state_->check_boxes.end()) return false;
    state = it->second;
    return true;
}

bool TTableGrid::SetCheckBoxState(int col, int row, bool state) {
    if (col < 0 || row < 0) return false;
    auto it = state_->check_boxes.find(State::CellKey(col, row));
    if (it == state_->check_boxes.end()) return false;
    it->second = state;
    ++state_->revision;
    return true;
}

bool TTableGrid::RemoveCheckBox(int col, int row) {
    if (col < 0 || row < 0) return false;
    if (state_->check_boxes.erase(State::CellKey(col, row)) == 0) return false;
    ++state_->revision;
    return true;
}

// --- Hidden columns --------------------------------------------------------------------------------

void TTableGrid::HideColumn(int real_col) {
    if (!state_->columns.Hide(real_col)) return;
    ++state_->revision;
    // The count has dropped by one: the fixed columns stay below it.
    if (ColCount() <= state_->fixed_cols) state_->fixed_cols = ColCount() - 1;
}

void TTableGrid::UnHideColumnsAll() {
    ++state_->revision;
    state_->columns.UnHideAll();
}

int TTableGrid::NumHiddenColumns() const {
    return state_->columns.NumHidden();
}

bool TTableGrid::IsHiddenColumn(int real_col) const {
    return state_->columns.IsHidden(real_col);
}

int TTableGrid::RealColIndex(int display_col) const {
    return state_->columns.RealIndex(display_col);
}

int TTableGrid::DisplColIndex(int real_col) const {
    return state_->columns.DisplayIndex(real_col);
}

std::vector<int> TTableGrid::VisibleRealColumns() const {
    return state_->columns.VisibleReal();
}

// --- Widths ----------------------------------------------------------------------------------------

int TTableGrid::ColWidths(int display_col) const {
    return state_->columns.Width(display_col);
}

void TTableGrid::SetColWidths(int display_col, int width) {
    ++state_->revision;
    state_->columns.SetWidth(display_col, width);
}

std::uint64_t TTableGrid::Revision() const {
    return state_->revision;
}

// --- Writers' hook ---------------------------------------------------------------------------------

std::string_view TTableGrid::SaveCell(int col, int row) const {
    return GetCellEx(col, row);
}

}  // namespace tarnwell

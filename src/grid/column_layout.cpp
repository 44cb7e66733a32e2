#include "grid/column_layout.h"

#include "grid/table_grid_error.h"

namespace tarnwell {

int ColumnLayout::Width(int display_col) const {
    if (display_col < 0 || display_col >= Count()) return kDefaultWidth;
    return widths_[static_cast<std::size_t>(display_col)];
}

void ColumnLayout::SetWidth(int display_col, int width) {
    if (display_col < 0 || display_col >= Count()) throw ETableGridError("Grid index out of range");
    widths_[static_cast<std::size_t>(display_col)] = width;
}

bool ColumnLayout::IsHidden(int real_col) const {
    return real_col >= 0 && real_col < kHideableColumns && hidden_flags_[static_cast<std::size_t>(real_col)];
}

int ColumnLayout::RealIndex(int display_col) const {
    if (hidden_ == 0 || display_col < 0) return display_col;
    int seen = 0;
    for (int r = 0; r < kHideableColumns; ++r) {
        if (hidden_flags_[static_cast<std::size_t>(r)]) continue;
        if (seen == display_col) return r;
        ++seen;
    }
    return display_col + hidden_;
}

int ColumnLayout::DisplayIndex(int real_col) const {
    if (hidden_ == 0 || real_col <= 0) return real_col;
    if (real_col >= kHideableColumns) return real_col - hidden_;
    int below = 0;
    for (int r = 0; r < real_col; ++r) below += hidden_flags_[static_cast<std::size_t>(r)] ? 1 : 0;
    return real_col - below;
}

std::vector<int> ColumnLayout::VisibleReal() const {
    std::vector<int> real;
    real.reserve(widths_.size());
    int r = 0;
    for (int d = 0; d < Count(); ++d, ++r) {
        while (IsHidden(r)) ++r;
        real.push_back(r);
    }
    return real;
}

bool ColumnLayout::Hide(int real_col) {
    if (real_col < 0 || real_col >= kHideableColumns || IsHidden(real_col)) return false;
    if (real_col >= Count() + hidden_ || Count() < 2) return false;
    int d = DisplayIndex(real_col);
    saved_widths_[static_cast<std::size_t>(real_col)] = widths_[static_cast<std::size_t>(d)];
    widths_.erase(widths_.begin() + d);
    hidden_flags_[static_cast<std::size_t>(real_col)] = true;
    ++hidden_;
    return true;
}

void ColumnLayout::UnHideAll() {
    const int last = Count() + hidden_;
    for (int r = 0; r <= last && r < kHideableColumns; ++r) {
        if (!IsHidden(r)) continue;
        hidden_flags_[static_cast<std::size_t>(r)] = false;
        --hidden_;
        auto d = static_cast<std::size_t>(DisplayIndex(r));
        if (d <= widths_.size()) {
            widths_.insert(widths_.begin() + static_cast<std::ptrdiff_t>(d),
                           saved_widths_[static_cast<std::size_t>(r)]);
        } else {
            // The count was cut below this column after it was hidden: it comes back beyond the
            // display columns, which just grow by one.
            widths_.push_back(kDefaultWidth);
        }
    }
}

}  // namespace tarnwell

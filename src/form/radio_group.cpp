#include "form/radio_group.h"

#include <algorithm>
#include <utility>

namespace tarnwell {

RadioGroup::RadioGroup(std::string caption, std::vector<std::string> items, int columns)
    : Caption(std::move(caption)), Columns(columns), items_(std::move(items)) {}

void RadioGroup::SetItemIndex(int index) {
    item_index_ = std::clamp(index, -1, static_cast<int>(items_.size()) - 1);
}

void RadioGroup::UserSelect(int index) {
    if (!Enabled) return;
    int before = item_index_;
    SetItemIndex(index);
    if (item_index_ != before) Fire(OnClick);
}

}  // namespace tarnwell

#include "form/check_list_box.h"

#include <utility>

#include "text/error.h"
#include "text/int_text.h"
#include "text/message.h"

namespace tarnwell {

CheckListBox::CheckListBox(std::vector<std::string> items)
    : items_(std::move(items)), states_(items_.size(), cbUnchecked) {}

std::size_t CheckListBox::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) throw Error(FormatMsg("List index out of bounds (%s)", {IntToStr(index)}));
    return static_cast<std::size_t>(index);
}

CheckBoxState CheckListBox::State(int index) const {
    return states_[CheckIndex(index)];
}

void CheckListBox::SetState(int index, CheckBoxState state) {
    states_[CheckIndex(index)] = state;
}

void CheckListBox::SetAllChecked(bool checked) {
    for (auto& state : states_) state = checked ? cbChecked : cbUnchecked;
}

std::vector<bool> CheckListBox::CheckedItems() const {
    std::vector<bool> checked;
    checked.reserve(states_.size());
    for (auto state : states_) checked.push_back(state != cbUnchecked);
    return checked;
}

void CheckListBox::UserToggle(int index) {
    if (!Enabled) return;
    UserSetState(index, State(index) == cbChecked ? cbUnchecked : cbChecked);
}

void CheckListBox::UserSetState(int index, CheckBoxState state) {
    if (!Enabled) return;
    SetState(index, state);
    Fire(OnClickCheck);
}

}  // namespace tarnwell

#pragma once

#include <string>
#include <vector>

#include "form/control.h"

namespace tarnwell {

// A group of radio buttons with at most one selected: ItemIndex, -1 for none. SetItemIndex (code) runs
// no handler; UserSelect is the user's click and runs OnClick when the selection changes.
class RadioGroup : public Control {
public:
    RadioGroup(std::string caption, std::vector<std::string> items, int columns = 1);

    std::string Caption;
    int Columns = 1;
    NotifyEvent OnClick;

    const std::vector<std::string>& Items() const { return items_; }
    int ItemIndex() const { return item_index_; }
    // Below -1 selects nothing, beyond the last item selects the last item.
    void SetItemIndex(int index);
    void UserSelect(int index);

private:
    std::vector<std::string> items_;
    int item_index_ = -1;
};

}  // namespace tarnwell

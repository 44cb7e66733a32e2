#pragma once

#include <string>
#include <vector>

#include "form/control.h"

namespace tarnwell {

enum CheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// A list of captions, each with a check box that is unchecked, checked or grayed. An item counts as
// chosen when it is anything but unchecked. Setting states from code runs no handler; UserToggle and
// UserSetState are the user's clicks and run OnClickCheck.
class CheckListBox : public Control {
public:
    explicit CheckListBox(std::vector<std::string> items = {});

    std::string Label;  // the caption strip above the list, empty for none
    NotifyEvent OnClickCheck;

    const std::vector<std::string>& Items() const { return items_; }
    int Count() const { return static_cast<int>(items_.size()); }

    // An index outside the items raises Error "List index out of bounds (<index>)".
    CheckBoxState State(int index) const;
    void SetState(int index, CheckBoxState state);
    bool Checked(int index) const { return State(index) != cbUnchecked; }
    void SetChecked(int index, bool checked) { SetState(index, checked ? cbChecked : cbUnchecked); }
    void SetAllChecked(bool checked);
    // Whether each item is chosen (Checked), in item order: the column or content choice the jobs take.
    std::vector<bool> CheckedItems() const;

    // A click on the item's box: checked becomes unchecked, unchecked and grayed become checked.
    void UserToggle(int index);
    void UserSetState(int index, CheckBoxState state);

private:
    std::size_t CheckIndex(int index) const;

    std::vector<std::string> items_;
    std::vector<CheckBoxState> states_;
};

}  // namespace tarnwell

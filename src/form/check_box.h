#pragma once

#include <string>

#include "form/control.h"

namespace tarnwell {

// A check box with its caption. Setting Checked from code runs no handler; UserToggle is the user's click
// (or Space), which runs OnClick.
class CheckBox : public Control {
public:
    std::string Caption;
    bool Checked = false;
    NotifyEvent OnClick;

    // The user's click: the box flips. A disabled box takes no click.
    void UserToggle() {
        if (!Enabled) return;
        Checked = !Checked;
        Fire(OnClick);
    }
};

}  // namespace tarnwell

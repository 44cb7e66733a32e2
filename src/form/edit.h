#pragma once

#include <string>

#include "form/control.h"

namespace tarnwell {

// A one-line text edit. Writing Text from code runs no handler; UserSetText is the user's typing, which a
// disabled edit does not take.
class Edit : public Control {
public:
    std::string Text;
    std::string Label;      // the caption strip beside the edit, empty for none
    char PasswordChar = 0;  // when set, the window shows it in place of every character of the text
    NotifyEvent OnChange;
    NotifyEvent OnAccept;  // Enter in the edit

    void UserSetText(std::string text);
    // The user pressed Enter in the edit: runs OnAccept.
    void UserAccept() const {
        if (Enabled) Fire(OnAccept);
    }
};

}  // namespace tarnwell

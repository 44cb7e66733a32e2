#pragma once

#include <string>

#include "form/control.h"

namespace tarnwell {

// A one-line text edit. Writing Text from code runs no handler; UserSetText is the user's typing.
class TEdit : public TControl {
public:
    std::string Text;
    std::string Label;  // the caption strip beside the edit, empty for none
    TNotifyEvent OnChange;

    void UserSetText(std::string text);
};

}  // namespace tarnwell

#pragma once

#include <string>

#include "form/control.h"

namespace tarnwell {

// Anything the user clicks that carries a caption: a button, a pop-up menu item, a link text.
class Button : public Control {
public:
    std::string Caption;
    NotifyEvent OnClick;

    // The user's click: runs OnClick. A disabled control takes no click.
    void Click() const {
        if (Enabled) Fire(OnClick);
    }
};

}  // namespace tarnwell

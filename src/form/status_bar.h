#pragma once

#include <string>

#include "form/control.h"

namespace tarnwell {

// The status bar's single text area, where the long part of the hint under the mouse is shown.
class StatusBar : public Control {
public:
    std::string Text;

    // The mouse has come to rest on a control: the bar shows the long part of its hint. The window finds
    // the control: the one under the mouse when it has a hint, else the nearest enclosing one that has;
    // none (nullptr) empties the bar.
    void ShowHintOf(const Control* control) { Text = control ? std::string(control->LongHint()) : std::string(); }
};

}  // namespace tarnwell

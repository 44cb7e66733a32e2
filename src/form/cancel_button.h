#pragma once

#include "form/button.h"

namespace tarnwell {

// The button beside the gauge that stops a running save. Hidden unless a save shows it; the user's click
// (or the Escape key, which the windows turn into a click while the button is shown) leaves a request
// that the save takes up at its next step. The request stays until the next save begins (Arm).
class CancelButton : public Button {
public:
    CancelButton() {
        Visible = false;
        OnClick = [this] { requested_ = true; };
    }
    CancelButton(const CancelButton&) = delete;
    CancelButton& operator=(const CancelButton&) = delete;

    // A save begins: no request yet.
    void Arm() { requested_ = false; }
    bool Requested() const { return requested_; }

private:
    bool requested_ = false;
};

}  // namespace tarnwell

#pragma once

#include <string>

#include "form/control.h"

namespace tarnwell {

// The status bar: at its left the text area, where the long part of the hint under the mouse is shown (or
// a status text such as the service restart's); at its right the outcome area, which tells what the last
// job did and where ("Письма (mail.corp.ru:25): отправлено 20 из 20"). A hint never
// wipes the outcome: it stays until the next job shows its own.
class StatusBar : public Control {
public:
    std::string Text;
    std::string Outcome;

    // The mouse has come to rest on a control: the bar shows the long part of its hint. The window finds
    // the control: the one under the mouse when it has a hint, else the nearest enclosing one that has;
    // none (nullptr) empties the text area.
    void ShowHintOf(const Control* control) { Text = control ? std::string(control->LongHint()) : std::string(); }

    // A job has ended: the outcome area shows what it did and where, until the next outcome. This is how
    // every job reports its outcome (the mail jobs, the saves, the auto-close).
    void ShowOutcome(std::string text) { Outcome = std::move(text); }
};

}  // namespace tarnwell

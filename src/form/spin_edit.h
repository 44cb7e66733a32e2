#pragma once

#include <cstdint>
#include <string>

#include "form/control.h"

namespace tarnwell {

// An integer edit with up and down arrows. It holds the text the user typed; its value is that text as a
// number, kept within MinValue to MaxValue when the maximum is above the minimum (with equal bounds it
// takes any value). SetValue (code) runs no handler; UserSetText is the user's typing or arrow click and
// runs OnChange on every change of the text.
class SpinEdit : public Control {
public:
    SpinEdit(std::int32_t min_value, std::int32_t max_value, std::int32_t value);

    std::string Label;  // the caption strip beside the edit, empty for none
    NotifyEvent OnChange;

    std::int32_t MinValue() const { return min_value_; }
    std::int32_t MaxValue() const { return max_value_; }
    const std::string& Text() const { return text_; }

    // The text as a number, clamped into the range. A text that is no number gives MinValue. Reading
    // changes nothing.
    std::int32_t Value() const;
    // Value(), and the edit shows that value from then on: what the statistics refresh and the auto-save
    // do with the precision and the default limit they use.
    std::int32_t ShowValue();
    void SetValue(std::int32_t value);

    void UserSetText(std::string text);

private:
    std::int32_t Clamp(std::int32_t value) const;

    std::int32_t min_value_;
    std::int32_t max_value_;
    std::string text_;
};

}  // namespace tarnwell

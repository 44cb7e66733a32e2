#include "form/spin_edit.h"

#include <algorithm>
#include <utility>

#include "text/int_text.h"

namespace tarnwell {

SpinEdit::SpinEdit(std::int32_t min_value, std::int32_t max_value, std::int32_t value)
    : min_value_(min_value), max_value_(max_value) {
    SetValue(value);
}

std::int32_t SpinEdit::Clamp(std::int32_t value) const {
    return max_value_ > min_value_ ? std::clamp(value, min_value_, max_value_) : value;
}

std::int32_t SpinEdit::Value() const {
    return Clamp(TryStrToInt(text_).value_or(min_value_));
}

std::int32_t SpinEdit::ShowValue() {
    const std::int32_t value = Value();
    SetValue(value);
    return value;
}

void SpinEdit::SetValue(std::int32_t value) {
    text_ = IntToStr(Clamp(value));
}

void SpinEdit::UserSetText(std::string text) {
    if (!Enabled || text == text_) return;
    text_ = std::move(text);
    Fire(OnChange);
}

}  // namespace tarnwell

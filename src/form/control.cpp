#include "form/control.h"

namespace tarnwell {

std::string_view Control::ShortHint() const {
    std::string_view hint = Hint;
    return hint.substr(0, hint.find('|'));
}

std::string_view Control::LongHint() const {
    std::string_view hint = Hint;
    std::size_t bar = hint.find('|');
    return bar == std::string_view::npos ? hint : hint.substr(bar + 1);
}

}  // namespace tarnwell

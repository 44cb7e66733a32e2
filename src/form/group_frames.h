#pragma once

#include <string_view>

#include "text/cp1251_literal.h"

namespace tarnwell {

// A frame with a caption around controls of a page, which belongs to no control: its name (the widget
// that draws it carries it) and its caption.
struct GroupFrame {
    std::string_view Name;
    std::string_view Caption;  // Windows-1251; empty for a frame without one
};

namespace group_frames {
using namespace literals;
// The settings page: the mail server and the letter's form side by side at the top, then the letter's
// content, the columns and the options.
inline constexpr GroupFrame kServer = {"GBServer", "Почтовый сервер:"_cp};
inline constexpr GroupFrame kLetter = {"GBLetter", "Оформление письма:"_cp};
inline constexpr GroupFrame kContent = {"GBContent", "Содержание письма:"_cp};
inline constexpr GroupFrame kColumns = {"GBColumns", "Столбцы:"_cp};
inline constexpr GroupFrame kOptions = {"GBOptions", "Опции:"_cp};
// The limits page: the bar under the grid with its three buttons and the default limit.
inline constexpr GroupFrame kLimitButtons = {"GBLimitButtons", ""};
}  // namespace group_frames

}  // namespace tarnwell

#pragma once

#include <array>
#include <string_view>

#include "text/cp1251_literal.h"

namespace tarnwell {

// The limits table ASGLimit: six columns, header row 0 and the login as a fixed column, one row per user,
// no totals row. Numbers are the database's stored units of 100 bytes, signed 32-bit decimal.
namespace limit_col {
constexpr int Login = 0;  // the account key's own name
constexpr int RealName = 1;
constexpr int Limit = 2;  // the default limit's text when the account has none
constexpr int OpeningBalance = 3;
constexpr int ClosingBalance = 4;
constexpr int Enabled = 5;  // "Включен": a check box, no text
constexpr int Count = 6;
}  // namespace limit_col

namespace limit_text {
using namespace literals;
inline constexpr std::array<std::string_view, limit_col::Count> kCaptions = {
    "Логин"_cp, "Имя"_cp, "Лимит"_cp, "Открыт баланс"_cp, "До закрытия балланса осталось"_cp, "Включен"_cp,
};
}  // namespace limit_text

}  // namespace tarnwell

#pragma once

#include <array>
#include <string_view>

#include "text/cp1251_literal.h"

namespace tarnwell {
namespace stat_captions {
using namespace literals;

// The eleven columns of the statistics table, in their fixed order: the header of ASGRead and the items
// of the column check lists ChLBTable and ChLBHTML, which correspond to the columns one to one.
inline constexpr std::array<std::string_view, 11> kStatColumnCaptions = {
    "Послать"_cp,
    "Логин"_cp,
    "Имя"_cp,
    "Скачано клиентом"_cp,
    "Скачано сервером"_cp,
    "Отравлено клиентом"_cp,
    "Отправлено сервером"_cp,
    "Время в сети"_cp,
    "Выданный лимит"_cp,
    "Остаток лимита"_cp,
    "Ежемесячный лимит"_cp,
};

}  // namespace stat_captions

using stat_captions::kStatColumnCaptions;

}  // namespace tarnwell

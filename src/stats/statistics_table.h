#pragma once

#include <array>
#include <string_view>

#include "form/stat_column_captions.h"
#include "text/cp1251_literal.h"

namespace tarnwell {

// The statistics table ASGRead: eleven columns in a fixed order, header row 0, one row per user, and after
// the totals step a last row "Сумма". The same order numbers the items of the column check lists ChLBTable
// and ChLBHTML and the keys under which the settings file keeps the columns.
namespace stat_col {
constexpr int Send = 0;  // "Послать": a check box, no text
constexpr int Login = 1;
constexpr int RealName = 2;
constexpr int ClientSendTraffic = 3;     // bytes
constexpr int NonClientRecvTraffic = 4;  // bytes
constexpr int ClientRecvTraffic = 5;     // bytes
constexpr int NonClientSendTraffic = 6;  // bytes
constexpr int TimeOnLine = 7;            // seconds
constexpr int OpeningBalance = 8;        // bytes
constexpr int ClosingBalance = 9;        // bytes
constexpr int Limit = 10;                // bytes, or stat_text::kNoLimit
constexpr int Count = 11;
// Past these, unseen, each user row keeps the key of the account its send box belongs to
// (KeepSendFlagAccount in stats/send_flags.h).
constexpr int SendFlagAccount = Count;
}  // namespace stat_col

// The table's own texts (Windows-1251).
namespace stat_text {
using namespace literals;
// Header captions, also the items of ChLBTable and ChLBHTML.
inline constexpr const auto& kCaptions = kStatColumnCaptions;
// Column 10 of a user without a monthly limit.
inline constexpr std::string_view kNoLimit = "Не установлено"_cp;
// Column 1 of the totals row.
inline constexpr std::string_view kTotals = "Сумма"_cp;
// Column 1 of the first listed account, when it is a user.
inline constexpr std::string_view kFirstAccountLogin = "system";
}  // namespace stat_text

}  // namespace tarnwell

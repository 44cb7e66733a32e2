#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "grid/table_grid.h"
#include "grid/text_width.h"
#include "text/user_notifier.h"
#include "wingate/user_database.h"

namespace tarnwell {

// The start that the statistics and limits loaders share: the header captions go into row 0, then the
// accounts are listed. When the database cannot be found the user is told so, the columns are fitted to
// the header and nullopt tells the caller to abandon its load.
std::optional<std::vector<std::string>> WriteHeaderAndListAccounts(TTableGrid& grid,
                                                                   std::span<const std::string_view> captions,
                                                                   TUserDatabase& database, UserNotifier& notifier,
                                                                   const TextWidthMeasure& measure);

}  // namespace tarnwell

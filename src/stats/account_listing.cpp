#include "stats/account_listing.h"

#include "text/cp1251_literal.h"

namespace tarnwell {

using namespace literals;

std::optional<std::vector<std::string>> WriteHeaderAndListAccounts(TTableGrid& grid,
                                                                   std::span<const std::string_view> captions,
                                                                   TUserDatabase& database, UserNotifier& notifier,
                                                                   const TextWidthMeasure& measure) {
    for (std::size_t col = 0; col < captions.size(); ++col) grid.SetCellEx(static_cast<int>(col), 0, captions[col]);
    try {
        return database.ListAccounts();
    } catch (const EDatabaseNotFound&) {
        notifier.ShowMessage("Возможно WinGate не установлен или версия программыне совместима!"_cp);
        grid.AutoSize(measure);
        return std::nullopt;
    } catch (...) {
        grid.AutoSize(measure);
        throw;
    }
}

}  // namespace tarnwell

#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "grid/table_grid.h"

namespace tarnwell {

// The date text of a letter run: "dd.MM.yyyy H:mm:ss" of the given local time, the time left out at
// exactly midnight.
std::string LetterDateText(const std::tm& local);

// The letter to the user of row `row` of the converted statistics table: the greeting with his name and
// login, the date line, then one line of figures for each chosen content item (ChLBCont, eight items in
// order; a missing item counts as not chosen), the cells taken as the table shows them.
std::vector<std::string> BuildLetter(const TTableGrid& grid, int row, const std::vector<bool>& content,
                                     const std::string& date_text);

// The recipient of a letter: the login, the at sign and the mail domain, as they stand.
std::string LetterAddress(const TTableGrid& grid, int row, const std::string& domain);

}  // namespace tarnwell

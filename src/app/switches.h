#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace tarnwell {

// The jobs a scheduler can start with the first command-line argument.
enum class Switch {
    SetLimit,    // "/setlimit": monthly reset of the balances, save, service restart
    CreateHtml,  // "/createhtml": the HTML report file
    SendHtml,    // "/sendhtml": the statistics table mailed as an HTML page
    SendMail,    // "/sendmail": every chosen user's personal letter
};

// The switch that the argument names, compared byte for byte over the whole argument (letter case counts,
// no abbreviation or prefix matches), or nothing.
std::optional<Switch> MatchSwitch(std::string_view argument);

// The switches' texts, in the order they are compared.
std::vector<std::string_view> SwitchTexts();

}  // namespace tarnwell

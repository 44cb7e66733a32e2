#include "mail/personal_letter.h"

#include <array>
#include <cstdio>
#include <string_view>
#include <utility>

#include "stats/statistics_table.h"
#include "text/cp1251_literal.h"

namespace tarnwell {
namespace {

using namespace literals;

struct LetterLine {
    std::string_view label;  // 21 characters, blanks included
    int column;
    std::string_view suffix;
};

// One line for each item of ChLBCont, in item order. The labels are the letter's own, not the items'.
constexpr std::array<LetterLine, 8> kLines = {{
    {"Скачано клиентом     "_cp, 3, ""},
    {"Скачано сервером     "_cp, 4, ""},
    {"Отправлено серверу   "_cp, 5, ""},
    {"Отправлено сервером  "_cp, 6, ""},
    {"Общее время          "_cp, 7, "  секунд"_cp},
    {"Выданный лимит       "_cp, 8, ""},
    {"Остаток лимита       "_cp, 9, ""},
    {"Ежемесячный лимит    "_cp, 10, ""},
}};

}  // namespace

std::string LetterDateText(const std::tm& local) {
    char text[128];
    int length = std::snprintf(text, sizeof text, "%02d.%02d.%04d", local.tm_mday, local.tm_mon + 1,
                               local.tm_year + 1900);
    if (local.tm_hour != 0 || local.tm_min != 0 || local.tm_sec != 0) {
        std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), " %d:%02d:%02d",
                      local.tm_hour, local.tm_min, local.tm_sec);
    }
    return text;
}

std::vector<std::string> BuildLetter(const TTableGrid& grid, int row, const std::vector<bool>& content,
                                     const std::string& date_text) {
    std::vector<std::string> letter;
    std::string greeting(std::string_view("Уважаемый "_cp));
    greeting.append(grid.GetCellEx(stat_col::RealName, row)).append("(");
    greeting.append(grid.GetCellEx(stat_col::Login, row)).append(")");
    greeting.append(" за текущий месяц трафик, наработанный вами"_cp);
    letter.push_back(std::move(greeting));
    letter.emplace_back();
    letter.push_back(std::string("в интернете на дату "_cp) + date_text + std::string(" составляет:"_cp));
    letter.emplace_back();
    letter.emplace_back();
    for (std::size_t item = 0; item < kLines.size(); ++item) {
        if (item >= content.size() || !content[item]) continue;
        const LetterLine& line = kLines[item];
        letter.push_back(std::string(line.label).append(grid.GetCellEx(line.column, row)).append(line.suffix));
        if (item + 1 < kLines.size()) letter.emplace_back();
    }
    return letter;
}

std::string LetterAddress(const TTableGrid& grid, int row, const std::string& domain) {
    return std::string(grid.GetCellEx(stat_col::Login, row)).append("@").append(domain);
}

}  // namespace tarnwell

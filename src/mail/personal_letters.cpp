#include <string_view>

#include "mail/mail_jobs.h"
#include "mail/personal_letter.h"
#include "stats/statistics_table.h"
#include "text/cp1251_literal.h"
#include "text/int_text.h"

namespace tarnwell {
namespace {

using namespace literals;

bool IsLetterRow(const TTableGrid& grid, int row) {
    bool ticked = false;
    grid.GetCheckBoxState(stat_col::Send, row, ticked);
    return ticked && grid.GetCellEx(stat_col::Login, row) != "<system>";
}

// The letters of the rows from `row` on: those a run that stops there leaves untried.
int LettersFrom(const TTableGrid& grid, int row) {
    int letters = 0;
    for (; row < grid.RowCount() - 1; ++row) letters += IsLetterRow(grid, row) ? 1 : 0;
    return letters;
}

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

int PersonalLetterCount(const TTableGrid& grid) {
    return LettersFrom(grid, 1);
}

MailRunAccount SendPersonalLetters(MailDispatcher& mail, const TTableGrid& grid, const std::tm& now,
                                   LoadProgress& progress) {
    const FormControls& c = mail.Controls();
    MailRunAccount account = mail.StartAccount(std::string("Письма"_cp));
    if (!mail.OpenRun(account, LettersFrom(grid, 1))) return account;
    {
        ProgressShown shown(progress, grid.RowCount());
        const std::string date_text = LetterDateText(now);
        // The row count is read again for every row: the table may change while a send waits on the server.
        for (int row = 1; row < grid.RowCount() - 1; ++row) {
            if (IsLetterRow(grid, row)) {
                std::string_view login = grid.GetCellEx(stat_col::Login, row);
                if (IsBlank(login)) {
                    // "@corp.ru" would reach nobody, or whoever the server makes of it.
                    account.not_sent.push_back({std::string("строка "_cp) + IntToStr(row) + " (" +
                                                    std::string(grid.GetCellEx(stat_col::RealName, row)) + ")",
                                                std::string("пустой логин"_cp)});
                } else {
                    const std::string address = LetterAddress(grid, row, c.EDomain.Text);
                    try {
                        MailDispatcher::Delivery delivery =
                            mail.SendMsg(address, BuildLetter(grid, row, c.ChLBCont.CheckedItems(), date_text));
                        if (delivery.result == MailDispatcher::Delivery::kSent) {
                            ++account.sent;
                        } else {
                            account.not_sent.push_back({address, delivery.reason});
                        }
                    } catch (const std::exception& e) {
                        mail.EndRunAt(account, e);
                        account.not_tried = LettersFrom(grid, row);
                        break;
                    }
                }
            }
            progress.Position(row);
        }
    }
    if (account.failure.empty()) {
        try {
            mail.Diskonnect();
        } catch (const std::exception& e) {
            mail.EndRunAt(account, e);
        }
    }
    return account;
}

}  // namespace tarnwell

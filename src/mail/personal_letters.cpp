#include "mail/mail_jobs.h"

#include "mail/personal_letter.h"
#include "stats/statistics_table.h"

namespace tarnwell {

void SendPersonalLetters(MailDispatcher& mail, const TTableGrid& grid, const std::tm& now, LoadProgress& progress) {
    mail.ConnectIfNeeded();
    const FormControls& c = mail.Controls();
    {
        ProgressShown shown(progress, grid.RowCount());
        const std::string date_text = LetterDateText(now);
        // The row count is read again for every row: the table may change while a send waits on the server.
        for (int row = 1; row < grid.RowCount() - 1; ++row) {
            bool ticked = false;
            grid.GetCheckBoxState(stat_col::Send, row, ticked);
            if (grid.GetCellEx(stat_col::Login, row) != "<system>" && ticked) {
                // A letter that fails is passed over; the next user still gets his.
                (void)mail.SendMsg(LetterAddress(grid, row, c.EDomain.Text),
                                   BuildLetter(grid, row, c.ChLBCont.CheckedItems(), date_text));
            }
            progress.Position(row);
        }
    }
    mail.Diskonnect();
}

}  // namespace tarnwell

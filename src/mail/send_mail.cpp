#include "mail/mail_jobs.h"

#include "mail/personal_letter.h"
#include "stats/statistics_table.h"

namespace tarnwell {

void SendMail(MailDispatcher& mail, const TTableGrid& grid, const std::tm& now, TGauge& gauge,
              const std::function<void()>& repaint) {
    mail.ConnectIfNeeded();
    const TFormControls& c = mail.Controls();
    gauge.SetRange(0, grid.RowCount());
    gauge.SetPosition(0);
    gauge.Visible = true;
    repaint();
    const std::string date_text = LetterDateText(now);
    // The row count is read again for every row: the table may change while a send waits on the server.
    for (int row = 1; row < grid.RowCount() - 1; ++row) {
        bool ticked = false;
        grid.GetCheckBoxState(stat_col::Send, row, ticked);
        if (grid.GetCellEx(stat_col::Login, row) != "<system>" && ticked) {
            mail.SendMsg(LetterAddress(grid, row, c.EDomain.Text),
                         BuildLetter(grid, row, c.ChLBCont.CheckedItems(), date_text));
        }
        gauge.SetPosition(row);
        repaint();
    }
    gauge.Visible = false;
    repaint();
    mail.Diskonnect();
}

}  // namespace tarnwell

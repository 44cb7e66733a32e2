#include "mail/mail_jobs.h"

namespace tarnwell {

void MailTablePage(MailDispatcher& mail, const std::function<std::vector<std::string>()>& write_page) {
    mail.ConnectIfNeeded();
    std::vector<std::string> page;
    try {
        page = write_page();
    } catch (...) {
        // No session is left open behind a failed job; its own error is the one to report.
        try {
            mail.Diskonnect();
        } catch (...) {
        }
        throw;
    }
    TSmtpClient& client = mail.Client();
    client.SubType = mtHtml;
    // A page the server refuses is dropped without a word, as a letter is.
    (void)mail.SendMsg(mail.Controls().ESGToUser.Text, page);
    client.SubType = mtPlain;
    mail.Diskonnect();
}

}  // namespace tarnwell

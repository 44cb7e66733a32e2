#include "mail/mail_jobs.h"
#include "text/cp1251_literal.h"

namespace tarnwell {

using namespace literals;

MailRunAccount MailTablePage(MailDispatcher& mail, const std::function<std::vector<std::string>()>& write_page) {
    const FormControls& c = mail.Controls();
    MailRunAccount account = mail.StartAccount(std::string("Таблица"_cp));
    if (!mail.OpenRun(account, 1)) return account;
    std::vector<std::string> page;
    try {
        page = write_page();
    } catch (const std::exception& e) {
        // No session is left open behind a failed job; the page's own error is the one to report.
        try {
            mail.Diskonnect();
        } catch (...) {
        }
        account.failure = e.what();
        account.not_tried = 1;
        return account;
    }
    TSmtpClient& client = mail.Client();
    client.SubType = mtHtml;
    try {
        MailDispatcher::Delivery delivery = mail.SendMsg(c.ESGToUser.Text, page);
        client.SubType = mtPlain;
        if (delivery.result == MailDispatcher::Delivery::kSent) {
            account.sent = 1;
        } else {
            account.not_sent.push_back({c.ESGToUser.Text, delivery.reason});
        }
    } catch (const std::exception& e) {
        client.SubType = mtPlain;
        mail.EndRunAt(account, e);
        account.not_tried = 1;
        return account;
    }
    try {
        mail.Diskonnect();
    } catch (const std::exception& e) {
        mail.EndRunAt(account, e);
    }
    return account;
}

}  // namespace tarnwell

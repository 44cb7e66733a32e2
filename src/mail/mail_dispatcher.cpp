#include "mail/mail_dispatcher.h"

#include <utility>

#include "mail/session_failure.h"
#include "smtp/peer_text.h"
#include "text/cp1251_literal.h"
#include "text/int_text.h"

namespace tarnwell {

void MailDispatcher::SetUpClient(TSmtpClient& client) {
    client.Port = 25;
    client.TimeOut = kMailTimeOutMs;
    client.EncodeType = uuCode;
    client.ClearParams = true;
    client.SubType = mtPlain;
    client.Charset = "windows-1251";
    client.OnRecipientNotFound = [](const std::string&) {};
}

void MailDispatcher::ConnectIfNeeded() {
    if (client_.Connected()) return;
    client_.UserID = c_.EUserID.Text;
    client_.Domain = c_.EDomain.Text;
    // No choice (a settings value below 0) is the plain session.
    const int security = c_.RGSecurity.ItemIndex();
    client_.Security = security == 1 ? ssStartTls : security == 2 ? ssTls : ssNone;
    client_.Password = c_.EPassword.Text;
    client_.CAFile = c_.ECAFile.Text;
    client_.Host = c_.EHost.Text;
    client_.Port = StrToInt(c_.EPort.Text);
    client_.Connect();
}

MailRunAccount MailDispatcher::StartAccount(const std::string& job) const {
    MailRunAccount account;
    account.job = job;
    account.server = c_.EHost.Text + ":" + c_.EPort.Text;
    return account;
}

bool MailDispatcher::OpenRun(MailRunAccount& account, int letters) {
    try {
        ConnectIfNeeded();
        return true;
    } catch (const std::exception& e) {
        EndRunAt(account, e);
        account.not_tried = letters;
        return false;
    }
}

void MailDispatcher::EndRunAt(MailRunAccount& account, const std::exception& error) {
    account.failure = SessionFailureText(client_, error);
    if (!client_.Connected()) return;
    try {
        client_.CloseSocket();
    } catch (...) {
        // The handle is released whatever the system says; the error that ended the run is the one to tell.
    }
}

void MailDispatcher::Diskonnect() {
    if (client_.Connected()) client_.Disconnect();
}

MailDispatcher::Delivery MailDispatcher::SendMsg(const std::string& address, const std::vector<std::string>& lines) {
    using namespace literals;
    // The client would return at once without sending; the message must not count as sent then.
    if (client_.Busy()) return {Delivery::kNotSent, std::string("идёт другая отправка"_cp)};
    TMailMessage& message = client_.PostMessage;
    message.FromName = c_.EFromName.Text;
    message.FromAddress = c_.EFromAddress.Text;
    message.Subject = c_.ESubject.Text;
    message.ToAddress.clear();
    message.ToAddress.push_back(address);
    message.Body = lines;
    // The server's reply to the recipient says more than its later refusal of DATA ("no valid
    // recipients"); and a server that took DATA without a recipient has still not taken the letter.
    std::string refused_recipient;
    auto passed_over = std::move(client_.OnRecipientNotFound);
    client_.OnRecipientNotFound = [&](const std::string&) { refused_recipient = PeerText(client_.LastReply()); };
    Delivery delivery;
    try {
        client_.SendMailMessage();
        delivery.result = refused_recipient.empty() ? Delivery::kSent : Delivery::kNotSent;
        delivery.reason = refused_recipient;
    } catch (const ESmtpRefused& e) {
        delivery.reason = refused_recipient.empty() ? std::string(e.what()) : refused_recipient;
    } catch (const EMessageInvalid& e) {
        delivery.reason = e.what();
    } catch (...) {
        client_.OnRecipientNotFound = std::move(passed_over);
        throw;
    }
    client_.OnRecipientNotFound = std::move(passed_over);
    return delivery;
}

}  // namespace tarnwell

#include "mail/mail_dispatcher.h"

#include <exception>

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

void MailDispatcher::Diskonnect() {
    if (client_.Connected()) client_.Disconnect();
}

MailDispatcher::Outcome MailDispatcher::SendMsg(const std::string& address, const std::vector<std::string>& lines) {
    try {
        TMailMessage& message = client_.PostMessage;
        message.FromName = c_.EFromName.Text;
        message.FromAddress = c_.EFromAddress.Text;
        message.Subject = c_.ESubject.Text;
        message.ToAddress.clear();
        message.ToAddress.push_back(address);
        message.Body = lines;
        client_.SendMailMessage();
        return Outcome::kSent;
    } catch (const std::exception&) {
        return Outcome::kDropped;
    }
}

}  // namespace tarnwell

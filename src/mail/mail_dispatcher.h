#pragma once

#include <string>
#include <vector>

#include "form/form_controls.h"
#include "mail/mail_run_account.h"
#include "smtp/smtp_client.h"

namespace tarnwell {

// How long the mail jobs wait on the server at each step, so an unattended run never waits for ever.
inline constexpr int kMailTimeOutMs = 60000;

// The main window's side of mailing: opens and ends the SMTP session with the server of the settings
// page and sends one message at a time with its sender and subject. The fields are read at the moment
// of use, so an edit made while a job waits counts from the next session or message.
class MailDispatcher {
public:
    MailDispatcher(TSmtpClient& client, const FormControls& controls) : client_(client), c_(controls) {}

    // Sets the client up as every mail job uses it: the time-out, plain text in Windows-1251, and a
    // refused recipient passed over by the client (SendMsg takes note of it for its message).
    static void SetUpClient(TSmtpClient& client);

    TSmtpClient& Client() { return client_; }
    const FormControls& Controls() const { return c_; }

    // Opens the session with EHost, EPort and EUserID (and the protection of RGSecurity, EPassword,
    // ECAFile, EDomain for EHLO), unless it is open already. A port that is not a
    // number raises EConvertError "'<text>' is not a valid integer value" before anything is tried; the
    // client's own failures pass through.
    void ConnectIfNeeded();
    // Ends the session if it is open (a refused QUIT raises the server's reply; the socket is closed).
    void Diskonnect();
    // What became of one message: it went, or it did not, with the reason (the server's reply to the step
    // it refused, shown as PeerText shows it, or why it could not be sent as it stands).
    struct Delivery {
        enum Result { kSent, kNotSent } result = kNotSent;
        std::string reason;
    };
    // Sends one message to one address over the open session. A message the server refuses with a
    // well-formed reply (its recipient, sender, data or the whole message), or that cannot be sent as it
    // stands, is not sent, and the result says why; the session stays open for the next. Any other
    // failure (the connection lost, a time-out, an answer that is no SMTP reply) leaves no session to go
    // on with: it is raised, and the run that sent the message ends with it.
    Delivery SendMsg(const std::string& address, const std::vector<std::string>& lines);

    // The empty account of a run of `job` (its word for the outcome line) with the server of the
    // settings page.
    MailRunAccount StartAccount(const std::string& job) const;
    // Opens the session of a run (ConnectIfNeeded). When that fails the run ends before it began: the
    // account takes the failure (EndRunAt) and counts its `letters` as not tried. True when it is open.
    bool OpenRun(MailRunAccount& account, int letters);
    // Ends a run at the error that stopped it: the account takes its text (SessionFailureText), and a
    // session still open is closed without QUIT, since the dialogue may be out of step with the server.
    void EndRunAt(MailRunAccount& account, const std::exception& error);

private:
    TSmtpClient& client_;
    const FormControls& c_;
};

}  // namespace tarnwell

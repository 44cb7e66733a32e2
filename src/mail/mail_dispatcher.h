#pragma once

#include <string>
#include <vector>

#include "form/form_controls.h"
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
    // refused recipient passed over without a word.
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
    // Whether SendMsg handed its message to the server or dropped it.
    enum class Outcome { kSent, kDropped };
    // Sends one message to one address over the open session. A failure of this one message (a refused
    // command, a dropped connection) is not raised: the message is dropped and the result says so. The
    // letters and the table mail pass such a message over without a word.
    Outcome SendMsg(const std::string& address, const std::vector<std::string>& lines);

private:
    TSmtpClient& client_;
    const FormControls& c_;
};

}  // namespace tarnwell

#pragma once

#include <functional>
#include <random>
#include <string>

#include "smtp/ex_string_list.h"
#include "smtp/mail_message.h"
#include "smtp/socket_session.h"
#include "smtp/stream.h"
#include "smtp/uu_processor.h"

namespace tarnwell {

// A fixed underlying type: a value read from elsewhere that names no subtype is plain text, not undefined.
enum MailSubType : int { mtPlain = 0, mtEnriched = 1, mtSgml = 2, mtTabSeperated = 3, mtHtml = 4 };

// How the session is protected: not at all, TLS after the STARTTLS command, or TLS from the first byte.
enum SmtpSecurity : int { ssNone = 0, ssStartTls = 1, ssTls = 2 };

// A login the server refused, or could not be offered in any way this client speaks. Its text is the server's reply line, or the client's own reason;
// never the password.
class ESmtpAuthError : public Error {
public:
    using Error::Error;
};

// The session cannot be opened as it is set up, found before any connection is tried: a password with no
// encryption chosen (it would cross in clear), or a certificate file that is not there.
class ESmtpSetupError : public Error {
public:
    using Error::Error;
};

// The server refused a step with a well-formed reply (4xx or 5xx; for HELO anything but 2xx): the text is
// its reply line as PeerText shows it, or "Authentication failed" for HELO. Raised by SendMailMessage
// (RSET, MAIL FROM, DATA, the closing dot), it ends that one message only: the session stays open and
// the next message may follow.
class ESmtpRefused : public Error {
public:
    using Error::Error;
};

// The message cannot be sent as it stands: no sender or recipient ("Incomplete Header"), a line break in
// an address or a header value, a header too long for one write, an attachment that cannot be read.
// Raised by SendMailMessage before any command goes out: the session is as it was.
class EMessageInvalid : public Error {
public:
    using Error::Error;
};

// The client side of SMTP: greeting and HELO, then any number of messages over one session (RSET, MAIL
// FROM, RCPT TO for each recipient, DATA, header, body, the closing dot), then QUIT.
//
// With Security ssNone and no Password that is the whole dialogue, byte for byte. Otherwise the session
// opens with EHLO (Domain), then, for ssStartTls, STARTTLS, the TLS handshake and EHLO again (ssTls
// speaks TLS from the first byte), then, with a Password, AUTH PLAIN (or AUTH LOGIN when that is all the
// server offers) for UserID. The server's certificate is verified against the system's authorities and
// CAFile, its name against Host. Once TLS is chosen nothing goes out in clear text after EHLO: a server
// that does not offer STARTTLS, or sends anything behind its go-ahead for it, is left without a word.
//
//     TSmtpClient client(&pump);
//     client.Host = "mail.example.ru";  client.Port = 25;  client.TimeOut = 60000;
//     client.Connect();                       // greeting, "HELO " + UserID
//     client.PostMessage.FromAddress = ...;   // sender, recipients, subject, body lines
//     client.SendMailMessage();               // as often as needed, changing PostMessage in between
//     client.Disconnect();                    // QUIT, then close
//
// Only a well-formed reply numbered 2xx or 3xx accepts a step (HELO: 2xx only). Failures are exceptions
// whose text is the server's reply line (ESmtpRefused; without its line end and with control bytes as
// "?", as PeerText shows it), or one of "Not Connected" (ENotConnected: the server closed the connection
// instead of answering), "Incomplete Header", "Authentication failed", the socket session's texts, or
// "Invalid character (CR, LF or NUL) in <field>": a sender, recipient, subject, header value or HELO name
// holding a line break or a zero byte is refused before anything is sent, since it would smuggle further
// commands or header lines to the server.
//
// A whole reply, and the greeting, is bounded by one TimeOut, however many lines it has. After a refused
// greeting or HELO, QUIT is sent but its reply waited for only kQuitWaitMs.
//
// Two failures leave the dialogue out of step with the server, and so close the session at once,
// without QUIT: a wait cut short by the time-out (ETimeOutError; the server may still answer the old
// command at any moment, and a QUIT would only wait once more), and an answer that is no SMTP reply
// (ESmtpReplyError: a line without its three-digit number, a line longer than the line buffer, a reply
// of more than kMaxReplyLines lines).
class TSmtpClient : public TSocketSession {
public:
    explicit TSmtpClient(EventPump* pump = nullptr);

    // --- Properties --------------------------------------------------------------------------------
    std::string UserID;              // the text after "HELO "; the login name for AUTH
    std::string Domain;              // the text after "EHLO " (UserID when empty)
    SmtpSecurity Security = ssNone;
    std::string Password;            // empty: no login
    std::string CAFile;              // further trusted certificates (PEM), besides the system's
    // <windows.h> defines PostMessage as a macro; the member keeps its own name whatever came before. A
    // file that includes both and uses the member then fails to compile until it undefines the macro.
#pragma push_macro("PostMessage")
#undef PostMessage
    TMailMessage PostMessage;        // the message to send
#pragma pop_macro("PostMessage")
    UUMethod EncodeType = uuMime;    // encoding of attachments
    bool ClearParams = true;         // a successful send empties the recipients and attachments
    MailSubType SubType = mtPlain;   // content type of a message without attachments
    std::string Charset = "us-ascii";

    // --- Events ------------------------------------------------------------------------------------
    // The session is open (greeting and HELO accepted). The socket-level OnConnect of TSocketSession
    // is hidden by this one.
    std::function<void(TSmtpClient&)> OnConnect;
    // HELO was refused (300 or more); the handler may change UserID and set handled to try once more.
    std::function<void(bool& handled)> OnAuthenticationFailed;
    // The message lacks a sender (hi_type 1) or every recipient (2); the handler may complete
    // PostMessage and set handled. The header is composed already, so a repair reaches the envelope only.
    std::function<void(bool& handled, int hi_type)> OnHeaderIncomplete;
    std::function<void(TSmtpClient&)> OnSendStart;
    // A RCPT TO was answered above 300; the entry as it stands in its list.
    std::function<void(const std::string& recipient)> OnRecipientNotFound;
    std::function<void(TSmtpClient&)> OnFailure;  // the closing dot was refused
    std::function<void(TSmtpClient&)> OnSuccess;  // the message was accepted
    std::function<void(const std::string& file_name)> OnEncodeStart;
    std::function<void(const std::string& file_name)> OnEncodeEnd;
    std::function<void(const std::string& file_name)> OnAttachmentNotFound;

    // --- Operations --------------------------------------------------------------------------------
    // Connects, reads the greeting (with its continuation lines) and sends HELO, or runs the extended
    // opening (EHLO, STARTTLS, AUTH) described above. On a refused greeting or HELO the session is ended
    // with QUIT before the failure is raised; where TLS was chosen but is not up, it is closed without QUIT.
    // Failures of the extended opening: ETlsError, ESmtpAuthError, or the server's refusal of EHLO.
    // Refused before connecting (ESmtpSetupError): a Password with Security ssNone (a password never
    // crosses unencrypted), and with TLS chosen a CAFile at which no file stands.
    void Connect() override;
    // How long the QUIT after a refused opening waits for its reply.
    static constexpr int kQuitWaitMs = 2000;
    // Sends PostMessage over the open session. Returns at once, sending nothing, while another send or
    // a Connect is running (Busy). A refused recipient is reported through OnRecipientNotFound only.
    // ESmtpRefused and EMessageInvalid end this message only; any other failure leaves no session to go on
    // with.
    void SendMailMessage();
    // QUIT (a reply above 339 is raised; the empty reply of a connection closed by the server is not),
    // and the socket is closed whatever the reply.
    void Disconnect() override;
    // Sends the command and reads its whole reply, continuation lines included (LastReply is the last
    // line); refuses a line that is no SMTP reply (ESmtpReplyError) and closes the session after a
    // time-out.
    std::string Transaction(std::string_view command) override;
    // Empties ToAddress, ToCarbonCopy, ToBlindCarbonCopy and Attachments of PostMessage.
    void ClearParameters();
    // Composes FinalHeader (every message with its own Date and Message-ID, non-ASCII texts as encoded
    // words) and BodyStream (8-bit text, attachments encoded) from PostMessage.
    void BuildMessage();
    // Appends the part of attachment number `index` (from 1) to BodyStream.
    void EncodeAttachment(int index);

    // --- State -------------------------------------------------------------------------------------
    bool Busy() const { return busy_; }
    const TExStringList& FinalHeader() const { return final_header_; }
    MemoryStream& BodyStream() { return body_stream_; }
    const std::string& Boundary() const { return boundary_; }

private:
    // One line from the server, its line end included; the empty line when the server has closed the
    // connection. A line that fills the line buffer without ending, or a wait ended by the time-out,
    // closes the session and raises.
    std::string ReadReplyLine();
    // Reads the first line of a reply into LastReply and ReplyNumber; a line that is no reply line
    // closes the session and raises.
    void ReadReply();
    // Reads further reply lines while the last one is a continuation line (a blank first, or "-" as
    // its fourth character); the last line read becomes LastReply. Each must be a reply line or begin
    // with a blank; a reply of more than kMaxReplyLines lines is refused.
    void ReadContinuation(std::vector<std::string>* lines = nullptr);
    static constexpr int kMaxReplyLines = 1000;
    // Transaction, also handing out every line of the reply when `lines` is given (EHLO's extensions).
    std::string Exchange(std::string_view command, std::vector<std::string>* lines);
    // The HELO of the plain dialogue, with its one chance of repair through OnAuthenticationFailed.
    void Helo();
    // EHLO, STARTTLS with its handshake and EHLO again, and AUTH: what the session needs before a
    // message when Security or Password asks for more than the plain dialogue.
    void OpenExtended();
    // EHLO; the reply's lines (the server's extensions) when it is accepted.
    std::vector<std::string> Ehlo();
    void Login(const std::vector<std::string>& extensions);
    // Raises ENotConnected for the empty reply of a closed connection, and ESmtpRefused with the reply for
    // any number but 2xx and 3xx.
    void CheckAccepted();
    // The last reply line as the user may see it (PeerText).
    std::string ReplyText() const;
    // The checks of the message before any command: composition, sender and recipients, line safety,
    // size. Their failures are EMessageInvalid.
    void CheckMessage();
    // QUIT after a refused opening, its reply waited for only kQuitWaitMs; the socket is closed whatever
    // comes. Raises nothing: the refusal is the failure to report.
    void QuitBriefly() noexcept;
    // Closes the socket without a word to the server; a failure to close changes nothing for the caller.
    void CloseNow() noexcept;
    // Body text as it goes after DATA: each line ended by CR LF, a leading dot doubled.
    void AppendBodyLine(const std::string& line);

    bool busy_ = false;
    TExStringList final_header_;
    MemoryStream body_stream_;
    std::string boundary_;
    std::mt19937 random_;
};

}  // namespace tarnwell

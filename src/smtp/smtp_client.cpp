#include "smtp/smtp_client.h"

#include <algorithm>

#include "files/file_status.h"
#include "smtp/line_safety.h"
#include "smtp/peer_text.h"
#include "smtp/smtp_reply.h"
#include "text/cp1251_literal.h"

namespace tarnwell {

TSmtpClient::TSmtpClient(EventPump* pump) : TSocketSession(pump), random_(std::random_device{}()) {
    Port = 25;
}

namespace {

// 2xx and 3xx: the server goes on with what was asked. Anything else accepts nothing.
bool Accepting(int number) {
    return number >= 200 && number < 400;
}

}  // namespace

void TSmtpClient::CloseNow() noexcept {
    try {
        CloseSocket();
    } catch (...) {
        // The handle is released whatever the system says; the failure that led here is the one to report.
    }
}

std::string TSmtpClient::ReadReplyLine() {
    std::string line;
    try {
        line = ReadLn();
    } catch (const ETimeOutError&) {
        CloseNow();
        throw;
    }
    if (line.empty() || line.back() == '\n') return line;
    CloseNow();
    // A line that fills the whole buffer has more behind it: no reply is that long, and reading it on
    // would only hand out its pieces as further replies.
    if (line.size() >= kLineBufferSize) {
        throw ESmtpReplyError("Server reply line longer than " + std::to_string(kLineBufferSize) + " bytes");
    }
    // What was read before the connection broke: as the empty reply of a closed connection.
    return {};
}

void TSmtpClient::ReadReply() {
    std::string line = ReadReplyLine();
    if (!line.empty() && !IsReplyLine(line)) {
        TakeReply(line, false);
        CloseNow();
        throw InvalidReply(line);
    }
    TakeReply(std::move(line));
}

void TSmtpClient::ReadContinuation(std::vector<std::string>* lines_read) {
    std::string line = LastReply();
    if (lines_read) lines_read->assign(1, line);
    int lines = 1;
    while (!line.empty() && (line[0] == ' ' || (line.size() >= 4 && line[3] == '-'))) {
        // A server that keeps sending continuation lines would never let the time-out fire: bound them.
        if (++lines > kMaxReplyLines) {
            CloseNow();
            throw ESmtpReplyError("Server reply longer than " + std::to_string(kMaxReplyLines) + " lines");
        }
        line = ReadReplyLine();
        if (!line.empty()) ReportStatus(1, line);
        SetLastReply(line);
        if (lines_read) lines_read->push_back(line);
        if (!line.empty() && line[0] != ' ' && !IsReplyLine(line)) {
            CloseNow();
            throw InvalidReply(line);
        }
        // The reply's number is its first line's; a later line with another number would let the first
        // line accept what the last one refuses.
        if (!line.empty() && line[0] != ' ' && std::stoi(line.substr(0, 3)) != ReplyNumber()) {
            CloseNow();
            throw ESmtpReplyError("Invalid server reply: the lines of one reply carry different numbers");
        }
    }
}

std::string TSmtpClient::ReplyText() const {
    return PeerText(LastReply());
}

void TSmtpClient::CheckAccepted() {
    // An empty reply is what a connection closed by the server gives; it accepts nothing.
    if (LastReply().empty()) throw ENotConnected();
    if (!Accepting(ReplyNumber())) throw ESmtpRefused(ReplyText());
}

std::string TSmtpClient::Transaction(std::string_view command) {
    return Exchange(command, nullptr);
}

std::string TSmtpClient::Exchange(std::string_view command, std::vector<std::string>* lines) {
    ReportStatus(8, "Transaction");
    try {
        Writeln(command);
    } catch (const ETimeOutError&) {
        CloseNow();
        throw;
    }
    // Every reply is read to its last line, so that a multi-line reply to one command is never taken
    // for the replies of the commands after it; the whole of it within one time-out.
    TimeOutSpan one_reply(*this);
    ReadReply();
    ReadContinuation(lines);
    return LastReply();
}

void TSmtpClient::Connect() {
    // A Connect started while a send or another Connect runs goes ahead but leaves Busy to that one.
    const bool sets_busy = !busy_;
    busy_ = true;
    try {
        CheckLineSafe("UserID", UserID);
        CheckLineSafe("Domain", Domain);
        if (Security == ssNone && !Password.empty()) {
            using namespace literals;
            throw ESmtpSetupError(
                std::string("Пароль не отправляется без шифрования: выберите для \"Защита:\" STARTTLS или TLS"_cp));
        }
        // Found before the server is troubled, not after the greeting.
        if (Security != ssNone && !CAFile.empty() && NoFileThere(CAFile)) {
            throw ESmtpSetupError("TLS: cannot read the certificate file " + CAFile + ": no such file");
        }
        TSocketSession::Connect();
        try {
            if (Security == ssTls) StartTls(Host, CAFile);
            {
                TimeOutSpan greeting(*this);
                ReadReply();
                ReadContinuation();
            }
            CheckAccepted();
            if (Security == ssNone && Password.empty()) {
                Helo();
            } else {
                OpenExtended();
            }
        } catch (...) {
            // The session is ended before the failure is passed on (with QUIT, unless it is closed
            // already); a failure of that ending would only hide the one that matters.
            if (Security != ssNone && !TlsActive()) {
                CloseNow();
            } else if (Connected()) {
                QuitBriefly();
            }
            throw;
        }
    } catch (...) {
        if (sets_busy) busy_ = false;
        throw;
    }
    if (sets_busy) busy_ = false;
    if (OnConnect) OnConnect(*this);
}

void TSmtpClient::Helo() {
    for (int failures = 0;; ++failures) {
        Transaction("HELO " + UserID);
        if (LastReply().empty()) throw ENotConnected();
        if (ReplyNumber() >= 200 && ReplyNumber() < 300) break;
        if (failures > 0 || !OnAuthenticationFailed) throw ESmtpRefused("Authentication failed");
        bool handled = false;
        OnAuthenticationFailed(handled);
        if (!handled) throw ESmtpRefused("Authentication failed");
        CheckLineSafe("UserID", UserID);
    }
}

void TSmtpClient::CheckMessage() {
    try {
        BuildMessage();
    } catch (const Error& e) {
        throw EMessageInvalid(e.what());
    }
    CheckConnection();
    try {
        TMailMessage& m = PostMessage;
        auto incomplete = [&m] {
            return m.FromAddress.empty() ||
                   (m.ToAddress.empty() && m.ToCarbonCopy.empty() && m.ToBlindCarbonCopy.empty());
        };
        for (int asked = 0; incomplete(); ++asked) {
            if (asked > 0 || !OnHeaderIncomplete) throw Error("Incomplete Header");
            bool handled = false;
            OnHeaderIncomplete(handled, m.FromAddress.empty() ? 1 : 2);
            if (!handled) throw Error("Incomplete Header");
        }
        // Checked again here: the repair above may have changed the envelope after the header was made.
        CheckEnvelopeSafe(m);
        // The header goes out in one Write, which refuses more than 65535 bytes. Refused only after DATA,
        // it would leave the server reading message text, and the next send's commands would become a
        // letter: refuse it before the first command instead.
        if (final_header_.Text().size() + 4 > kMaxWriteBytes) throw ERangeError();
    } catch (const Error& e) {
        throw EMessageInvalid(e.what());
    }
}

void TSmtpClient::SendMailMessage() {
    if (busy_) return;
    bool sent = false;
    busy_ = true;
    try {
        CheckMessage();
        TMailMessage& m = PostMessage;
        if (OnSendStart) OnSendStart(*this);

        Transaction("RSET");
        CheckAccepted();
        Transaction("MAIL FROM:<" + m.FromAddress + ">");
        CheckAccepted();
        for (const auto* list : {&m.ToAddress, &m.ToCarbonCopy, &m.ToBlindCarbonCopy}) {
            for (const std::string& entry : *list) {
                std::string address = ExtractAddress(entry);
                if (address.empty()) continue;
                Transaction("RCPT TO:<" + address + ">");
                if (LastReply().empty()) throw ENotConnected();
                const bool refused = ReplyNumber() > 300 || ReplyNumber() < 200;
                if (refused && OnRecipientNotFound) OnRecipientNotFound(entry);
            }
        }
        // Any 2xx or 3xx reply, not only 354, lets the message follow.
        Transaction("DATA");
        CheckAccepted();
        // The header, an empty line, and one more: the body as received begins with an empty line. The
        // three pieces up to the closing dot may travel together.
        SetMoreFollows(true);
        try {
            Write(final_header_.Text() + "\r\n\r\n");
            SendStream(body_stream_);
        } catch (const ETimeOutError&) {
            SetMoreFollows(false);
            CloseNow();
            throw;
        } catch (...) {
            SetMoreFollows(false);
            throw;
        }
        SetMoreFollows(false);
        try {
            Transaction(".");
        } catch (const ESmtpReplyError&) {
            if (OnFailure) OnFailure(*this);
            throw;
        }
        if (!Accepting(ReplyNumber()) || LastReply().empty()) {
            if (OnFailure) OnFailure(*this);
            CheckAccepted();
        }
        sent = true;
        if (ClearParams) ClearParameters();
    } catch (...) {
        busy_ = false;
        throw;
    }
    busy_ = false;
    if (sent && OnSuccess) OnSuccess(*this);
}

void TSmtpClient::QuitBriefly() noexcept {
    const int time_out = TimeOut;
    TimeOut = time_out > 0 ? std::min(time_out, kQuitWaitMs) : kQuitWaitMs;
    try {
        Disconnect();
    } catch (...) {
        // The refusal that led here is the failure to report; Disconnect has closed the socket.
    }
    TimeOut = time_out;
}

void TSmtpClient::Disconnect() {
    ClearCanceled();
    try {
        Transaction("QUIT");
        if (!LastReply().empty() && (ReplyNumber() < 200 || ReplyNumber() > 339)) throw ESmtpRefused(ReplyText());
    } catch (...) {
        TSocketSession::Disconnect();
        throw;
    }
    TSocketSession::Disconnect();
}

void TSmtpClient::ClearParameters() {
    PostMessage.ToAddress.clear();
    PostMessage.ToCarbonCopy.clear();
    PostMessage.ToBlindCarbonCopy.clear();
    PostMessage.Attachments.clear();
}

}  // namespace tarnwell

#include "smtp/smtp_client.h"

#include "smtp/line_safety.h"

namespace tarnwell {

TSmtpClient::TSmtpClient(EventPump* pump) : TSocketSession(pump), random_(std::random_device{}()) {
    Port = 25;
}

void TSmtpClient::ReadContinuation() {
    std::string line = LastReply();
    int lines = 1;
    while (!line.empty() && (line[0] == ' ' || (line.size() >= 4 && line[3] == '-'))) {
        // A server that keeps sending continuation lines would never let the time-out fire: bound them.
        if (++lines > kMaxReplyLines) throw Error("Server reply longer than " + std::to_string(kMaxReplyLines) + " lines");
        line = ReadLn();
        if (!line.empty()) ReportStatus(1, line);
        SetLastReply(line);
    }
}

void TSmtpClient::CheckReply(int refused_from) {
    // An empty reply is what a connection closed by the server gives; it accepts nothing.
    if (LastReply().empty()) throw Error("Not Connected");
    if (ReplyNumber() >= refused_from) throw Error(LastReply());
}

void TSmtpClient::Connect() {
    // A Connect started while a send or another Connect runs goes ahead but leaves Busy to that one.
    const bool sets_busy = !busy_;
    busy_ = true;
    try {
        CheckLineSafe("UserID", UserID);
        TSocketSession::Connect();
        try {
            TakeReply(ReadLn());
            ReadContinuation();
            CheckReply(400);
            for (int failures = 0;; ++failures) {
                Transaction("HELO " + UserID);
                ReadContinuation();
                if (LastReply().empty()) throw Error("Not Connected");
                if (ReplyNumber() < 300) break;
                if (failures > 0 || !OnAuthenticationFailed) throw Error("Authentication failed");
                bool handled = false;
                OnAuthenticationFailed(handled);
                if (!handled) throw Error("Authentication failed");
                CheckLineSafe("UserID", UserID);
            }
        } catch (...) {
            // The session is ended before the failure is passed on; a failure of that ending would
            // only hide the one that matters.
            try {
                if (Connected()) Disconnect();
            } catch (...) {
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

void TSmtpClient::SendMailMessage() {
    if (busy_) return;
    bool sent = false;
    busy_ = true;
    try {
        BuildMessage();
        CheckConnection();
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
        if (OnSendStart) OnSendStart(*this);

        Transaction("RSET");
        CheckReply(400);
        Transaction("MAIL FROM:<" + m.FromAddress + ">");
        CheckReply(400);
        for (const auto* list : {&m.ToAddress, &m.ToCarbonCopy, &m.ToBlindCarbonCopy}) {
            for (const std::string& entry : *list) {
                std::string address = ExtractAddress(entry);
                if (address.empty()) continue;
                Transaction("RCPT TO:<" + address + ">");
                if (ReplyNumber() > 300 && OnRecipientNotFound) OnRecipientNotFound(entry);
            }
        }
        // Any reply below 400, not only 354, lets the message follow.
        Transaction("DATA");
        CheckReply(400);
        // The header, an empty line, and one more: the body as received begins with an empty line. The
        // three pieces up to the closing dot may travel together.
        SetMoreFollows(true);
        try {
            Write(final_header_.Text() + "\r\n\r\n");
            SendStream(body_stream_);
        } catch (...) {
            SetMoreFollows(false);
            throw;
        }
        SetMoreFollows(false);
        Transaction(".");
        if (ReplyNumber() >= 400 || LastReply().empty()) {
            if (OnFailure) OnFailure(*this);
            CheckReply(400);
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

void TSmtpClient::Disconnect() {
    ClearCanceled();
    try {
        Transaction("QUIT");
        if (ReplyNumber() > 339) throw Error(LastReply());
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

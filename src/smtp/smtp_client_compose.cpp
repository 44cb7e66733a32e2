// Composition of the message that TSmtpClient sends after DATA: the header lines and the body, with the
// multipart layout and encoded files when there are attachments.

#include <cstdint>
#include <ctime>
#include <memory>

#include "smtp/buffer_stream.h"
#include "smtp/header_text.h"
#include "smtp/line_safety.h"
#include "smtp/message_stamp.h"
#include "smtp/smtp_client.h"

namespace tarnwell {
namespace {

// The text goes out as it is, Windows-1251 bytes included.
constexpr const char* kEightBit = "Content-Transfer-Encoding: 8bit";

const char* ContentTypeOf(MailSubType sub_type) {
    switch (sub_type) {
        case mtEnriched:
            return "Content-Type: text/enriched; charset=";
        case mtSgml:
            return "Content-Type: text/sgml; charset=";
        case mtTabSeperated:
            return "Content-Type: text/tab-separated-values; charset=";
        case mtHtml:
            return "Content-Type: text/html; charset=";
        default:
            return "Content-Type: text/plain; charset=";
    }
}

// What follows the last folder separator or drive colon.
std::string FinalComponent(const std::string& path) {
    std::size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

void TSmtpClient::AppendBodyLine(const std::string& line) {
    // A line break inside a line would let the text end the DATA early ("\r\n.\r\n") and smuggle
    // commands after it; such a line goes out as the several lines it holds, each one dot-stuffed.
    std::size_t start = 0;
    for (;;) {
        std::size_t brk = line.find_first_of("\r\n", start);
        std::string_view piece = std::string_view(line).substr(start, brk == std::string::npos ? brk : brk - start);
        if (!piece.empty() && piece.front() == '.') body_stream_.WriteBuffer(".");
        body_stream_.WriteBuffer(piece);
        body_stream_.WriteBuffer("\r\n");
        if (brk == std::string::npos) break;
        start = brk + (line.compare(brk, 2, "\r\n") == 0 ? 2 : 1);
    }
}

void TSmtpClient::BuildMessage() {
    const TMailMessage& m = PostMessage;
    CheckHeaderSafe(m);
    CheckLineSafe("Charset", Charset);

    // Each entry is one whole header line, folded where it is long; text that is not ASCII goes out as
    // encoded words. The body goes out as it is, and the last line says that it is 8-bit text.
    final_header_.Clear();
    final_header_.Add(MailboxHeader("From", m.FromName, m.FromAddress));
    if (!m.ToAddress.empty()) final_header_.Add(AddressListHeader("To", m.ToAddress));
    if (!m.ToCarbonCopy.empty()) final_header_.Add(AddressListHeader("CC", m.ToCarbonCopy));
    if (!m.Subject.empty()) final_header_.Add(TextHeader("Subject", m.Subject));
    if (!m.LocalProgram.empty()) final_header_.Add(TextHeader("X-Mailer", m.LocalProgram));
    if (!m.ReplyTo.empty()) final_header_.Add(AddressListHeader("Reply-To", {m.ReplyTo}));
    // A date given with the message goes out as it is; else the moment of composing.
    const std::time_t now = std::time(nullptr);
    final_header_.Add("Date: " + (m.Date.empty() ? MailDate(now) : m.Date));
    const std::uint64_t random = (static_cast<std::uint64_t>(random_()) << 32) | random_();
    final_header_.Add("Message-ID: " + MessageId(now, random, m.FromAddress));
    final_header_.Add("Mime-Version: 1.0");
    if (!m.Attachments.empty()) {
        std::uniform_int_distribution<int> letter(0, 24);
        boundary_ = "====================54535";
        for (int i = 0; i < 6; ++i) boundary_ += static_cast<char>('a' + letter(random_));
        boundary_ += "====";
        final_header_.Add("Content-Type: multipart/mixed; boundary=\"" + boundary_ + "\"");
    } else {
        final_header_.Add(ContentTypeOf(SubType) + Charset);
    }
    final_header_.Add(kEightBit);

    body_stream_.Clear();
    if (!m.Attachments.empty()) {
        // The text part is always plain text, whatever SubType says.
        body_stream_.WriteBuffer("--" + boundary_ + "\r\nContent-Type: text/plain; charset=" + Charset + "\r\n" +
                                 kEightBit + "\r\n\r\n");
        for (const std::string& line : m.Body) AppendBodyLine(line);
        for (std::size_t i = 1; i <= m.Attachments.size(); ++i) EncodeAttachment(static_cast<int>(i));
        body_stream_.WriteBuffer("--" + boundary_ + "--\r\n");
    } else {
        for (const std::string& line : m.Body) AppendBodyLine(line);
    }
}

void TSmtpClient::EncodeAttachment(int index) {
    const std::string& entry = PostMessage.Attachments.at(static_cast<std::size_t>(index - 1));
    const std::string name = FinalComponent(entry);
    // uuencoded data is not Base64; its part says so.
    const char* encoding = EncodeType == uuCode ? "x-uuencode" : "base64";
    body_stream_.WriteBuffer("--" + boundary_ + "\r\n" + "Content-Type: application/octet-stream; name=\"" + name +
                             "\"\r\n" + "Content-Transfer-Encoding: " + encoding + "\r\n" +
                             "Content-Disposition: attachment; filename=\"" + name + "\"\r\n\r\n");

    MemoryStream encoded;
    {
        TBufferStream output(encoded);
        std::unique_ptr<FileStream> input;
        try {
            input = std::make_unique<FileStream>(entry);
        } catch (const EStreamError&) {
            if (OnAttachmentNotFound) OnAttachmentNotFound(entry);
            throw;
        }
        TUUProcessor processor;
        processor.Method = EncodeType;
        processor.InputStream = input.get();
        processor.OutputStream = &output;
        if (OnEncodeStart) OnEncodeStart(entry);
        processor.Encode();
        if (OnEncodeEnd) OnEncodeEnd(entry);
    }
    // uuencoded lines may begin with a dot (a length of 14 bytes); they are dot-stuffed like the text.
    const std::string& data = encoded.Data();
    for (std::size_t start = 0; start < data.size();) {
        std::size_t end = data.find('\n', start);
        end = end == std::string::npos ? data.size() : end + 1;
        if (data[start] == '.') body_stream_.WriteBuffer(".");
        body_stream_.WriteBuffer(std::string_view(data).substr(start, end - start));
        start = end;
    }
}

}  // namespace tarnwell

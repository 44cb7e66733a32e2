// Messages sent to a real SMTP server (Debian's python3-aiosmtpd) and read back with Python's email
// package: what arrives must be what the program meant to send.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "smtp/smtp_client.h"
#include "smtp_sink.h"
#include "text/cp1251.h"
#include "text/cp1251_literal.h"

namespace tarnwell {
namespace {

using namespace tarnwell::literals;
namespace fs = std::filesystem;

using testing::SmtpSink;

class AiosmtpdTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SmtpSink::Available()) GTEST_SKIP() << "no Debian Python here";
        std::string failure = sink_.Start();
        ASSERT_EQ(failure, "");
        port_ = sink_.Port();
        folder_ = sink_.Folder();
    }

    void Open(TSmtpClient& client) {
        client.Host = "127.0.0.1";
        client.Port = port_;
        client.UserID = "tarnwell";
        client.TimeOut = 10000;
        client.Charset = "windows-1251";
        client.Connect();
    }

    std::string Parsed(int n) { return sink_.Parsed(n); }
    std::string Envelope(int n) { return sink_.Envelope(n); }
    std::string Checked(int n) { return sink_.Checked(n); }

    std::string File(const std::string& name, const std::string& bytes) {
        fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    SmtpSink sink_;
    fs::path folder_;
    int port_ = 0;
};

// A leaf part as the reader prints it: type, charset and file name, then the decoded bytes.
std::string Part(const std::string& description, const std::string& payload) {
    return "part " + description + "\npayload " + SmtpSink::Hex(payload) + "\n";
}

// The names of the header lines, in their order, as the reader prints them.
std::string HeaderNames(const std::string& parsed) {
    std::string names;
    for (std::size_t at = parsed.find("header "); at != std::string::npos; at = parsed.find("\nheader ", at + 1)) {
        const std::size_t start = parsed[at] == '\n' ? at + 8 : at + 7;
        names += parsed.substr(start, parsed.find(' ', start) - start) + " ";
    }
    return names;
}

// Letters as a mail program reads them: no defect in the header, the sender's name, the recipients'
// names and the subject back in Cyrillic however long, a Date in local time, an id of their own; and the
// body, 8-bit Windows-1251, byte for byte as it was sent.
TEST_F(AiosmtpdTest, LettersArriveReadableWithTheirBodiesByteForByte) {
    const std::string name(std::string_view("Администратор сети"_cp));
    const std::string greeting(std::string_view("Привет, Иван!"_cp));
    const std::string subjects[] = {
        std::string(std::string_view("Наработанный трафик"_cp)),
        std::string(std::string_view("Наработанный трафик за текущий месяц: скачано, отправлено, остаток лимита"_cp)),
    };
    const std::string to[] = {"ivan@corp.ru", std::string(std::string_view("Ольга Петрова <olga@corp.ru>"_cp))};
    TSmtpClient client;
    Open(client);
    for (int i = 0; i < 2; ++i) {
        client.PostMessage.FromName = name;
        client.PostMessage.FromAddress = "admin@corp.ru";
        client.PostMessage.Subject = subjects[i];
        client.PostMessage.ToAddress = {to[i]};
        client.PostMessage.Body = {greeting, ".", ".x", "", "..two", "end."};
        client.SendMailMessage();
    }
    client.Disconnect();

    const std::string text = "\r\n" + greeting + "\r\n.\r\n.x\r\n\r\n..two\r\nend.\r\n";
    const std::string to_read[] = {" ivan@corp.ru", SmtpSink::Hex(Cp1251ToUtf8("Ольга Петрова"_cp)) + " olga@corp.ru"};
    std::string ids;
    for (int i = 0; i < 2; ++i) {
        const int n = i + 1;
        EXPECT_EQ(Envelope(n), i == 0 ? "admin@corp.ru\nivan@corp.ru\n" : "admin@corp.ru\nolga@corp.ru\n");
        const std::string parsed = Parsed(n);
        EXPECT_EQ(HeaderNames(parsed),
                  "From To Subject Date Message-ID Mime-Version Content-Type "
                  "Content-Transfer-Encoding ");
        EXPECT_EQ(parsed.substr(parsed.find("part ")), Part("text/plain windows-1251 -", text));
        EXPECT_EQ(SmtpSink::Field(parsed, "header Content-Transfer-Encoding"), SmtpSink::Hex("8bit"));

        const std::string checked = Checked(n);
        EXPECT_EQ(SmtpSink::Field(checked, "defects"), "") << checked;
        EXPECT_EQ(SmtpSink::Field(checked, "from"), SmtpSink::Hex(Cp1251ToUtf8(name)) + " admin@corp.ru");
        EXPECT_EQ(SmtpSink::Field(checked, "to"), to_read[i]);
        EXPECT_EQ(SmtpSink::Field(checked, "subject"), SmtpSink::Hex(Cp1251ToUtf8(subjects[i])));
        EXPECT_EQ(SmtpSink::Field(checked, "date-local"), "True");
        EXPECT_LE(std::stoi(SmtpSink::Field(checked, "longest-header-line")), 78);
        EXPECT_NE(SmtpSink::Field(checked, "message-id"), ids);
        ids = SmtpSink::Field(checked, "message-id");
    }
}

TEST_F(AiosmtpdTest, AttachmentsDecodeBackToTheirBytes) {
    std::string bytes;
    for (int i = 0; i < 1031; ++i) bytes += static_cast<char>((i * 37 + 11) % 256);
    const std::string binary = File("data.bin", bytes);
    const std::string dotted = File("dot.bin", "fourteen bytes");  // uuencoded, its line begins with "."
    TSmtpClient client;
    Open(client);
    client.SubType = mtHtml;
    for (UUMethod method : {uuMime, uuCode}) {
        client.EncodeType = method;
        client.PostMessage.FromAddress = "admin@corp.ru";
        client.PostMessage.ToAddress = {"ivan@corp.ru"};
        client.PostMessage.Body = {"See the files.", ".hidden"};
        client.PostMessage.Attachments = {binary, dotted};
        client.SendMailMessage();
    }
    client.Disconnect();

    for (int n : {1, 2}) {
        std::string parsed = Parsed(n);
        std::string parts = parsed.substr(parsed.find("part "));
        EXPECT_EQ(parts, Part("text/plain windows-1251 -", "See the files.\r\n.hidden") +
                             Part("application/octet-stream - data.bin", bytes) +
                             Part("application/octet-stream - dot.bin", "fourteen bytes"))
            << (n == 1 ? "Base64" : "uuencode");
    }
}

}  // namespace
}  // namespace tarnwell

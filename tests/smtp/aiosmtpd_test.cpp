// Messages sent to a real SMTP server (Debian's python3-aiosmtpd) and read back with Python's email
// package: what arrives must be what the program meant to send.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "smtp/smtp_client.h"
#include "smtp_sink.h"
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

    std::string File(const std::string& name, const std::string& bytes) {
        fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    SmtpSink sink_;
    fs::path folder_;
    int port_ = 0;
};

std::string Header(const std::string& name, const std::string& value) {
    return "header " + name + " " + SmtpSink::Hex(value) + "\n";
}

// A leaf part as the reader prints it: type, charset and file name, then the decoded bytes.
std::string Part(const std::string& description, const std::string& payload) {
    return "part " + description + "\npayload " + SmtpSink::Hex(payload) + "\n";
}

TEST_F(AiosmtpdTest, LettersArriveWithTheirHeadersCharsetAndDottedLines) {
    const std::string subject(std::string_view("Наработанный трафик"_cp));
    const std::string name(std::string_view("Администратор"_cp));
    const std::string greeting(std::string_view("Привет, Иван!"_cp));
    TSmtpClient client;
    Open(client);
    for (const char* to : {"ivan@corp.ru", "olga@corp.ru"}) {
        client.PostMessage.FromName = name;
        client.PostMessage.FromAddress = "admin@corp.ru";
        client.PostMessage.Subject = subject;
        client.PostMessage.ToAddress = {to};
        client.PostMessage.Body = {greeting, ".", ".x", "", "..two", "end."};
        client.SendMailMessage();
    }
    client.Disconnect();

    for (int n : {1, 2}) {
        const std::string to = n == 1 ? "ivan@corp.ru" : "olga@corp.ru";
        EXPECT_EQ(Envelope(n), "admin@corp.ru\n" + to + "\n");
        const std::string text = "\r\n" + greeting + "\r\n.\r\n.x\r\n\r\n..two\r\nend.\r\n";
        EXPECT_EQ(Parsed(n), Header("From", name + "<admin@corp.ru>") + Header("To", to) + Header("Subject", subject) +
                                 Header("Mime-Version", "1.0") +
                                 Header("Content-Type", "text/plain; charset=windows-1251") +
                                 Part("text/plain windows-1251 -", text));
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
    for (TUUMethod method : {uuMime, uuCode}) {
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

// Letters over TLS and with a login, to a real SMTP server (aiosmtpd) with a throw-away certificate: what
// arrives must be what was sent, and where TLS cannot be had or the login is refused nothing arrives and
// nothing but EHLO and STARTTLS was sent unencrypted.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>
#endif

#include "smtp/smtp_client.h"
#include "smtp/sock_error.h"
#include "smtp_sink.h"
#include "text/cp1251.h"
#include "text/cp1251_literal.h"

namespace tarnwell {
namespace {

using namespace tarnwell::literals;
using testing::SmtpSink;

const std::string kBody(std::string_view("Привет, Иван!"_cp));
const std::string kSubject(std::string_view("Наработанный трафик"_cp));

class AiosmtpdTlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SmtpSink::Available()) GTEST_SKIP() << "no Debian Python here";
        ASSERT_EQ(sink_.MakeCertificate(), "");
    }

    void Start(const testing::SinkOptions& options) { ASSERT_EQ(sink_.Start(options), ""); }

    // A client for the sink; trusting the test's certificate unless told otherwise.
    void SetUpClient(TSmtpClient& client, SmtpSecurity security, const std::string& password, bool trusted = true) {
        client.Host = security == ssTls ? "127.0.0.1" : "localhost";
        client.Port = sink_.Port();
        client.UserID = "admin";
        client.Domain = "corp.ru";
        client.Security = security;
        client.Password = password;
        client.CAFile = trusted ? sink_.CertFile().string() : "";
        client.TimeOut = 10000;
        client.Charset = "windows-1251";
    }

    // The certificate and its key, for another server.
    void CopyCertificate(const SmtpSink& to) const {
        for (const char* name : {"cert.pem", "key.pem"})
            std::filesystem::copy_file(sink_.Folder() / name, to.Folder() / name);
    }

    static void SendLetters(TSmtpClient& client) {
        client.Connect();
        for (const char* to : {"ivan@corp.ru", "olga@corp.ru"}) {
            client.PostMessage.FromAddress = "admin@corp.ru";
            client.PostMessage.Subject = kSubject;
            client.PostMessage.ToAddress = {to};
            client.PostMessage.Body = {kBody, ".dot"};
            client.SendMailMessage();
        }
        client.Disconnect();
    }

    // SendLetters, and the text of its error, or "<no error>".
    static std::string ErrorOfSendingLetters(TSmtpClient& client) {
        try {
            SendLetters(client);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "<no error>";
    }

    SmtpSink sink_;
};

TEST_F(AiosmtpdTlsTest, LettersArriveOverTlsWithALogin) {
    struct Case {
        const char* what;
        testing::SinkOptions server;
        SmtpSecurity security;
        std::string password;
        std::string clear_text;  // what the server received unencrypted
    } cases[] = {
        {"STARTTLS, AUTH PLAIN", {"starttls", "admin", "s3cret", "PLAIN"}, ssStartTls, "s3cret",
         "EHLO corp.ru\r\nSTARTTLS\r\n"},
        {"STARTTLS, AUTH LOGIN", {"starttls", "admin", "s3cret", "LOGIN"}, ssStartTls, "s3cret",
         "EHLO corp.ru\r\nSTARTTLS\r\n"},
        {"STARTTLS, no login", {"starttls", "", "", ""}, ssStartTls, "", "EHLO corp.ru\r\nSTARTTLS\r\n"},
        {"TLS from the first byte, AUTH PLAIN", {"tls", "admin", "s3cret", ""}, ssTls, "s3cret", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SmtpSink sink;
        CopyCertificate(sink);
        ASSERT_EQ(sink.Start(c.server), "");
        TSmtpClient client;
        SetUpClient(client, c.security, c.password);
        client.Port = sink.Port();
        ASSERT_NO_THROW(SendLetters(client));

        ASSERT_EQ(sink.MessageCount(), 2);
        EXPECT_EQ(sink.Envelope(1), "admin@corp.ru\nivan@corp.ru\n");
        EXPECT_EQ(sink.Envelope(2), "admin@corp.ru\nolga@corp.ru\n");
        const std::string parsed = sink.Parsed(2);
        EXPECT_EQ(SmtpSink::Field(parsed, "payload"), SmtpSink::Hex("\r\n" + kBody + "\r\n.dot\r\n"));
        const std::string checked = sink.Checked(2);
        EXPECT_EQ(SmtpSink::Field(checked, "defects"), "") << checked;
        EXPECT_EQ(SmtpSink::Field(checked, "subject"), SmtpSink::Hex(Cp1251ToUtf8(kSubject)));
        EXPECT_EQ(sink.ClearText(), c.clear_text);
    }
}

TEST_F(AiosmtpdTlsTest, NoLetterWhenTlsOrTheLoginFails) {
    struct Case {
        const char* what;
        testing::SinkOptions server;
        SmtpSecurity security;
        bool trusted;
        std::string password;
        std::string host;        // empty: as SetUpClient chooses
        std::string cert_name;   // empty: the certificate for localhost and 127.0.0.1
        std::string error;       // the start of the message
        std::string clear_text;  // what the server received unencrypted
    } cases[] = {
        {"wrong password",
         {"starttls", "admin", "s3cret", ""},
         ssStartTls,
         true,
         "wrong-one",
         "",
         "",
         "Login refused: 535",
         "EHLO corp.ru\r\nSTARTTLS\r\n"},
        {"untrusted certificate, STARTTLS",
         {"starttls", "admin", "s3cret", ""},
         ssStartTls,
         false,
         "s3cret",
         "",
         "",
         "TLS: the server's certificate did not verify",
         "EHLO corp.ru\r\nSTARTTLS\r\n"},
        {"untrusted certificate, TLS",
         {"tls", "admin", "s3cret", ""},
         ssTls,
         false,
         "s3cret",
         "",
         "",
         "TLS: the server's certificate did not verify",
         ""},
        {"STARTTLS not offered",
         {"plain", "admin", "s3cret", ""},
         ssStartTls,
         true,
         "s3cret",
         "",
         "",
         "The server localhost does not offer STARTTLS",
         "EHLO corp.ru\r\n"},
        {"certificate for another name",
         {"starttls", "admin", "s3cret", ""},
         ssStartTls,
         true,
         "s3cret",
         "localhost",
         "mail.example",
         "TLS: the server's certificate did not verify",
         "EHLO corp.ru\r\nSTARTTLS\r\n"},
        {"certificate for a name, not the address",
         {"tls", "admin", "s3cret", ""},
         ssTls,
         true,
         "s3cret",
         "127.0.0.1",
         "mail.example",
         "TLS: the server's certificate did not verify",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SmtpSink sink;
        if (c.cert_name.empty()) {
            CopyCertificate(sink);
        } else {
            ASSERT_EQ(sink.MakeCertificate(c.cert_name), "");
        }
        ASSERT_EQ(sink.Start(c.server), "");
        TSmtpClient client;
        SetUpClient(client, c.security, c.password, c.trusted);
        client.Port = sink.Port();
        // Trusted, so that only the name can fail.
        if (!c.cert_name.empty()) client.CAFile = sink.CertFile().string();
        if (!c.host.empty()) client.Host = c.host;
        const std::string error = ErrorOfSendingLetters(client);
        EXPECT_EQ(error.substr(0, c.error.size()), c.error) << error;
        EXPECT_EQ(error.find("s3cret"), std::string::npos);
        EXPECT_EQ(error.find("wrong-one"), std::string::npos);
        EXPECT_FALSE(client.Connected());
        EXPECT_EQ(sink.MessageCount(), 0);
        EXPECT_EQ(sink.ClearText(), c.clear_text);
    }
}

// With a password the session logs in, preferring AUTH PLAIN, with AUTH LOGIN when that is all the server
// offers. A refused login, or one the server cannot take, fails Connect, and the password is in no
// message. (A scripted peer over TLS from the first byte: the password never crosses unencrypted.)
TEST_F(AiosmtpdTlsTest, LoginByThePreferredMechanismTheServerOffers) {
    const std::string plain = "AUTH PLAIN AGFkbWluAHMzY3JldA==\r\n";
    const std::string login = "AUTH LOGIN\r\nYWRtaW4=\r\nczNjcmV0\r\n";
    struct Case {
        const char* what;
        std::string extensions;  // the reply to EHLO
        std::vector<std::string> replies;
        std::string transcript;  // up to the first letter's RSET
        std::string error;       // of Connect; empty: the letters go out
    } cases[] = {
        {"PLAIN preferred", "250-sink\r\n250-AUTH LOGIN PLAIN\r\n250 8BITMIME\r\n", {"235 ok\r\n"}, plain, ""},
        {"LOGIN alone", "250-sink\r\n250 AUTH LOGIN\r\n", {"334 VXNlcm5hbWU6\r\n", "334 UGFzc3dvcmQ6\r\n", "235 ok\r\n"},
         login, ""},
        {"old AUTH= form", "250-sink\r\n250 AUTH=LOGIN\r\n",
         {"334 VXNlcm5hbWU6\r\n", "334 UGFzc3dvcmQ6\r\n", "235 ok\r\n"}, login, ""},
        {"refused", "250-sink\r\n250 AUTH PLAIN\r\n", {"535 5.7.8 bad credentials\r\n", "221 bye\r\n"},
         plain + "QUIT\r\n", "Login refused: 535 5.7.8 bad credentials"},
        {"LOGIN refused at the password", "250-sink\r\n250 AUTH LOGIN\r\n",
         {"334 VXNlcm5hbWU6\r\n", "334 UGFzc3dvcmQ6\r\n", "535 no\r\n", "221 bye\r\n"}, login + "QUIT\r\n",
         "Login refused: 535 no"},
        {"no mechanism of ours", "250-sink\r\n250 AUTH CRAM-MD5\r\n", {"221 bye\r\n"}, "QUIT\r\n",
         "The server 127.0.0.1 offers no login by AUTH PLAIN or AUTH LOGIN"},
        {"no AUTH at all", "250 sink\r\n", {"221 bye\r\n"}, "QUIT\r\n",
         "The server 127.0.0.1 offers no login by AUTH PLAIN or AUTH LOGIN"},
    };
    const std::vector<std::string> letters = {"250 reset\r\n", "250 sender ok\r\n", "250 recipient ok\r\n",
                                              "354 go ahead\r\n", "250 queued\r\n"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> replies{c.extensions};
        replies.insert(replies.end(), c.replies.begin(), c.replies.end());
        if (c.error.empty()) {
            for (int letter = 0; letter < 2; ++letter) replies.insert(replies.end(), letters.begin(), letters.end());
            replies.push_back("221 bye\r\n");
        }
        SmtpSink sink;
        CopyCertificate(sink);
        ASSERT_EQ(sink.StartScript(SmtpSink::TlsSmtpSteps("220 ready\r\n", replies)), "");
        TSmtpClient client;
        SetUpClient(client, ssTls, "s3cret");
        client.Port = sink.Port();
        const std::string error = ErrorOfSendingLetters(client);
        EXPECT_EQ(error, c.error.empty() ? "<no error>" : c.error);
        EXPECT_EQ(error.find("s3cret"), std::string::npos);
        EXPECT_FALSE(client.Connected());
        const std::string expected = "EHLO corp.ru\r\n" + c.transcript + (c.error.empty() ? "RSET\r\n" : "");
        const std::string received = sink.Received();
        EXPECT_EQ(received.substr(0, expected.size()), expected);
        if (!c.error.empty()) {
            EXPECT_EQ(received, expected);
        }
    }
}

// A peer that hangs up in the middle of opening a protected session ends the session with an error, never
// the program with a signal. The test runs with SIGPIPE at its default disposition (it ends the process),
// so only the protection of the session's own writes, OpenSSL's included, passes it.
TEST_F(AiosmtpdTlsTest, APeerThatHangsUpDuringTlsEndsTheSessionNotTheProgram) {
#ifndef _WIN32
    struct sigaction current {};
    ASSERT_EQ(sigaction(SIGPIPE, nullptr, &current), 0);
    ASSERT_EQ(current.sa_handler, SIG_DFL) << "the test must run with SIGPIPE at its default";
#endif
    const std::vector<std::string> starttls = {SmtpSink::SendStep("220 sink\r\n"), "line",
                                               SmtpSink::SendStep("250-sink\r\n250 STARTTLS\r\n"), "line",
                                               SmtpSink::SendStep("220 go ahead\r\n")};
    auto then = [](std::vector<std::string> steps, const std::vector<std::string>& more) {
        steps.insert(steps.end(), more.begin(), more.end());
        return steps;
    };
    struct Case {
        const char* what;
        SmtpSecurity security;
        std::vector<std::string> steps;
    } cases[] = {
        // The handshake's last records may still be on their way: a pause lets the client read them.
        {"STARTTLS: right after its go-ahead", ssStartTls, then(starttls, {"reset"})},
        {"STARTTLS: right after the handshake", ssStartTls, then(starttls, {"tls", "pause 200", "reset"})},
        {"TLS: right after the handshake", ssTls, {"tls", "pause 200", "reset"}},
        {"TLS: right after the greeting", ssTls, {"tls", SmtpSink::SendStep("220 sink\r\n"), "pause 200", "reset"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SmtpSink sink;
        CopyCertificate(sink);
        ASSERT_EQ(sink.StartScript(c.steps), "");
        // Several tries: whether the reset has arrived before a write depends on the timing.
        for (int attempt = 0; attempt < 5; ++attempt) {
            TSmtpClient client;
            SetUpClient(client, c.security, "s3cret");
            client.Port = sink.Port();
            const std::string error = ErrorOfSendingLetters(client);
            EXPECT_NE(error, "<no error>");
            EXPECT_FALSE(client.Connected());
        }
    }
}

// Without TLS and a password the session is the plain one: HELO, the envelope and the letter, in the clear.
TEST_F(AiosmtpdTlsTest, WithoutTlsOrPasswordTheDialogueStaysPlain) {
    Start(testing::SinkOptions{});
    TSmtpClient client;
    SetUpClient(client, ssNone, "");
    client.UserID = "tarnwell";
    SendLetters(client);
    ASSERT_EQ(sink_.MessageCount(), 2);
    const std::string clear = sink_.ClearText();
    EXPECT_EQ(clear.substr(0, 78),
              "HELO tarnwell\r\nRSET\r\nMAIL FROM:<admin@corp.ru>\r\nRCPT TO:<ivan@corp.ru>\r\nDATA\r\n");
    EXPECT_EQ(clear.substr(clear.size() - 11), "\r\n.\r\nQUIT\r\n");
}

}  // namespace
}  // namespace tarnwell

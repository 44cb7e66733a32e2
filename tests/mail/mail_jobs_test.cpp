#include <gtest/gtest.h>

#include <chrono>

#include "mail/mail_jobs.h"
#include "scripted_server.h"
#include "text/cp1251_literal.h"

namespace tarnwell {
namespace {

using namespace literals;
using testing::ScriptedServer;
using testing::SmtpScript;

// The window's controls and client, pointed at a scripted server.
class MailJobsTest : public ::testing::Test {
protected:
    void Start(const std::vector<std::string>& replies) {
        server_ = std::make_unique<ScriptedServer>(SmtpScript("220 ready\r\n", replies));
        MailDispatcher::SetUpClient(client_);
        c_.EHost.Text = "127.0.0.1";
        c_.EPort.Text = std::to_string(server_->Port());
        c_.EDomain.Text = "corp.ru";
        c_.EFromAddress.Text = "admin@corp.ru";
        c_.ESGToUser.Text = "boss@corp.ru";
    }
    std::string Transcript() {
        server_->WaitForClientClose();
        return server_->Received();
    }
    static std::size_t Count(const std::string& text, const std::string& part) {
        std::size_t n = 0;
        for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
        return n;
    }

    class RecordingProgress final : public LoadProgress {
    public:
        void Show(int max) override { events.push_back("show " + std::to_string(max)); }
        void Position(int position) override { events.push_back(std::to_string(position)); }
        void Hide() override { events.push_back("hide"); }
        std::vector<std::string> events;
    };

    FormControls c_;
    TSmtpClient client_;
    std::unique_ptr<ScriptedServer> server_;
};

TEST_F(MailJobsTest, LettersGoToTickedUsersAndARefusedOneIsPassedOver) {
    // a is refused at RCPT and then at DATA; c is accepted.
    Start({"250 hello\r\n", "250 reset\r\n", "250 sender ok\r\n", "550 no such user\r\n", "503 no recipients\r\n",
           "250 reset\r\n", "250 sender ok\r\n", "250 ok\r\n", "354 go ahead\r\n", "250 queued\r\n", "221 bye\r\n"});
    TTableGrid grid(11, 6);
    const char* logins[] = {"", "a", "<system>", "b", "c", std::string_view("Сумма"_cp).data()};
    const bool ticked[] = {false, true, true, false, true, true};
    for (int row = 1; row < 6; ++row) {
        grid.SetCellEx(1, row, logins[row]);
        grid.AddCheckBox(0, row, ticked[row]);
    }
    RecordingProgress progress;
    std::tm now{};
    now.tm_year = 126;
    MailDispatcher mail(client_, c_);
    SendPersonalLetters(mail, grid, now, progress);

    const std::string sent = Transcript();
    EXPECT_EQ(Count(sent, "RCPT TO:"), 2u) << sent;
    EXPECT_NE(sent.find("RCPT TO:<a@corp.ru>\r\n"), std::string::npos);
    EXPECT_NE(sent.find("RCPT TO:<c@corp.ru>\r\n"), std::string::npos);
    EXPECT_NE(sent.find(std::string("в интернете на дату 00.01.2026 составляет:"_cp)), std::string::npos);
    EXPECT_EQ(Count(sent, "QUIT\r\n"), 1u);
    EXPECT_FALSE(client_.Connected());
    EXPECT_EQ(progress.events, (std::vector<std::string>{"show 6", "1", "2", "3", "4", "hide"}));
}

TEST_F(MailJobsTest, AServerThatFallsSilentCostsTheJobOneTimeOut) {
    // The server answers HELO, then nothing. Neither the second letter nor the end of the session waits
    // on it again.
    Start({"250 hello\r\n", "<silent>"});
    client_.TimeOut = 400;
    TTableGrid grid(11, 4);
    for (int row = 1; row < 3; ++row) {
        grid.SetCellEx(1, row, "user" + std::to_string(row));
        grid.AddCheckBox(0, row, true);
    }
    MailDispatcher mail(client_, c_);
    std::tm now{};
    auto start = std::chrono::steady_clock::now();
    NoLoadProgress progress;
    SendPersonalLetters(mail, grid, now, progress);
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(380));
    EXPECT_LT(waited, std::chrono::milliseconds(700)) << "one time-out for the whole job";
    EXPECT_FALSE(client_.Connected());
    EXPECT_EQ(Transcript(), "HELO \r\nRSET\r\n");
}

TEST_F(MailJobsTest, TableGoesAsHtmlAndTheClientIsBackToPlainText) {
    Start({"250 hello\r\n", "250 reset\r\n", "250 sender ok\r\n", "250 ok\r\n", "354 go ahead\r\n", "250 queued\r\n",
           "221 bye\r\n"});
    MailDispatcher mail(client_, c_);
    MailTablePage(mail, [] { return std::vector<std::string>{"<html>", ".x", "</html>"}; });
    const std::string sent = Transcript();
    EXPECT_NE(sent.find("RCPT TO:<boss@corp.ru>\r\n"), std::string::npos);
    EXPECT_NE(sent.find("Content-Type: text/html; charset=windows-1251\r\n"), std::string::npos);
    EXPECT_NE(sent.find("\r\n<html>\r\n..x\r\n</html>\r\n.\r\n"), std::string::npos) << sent;
    EXPECT_EQ(client_.SubType, mtPlain);
    EXPECT_FALSE(client_.Connected());
}

TEST_F(MailJobsTest, PageThatCannotBeWrittenEndsTheSessionAndPassesItsError) {
    Start({"250 hello\r\n", "221 bye\r\n"});
    MailDispatcher mail(client_, c_);
    try {
        MailTablePage(mail, []() -> std::vector<std::string> { throw Error("Cannot Create file x"); });
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Cannot Create file x");
    }
    EXPECT_EQ(Transcript(), "HELO \r\nQUIT\r\n");
    EXPECT_FALSE(client_.Connected());
    EXPECT_EQ(client_.SubType, mtPlain);
}

// The protection, login and trusted certificates of the settings page reach the session; EHLO gives the
// mail domain.
TEST_F(MailJobsTest, TheSettingsPagesProtectionAndLoginReachTheSession) {
    struct Case {
        const char* what;
        int security;
        std::vector<std::string> replies;
        std::string error;       // empty: the table goes out
        std::string transcript;  // its start
    } cases[] = {
        {"STARTTLS chosen, not offered",
         1,
         {"250-sink\r\n250 SIZE 1000\r\n"},
         "The server 127.0.0.1 does not offer STARTTLS",
         "EHLO corp.ru\r\n"},
        {"a password without TLS",
         0,
         {"250-sink\r\n250 AUTH PLAIN\r\n", "235 ok\r\n", "250 reset\r\n", "250 sender ok\r\n", "250 ok\r\n",
          "354 go ahead\r\n", "250 queued\r\n", "221 bye\r\n"},
         "",
         "EHLO corp.ru\r\nAUTH PLAIN AGFkbWluAHB3\r\nRSET\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Start(c.replies);
        c_.EUserID.Text = "admin";
        c_.RGSecurity.SetItemIndex(c.security);
        c_.EPassword.Text = "pw";
        c_.ECAFile.Text = "ca.pem";
        MailDispatcher mail(client_, c_);
        std::string error;
        try {
            MailTablePage(mail, [] { return std::vector<std::string>{"<html></html>"}; });
        } catch (const Error& e) {
            error = e.what();
        }
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(client_.CAFile, "ca.pem");
        const std::string sent = Transcript();
        EXPECT_EQ(sent.substr(0, c.transcript.size()), c.transcript) << sent;
        EXPECT_FALSE(client_.Connected());
    }
}

}  // namespace
}  // namespace tarnwell

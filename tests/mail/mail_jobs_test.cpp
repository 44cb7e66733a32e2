#include <gtest/gtest.h>

#include <chrono>

#include "mail/mail_jobs.h"
#include "scripted_server.h"
#include "text/cp1251.h"
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

TEST_F(MailJobsTest, LettersGoToTickedUsersAndARefusedOneIsListed) {
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
    const MailRunAccount account = SendPersonalLetters(mail, grid, now, progress);
    EXPECT_EQ(account.sent, 1);
    ASSERT_EQ(account.not_sent.size(), 1u);
    EXPECT_EQ(account.not_sent[0].address, "a@corp.ru");
    EXPECT_EQ(account.not_sent[0].reason, "550 no such user") << "the recipient's refusal, not DATA's";
    EXPECT_EQ(account.not_tried, 0);
    EXPECT_EQ(account.failure, "");

    const std::string sent = Transcript();
    EXPECT_EQ(Count(sent, "RCPT TO:"), 2u) << sent;
    EXPECT_NE(sent.find("RCPT TO:<a@corp.ru>\r\n"), std::string::npos);
    EXPECT_NE(sent.find("RCPT TO:<c@corp.ru>\r\n"), std::string::npos);
    EXPECT_NE(sent.find(std::string("в интернете на дату 00.01.2026 составляет:"_cp)), std::string::npos);
    EXPECT_EQ(Count(sent, "QUIT\r\n"), 1u);
    EXPECT_FALSE(client_.Connected());
    EXPECT_EQ(progress.events, (std::vector<std::string>{"show 6", "1", "2", "3", "4", "hide"}));
}

// Every letter of a run is accounted for: sent, not sent with its reason (the run goes on), or not tried
// because the session failed (the run ends there, the failure with the line that names the server).
TEST_F(MailJobsTest, ARunAccountsForEveryLetter) {
    const std::vector<std::string> accept = {"250 reset\r\n", "250 sender ok\r\n", "250 ok\r\n",
                                             "354 go ahead\r\n", "250 queued\r\n"};
    auto replies = [&](int accepted, const std::vector<std::string>& then) {
        std::vector<std::string> all = {"250 hello\r\n"};
        for (int i = 0; i < accepted; ++i) all.insert(all.end(), accept.begin(), accept.end());
        all.insert(all.end(), then.begin(), then.end());
        return all;
    };
    const std::vector<std::string> five = {"u1", "u2", "u3", "u4", "u5"};
    struct Case {
        const char* what;
        std::vector<std::string> logins;  // every row ticked
        std::vector<std::string> replies;
        int sent;
        std::vector<std::string> not_sent;  // "address: reason"
        int not_tried;
        std::string failure;  // UTF-8; <port> stands for the server's port
    } cases[] = {
        {"closes after the first of five", five, replies(1, {"<close>"}), 1, {}, 4,
         "Not Connected\nсервер почты 127.0.0.1, порт <port>: сервер закрыл соединение"},
        {"no number to DATA", five, replies(0, {"250 reset\r\n", "250 sender ok\r\n", "250 ok\r\n", "hello\r\n"}),
         0, {}, 5,
         "Invalid server reply: expected three digits, saw 'hello'\nсервер почты 127.0.0.1, порт <port>: сервер "
         "ответил не по протоколу SMTP"},
        {"refusals at each step, the run goes on", {"u1", "u2", "u3", "u4"},
         replies(0, {"250 reset\r\n", "550 \x1b[2Jsender refused\r\n",                                 // u1
                     "250 reset\r\n", "250 sender ok\r\n", "250 ok\r\n", "451 try later\r\n",      // u2
                     "250 reset\r\n", "250 sender ok\r\n", "250 ok\r\n", "354 go\r\n", "552 too big\r\n",  // u3
                     "250 reset\r\n", "250 sender ok\r\n", "250 ok\r\n", "354 go\r\n", "250 queued\r\n",  // u4
                     "221 bye\r\n"}),
         1, {"u1@corp.ru: 550 ?[2Jsender refused", "u2@corp.ru: 451 try later", "u3@corp.ru: 552 too big"}, 0, ""},
        {"refuses the recipient and still takes the data: not sent", {"u1"},
         replies(0, {"250 reset\r\n", "250 sender ok\r\n", "550 no such user\r\n", "354 go\r\n", "250 queued\r\n",
                     "221 bye\r\n"}),
         0, {"u1@corp.ru: 550 no such user"}, 0, ""},
        {"empty and blank logins get no letter", {"", "u2", " \t "}, replies(1, {"221 bye\r\n"}), 1,
         {"строка 1 (): пустой логин", "строка 3 (): пустой логин"}, 0, ""},
        {"QUIT refused after every letter went", {"u1"}, replies(1, {"421 closing down\r\n"}), 1, {}, 0,
         "421 closing down\nсервер почты 127.0.0.1, порт <port>: сервер отказал"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Start(c.replies);
        const int rows = static_cast<int>(c.logins.size()) + 2;
        TTableGrid grid(11, rows);
        for (int row = 1; row < rows - 1; ++row) {
            grid.SetCellEx(1, row, c.logins[static_cast<std::size_t>(row - 1)]);
            grid.AddCheckBox(0, row, true);
        }
        MailDispatcher mail(client_, c_);
        NoLoadProgress progress;
        const MailRunAccount account = SendPersonalLetters(mail, grid, std::tm{}, progress);
        EXPECT_EQ(account.sent, c.sent);
        std::vector<std::string> not_sent;
        for (const LetterNotSent& letter : account.not_sent) {
            not_sent.push_back(Cp1251ToUtf8(letter.address + ": " + letter.reason));
        }
        EXPECT_EQ(not_sent, c.not_sent);
        EXPECT_EQ(account.not_tried, c.not_tried);
        std::string failure = c.failure;
        if (failure.find("<port>") != std::string::npos) failure.replace(failure.find("<port>"), 6, c_.EPort.Text);
        EXPECT_EQ(Cp1251ToUtf8(account.failure), failure);
        EXPECT_EQ(account.Total(), static_cast<int>(c.logins.size()));
        EXPECT_FALSE(client_.Connected());
        const std::string sent = Transcript();
        EXPECT_EQ(Count(sent, "RCPT TO:<@corp.ru>"), 0u) << "no letter to an empty login";
    }
}

TEST_F(MailJobsTest, AServerThatFallsSilentEndsTheRunAfterOneTimeOut) {
    // The server answers HELO, then nothing. The run ends there: neither the second letter nor the end
    // of the session waits on it again, and both letters count as not tried.
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
    const MailRunAccount account = SendPersonalLetters(mail, grid, now, progress);
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(380));
    EXPECT_LT(waited, std::chrono::milliseconds(700)) << "one time-out for the whole job";
    EXPECT_FALSE(client_.Connected());
    EXPECT_EQ(account.sent, 0);
    EXPECT_EQ(account.not_tried, 2);
    EXPECT_EQ(Cp1251ToUtf8(account.failure),
              "Socket readln aborted\nсервер почты 127.0.0.1, порт " + c_.EPort.Text + ": нет ответа за 400 мс");
    EXPECT_EQ(Transcript(), "HELO \r\nRSET\r\n");
}

TEST_F(MailJobsTest, TableGoesAsHtmlAndTheClientIsBackToPlainText) {
    Start({"250 hello\r\n", "250 reset\r\n", "250 sender ok\r\n", "250 ok\r\n", "354 go ahead\r\n", "250 queued\r\n",
           "221 bye\r\n"});
    MailDispatcher mail(client_, c_);
    const MailRunAccount account =
        MailTablePage(mail, [] { return std::vector<std::string>{"<html>", ".x", "</html>"}; });
    EXPECT_TRUE(account.AllWent());
    EXPECT_EQ(account.sent, 1);
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
    const MailRunAccount account =
        MailTablePage(mail, []() -> std::vector<std::string> { throw Error("Cannot Create file x"); });
    EXPECT_EQ(account.failure, "Cannot Create file x");
    EXPECT_EQ(account.not_tried, 1);
    EXPECT_EQ(Transcript(), "HELO \r\nQUIT\r\n");
    EXPECT_FALSE(client_.Connected());
    EXPECT_EQ(client_.SubType, mtPlain);
}

// The protection, login and trusted certificates of the settings page reach the session, which refuses to
// open as set up where a password would cross in clear or the certificate file is not there.
TEST_F(MailJobsTest, TheSettingsPagesProtectionAndLoginReachTheSession) {
    struct Case {
        const char* what;
        int security;
        std::vector<std::string> replies;
        std::string error;  // the first line of the run's failure
    } cases[] = {
        {"STARTTLS chosen, its certificate file not there",
         1,
         {"250-sink\r\n250 SIZE 1000\r\n"},
         "TLS: cannot read the certificate file ca.pem: no such file"},
        {"a password without TLS is never sent",
         0,
         {"250-sink\r\n250 AUTH PLAIN\r\n", "235 ok\r\n"},
         std::string("Пароль не отправляется без шифрования: выберите для \"Защита:\" STARTTLS или TLS"_cp)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Start(c.replies);
        c_.EUserID.Text = "admin";
        c_.RGSecurity.SetItemIndex(c.security);
        c_.EPassword.Text = "pw";
        c_.ECAFile.Text = "ca.pem";
        MailDispatcher mail(client_, c_);
        const MailRunAccount account =
            MailTablePage(mail, [] { return std::vector<std::string>{"<html></html>"}; });
        // The failure's first line: the second names the server.
        EXPECT_EQ(account.failure.substr(0, account.failure.find('\n')), c.error);
        EXPECT_EQ(client_.CAFile, "ca.pem");
        // Refused before connecting: the server never hears of the client.
        server_->Stop();
        EXPECT_EQ(server_->Received(), "");
        EXPECT_FALSE(client_.Connected());
    }
}

}  // namespace
}  // namespace tarnwell

// The report and mail jobs of the switches, run as the scheduler runs them: the program without a
// display, its exit status, the file it writes and what a real SMTP server receives.

#include <cstdio>

#include "program_fixture.h"
#include "scripted_server.h"

#include "smtp_sink.h"
#include "text/cp1251_literal.h"

namespace tarnwell {
namespace {

using namespace program_testing;
using namespace literals;

// No autorun; the report shows every column but "Полное имя" and "Время в сети"; the letter holds the
// time on line and the monthly limit.
std::vector<std::string> JobSettings(int port) {
    return {"[set]",          "LastPath=",           "[AutoRun]",         "HTML=0",
            "Mail=0",         "MailTable=0",         "[opt]",             "AutoClose=0",
            "AutoSave=0",     "[mail]",              "HTMLPath=export.htm", "Host=127.0.0.1",
            "Port=" + std::to_string(port), "UserID=tarnwell", "Domain=corp.ru", "FromName=Администратор",
            "FromAddress=admin@corp.ru", "Subject=Трафик", "SGToUser=Boss <boss@corp.ru>", "[TableHTML]",
            "FullName=0",     "TimeOnLine=0",        "[MCont]",           "ClientSend=0",
            "ServerRecv=0",   "ClientRecv=0",        "ServerSend=0",      "Time=1",
            "Opening=0",      "Closing=0",           "Limit=1"};
}

const std::string kReport = "users_report.htm";

// "export.htm" is a relative name: it is taken from the program's folder, never from the current one.
TEST_F(ProgramTest, CreateHtmlWritesTheReportIntoTheProgramsFolder) {
    WriteSettings(JobSettings(25));
    ProcessResult r = Run({"/createhtml"});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(ReadFile(Folder() / "export.htm"), ReadFile(Data(kReport)));
    EXPECT_FALSE(fs::exists(WorkFolder() / "export.htm"));
    // The bare table stays beside the program.
    const std::string fragment = ReadFile(Folder() / "grid.tmp");
    EXPECT_EQ(fragment.rfind("<table", 0), 0u);
    EXPECT_NE(ReadFile(Data(kReport)).find(fragment), std::string::npos);
}

// Standard error as the program writes it: "Tarnwell: " and each line; "<port>" in a line stands for the
// port the test's server listens on.
std::string Err(const std::vector<std::string>& lines, int port = 0) {
    std::string text;
    for (std::string line : lines) {
        const std::size_t at = line.find("<port>");
        if (at != std::string::npos) line.replace(at, 6, std::to_string(port));
        text += "Tarnwell: " + line + "\n";
    }
    return text;
}

// The line after a session's failure that names the server and the reason.
std::string Where(const std::string& reason) {
    return "сервер почты 127.0.0.1, порт <port>: " + reason;
}

// The account of a run of `total` letters that ended before any went.
std::vector<std::string> NoneWent(const std::vector<std::string>& failure, int total = 1) {
    std::vector<std::string> lines = failure;
    lines.push_back("Отправлено писем: 0 из " + std::to_string(total));
    lines.push_back("Не отправлялось из-за ошибки: " + std::to_string(total));
    return lines;
}

TEST_F(ProgramTest, MailJobsThatCannotOpenTheSessionEndWithStatusOne) {
    struct Case {
        std::string port;
        std::string argument;
    };
    // Port 1 on the loopback: nothing listens there.
    const Case cases[] = {{"1", "/sendmail"}, {"1", "/sendhtml"}, {"25x", "/sendmail"}, {"25x", "/sendhtml"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port + " " + c.argument);
        std::vector<std::string> settings = JobSettings(0);
        std::replace(settings.begin(), settings.end(), std::string("Port=0"), "Port=" + c.port);
        WriteSettings(settings);
        ProcessResult r = Run({c.argument});
        EXPECT_EQ(r.exit_status, 1);
        if (c.port == "25x") {
            // The text alone names what is wrong: no server was reached for.
            EXPECT_EQ(r.err, Err(NoneWent({"'25x' is not a valid integer value."})));
        } else {
            EXPECT_EQ(r.err, Err(NoneWent({"Connection Failed.",
                                           Where("соединение не установлено (10061:Connection refused)")}),
                                 1));
        }
        EXPECT_FALSE(fs::exists(Folder() / "grid.tmp"));
    }
}

// What the scripted server received, the letters' headers and bodies cut out.
std::string Dialogue(std::string received) {
    for (std::size_t from = 0;;) {
        std::size_t data = received.find("DATA\r\n", from);
        std::size_t dot = data == std::string::npos ? data : received.find("\r\n.\r\n", data);
        if (dot == std::string::npos) break;
        received.replace(data + 6, dot - data - 6, "<letter>");
        from = data + 6;
    }
    return received;
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// A database of `users` users, each with his box ticked, after the first account (whose box the load
// clears): user01, user02, ...
std::string TickedUsers(int users) {
    std::string reg = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase]\r\n";
    for (int i = 0; i <= users; ++i) {
        char login[16];
        std::snprintf(login, sizeof login, "user%02d", i);
        reg += "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase\\" + std::string(login) +
               "]\r\n\"Type\"=\"User\"\r\n\"ClientSendTraffic\"=dword:00000000\r\n\"NonClientRecvTraffic\"=dword:00000000\r\n"
               "\"ClientRecvTraffic\"=dword:00000000\r\n\"NonClientSendTraffic\"=dword:00000000\r\n"
               "\"TimeOnLine\"=dword:00000000\r\n\"OpeningBalanceLo\"=dword:00000000\r\n\"ClosingBalanceLo\"=dword:00000000\r\n";
    }
    return reg;
}

// Hostile and broken peers against /sendmail, as a scheduler runs it. A well-formed refusal of a letter
// lets the run go on and is listed at its end; a failure of the session ends the run there, naming the
// server and telling how many letters went. Either way the exit status is 1 unless every letter went, and
// nothing the server sent reaches standard error raw.
TEST_F(ProgramTest, SendMailAgainstHostilePeers) {
    using namespace testing;
    const std::string huge(10 * 1024 * 1024, 'x');
    const std::vector<std::string> too_long = {"Server reply line longer than 65536 bytes.",
                                               Where("сервер ответил не по протоколу SMTP")};
    const std::vector<std::string> no_number = {"Invalid server reply: expected three digits, saw 'hello'",
                                                Where("сервер ответил не по протоколу SMTP")};
    const std::vector<std::string> closed = {"Not Connected.", Where("сервер закрыл соединение")};
    const std::vector<std::string> letter = {"250 reset\r\n", "250 sender ok\r\n", "250 ok\r\n", "354 go ahead\r\n",
                                             "250 queued\r\n"};
    std::vector<std::string> replies = {"250 hello\r\n"};
    replies.insert(replies.end(), letter.begin(), letter.end());
    replies.push_back("221 bye\r\n");
    // The replies up to the n-th command, then what stands in place of the n-th reply.
    auto then = [&](std::size_t n, const std::string& instead) {
        std::vector<std::string> first(replies.begin(), replies.begin() + static_cast<std::ptrdiff_t>(n));
        first.push_back(instead);
        return SmtpScript("220 ready\r\n", first);
    };
    // Twenty letters, the server gone after the first.
    std::vector<std::string> one_of_twenty = {"250 hello\r\n"};
    one_of_twenty.insert(one_of_twenty.end(), letter.begin(), letter.end());
    one_of_twenty.push_back("<close>");
    const std::string helo = "HELO tarnwell\r\n";
    const std::string rset = helo + "RSET\r\n";
    const std::string mail = rset + "MAIL FROM:<admin@corp.ru>\r\n";
    const std::string rcpt = mail + "RCPT TO:<petrov@corp.ru>\r\n";
    const std::string data = rcpt + "DATA\r\n";
    const std::string sent = data + "<letter>\r\n.\r\n";
    struct Case {
        const char* what;
        std::vector<Step> script;
        int users;  // 0: the test database, where petrov alone gets a letter
        int exit_status;
        std::vector<std::string> err;
        std::size_t letters_received;  // whole letters the server received
        std::string dialogue;          // empty: not compared
    } cases[] = {
        {"10 MB greeting without a line end", {Send("220 " + huge)}, 0, 1, NoneWent(too_long), 0, ""},
        {"10 MB greeting with its line end", {Send("220 " + huge + "\r\n")}, 0, 1, NoneWent(too_long), 0, ""},
        {"over-long reply to HELO", then(0, "250 " + huge + "\r\n"), 0, 1, NoneWent(too_long), 0, helo},
        {"no number to DATA", then(4, "hello\r\n"), 0, 1, NoneWent(no_number), 0, data},
        {"no number to the dot", then(5, "hello\r\n"), 0, 1, NoneWent(no_number), 1, sent},
        {"closes instead of the greeting", {Close()}, 0, 1, NoneWent(closed), 0, ""},
        {"closes instead of answering HELO", then(0, "<close>"), 0, 1, NoneWent(closed), 0, helo},
        {"closes instead of answering RSET", then(1, "<close>"), 0, 1, NoneWent(closed), 0, rset},
        {"closes instead of answering MAIL FROM", then(2, "<close>"), 0, 1, NoneWent(closed), 0, mail},
        {"closes instead of answering RCPT TO", then(3, "<close>"), 0, 1, NoneWent(closed), 0, rcpt},
        {"closes instead of answering DATA", then(4, "<close>"), 0, 1, NoneWent(closed), 0, data},
        {"closes instead of answering the dot", then(5, "<close>"), 0, 1, NoneWent(closed), 1, sent},
        {"closes instead of answering QUIT: every letter went", then(6, "<close>"), 0, 0, {}, 1, sent + "QUIT\r\n"},
        {"closes after the first of twenty letters", SmtpScript("220 ready\r\n", one_of_twenty), 20, 1,
         {"Not Connected.", Where("сервер закрыл соединение"), "Отправлено писем: 1 из 20",
          "Не отправлялось из-за ошибки: 19"},
         1, ""},
        {"refuses the recipient: listed with its reply",
         SmtpScript("220 ready\r\n", {"250 hello\r\n", "250 reset\r\n", "250 sender ok\r\n", "550 no such user\r\n",
                                      "503 no recipients\r\n", "221 bye\r\n"}),
         0, 1, {"Отправлено писем: 0 из 1.", "Не отправлено: petrov@corp.ru: 550 no such user"}, 0,
         data + "QUIT\r\n"},
        {"a greeting that would clear the terminal",
         SmtpScript("554 \x1b[2J\x1b[31mcleared\x1b[0m\x07 go away\r\n", {"221 bye\r\n"}), 0, 1,
         NoneWent({"554 ?[2J?[31mcleared?[0m? go away.", Where("сервер отказал")}), 0, "QUIT\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.users > 0) {
            WriteFile(Folder() / "registry.reg", TickedUsers(c.users));
        } else {
            WriteDatabase(Folder() / "registry.reg");
        }
        ScriptedServer server(c.script);
        WriteSettings(JobSettings(server.Port()));
        ProcessResult r = Run({"/sendmail"});
        EXPECT_EQ(r.exit_status, c.exit_status);
        EXPECT_EQ(r.err, Err(c.err, server.Port()));
        server.WaitForClientClose();
        EXPECT_EQ(Count(server.Received(), "\r\n.\r\n"), c.letters_received);
        if (!c.dialogue.empty()) {
            EXPECT_EQ(Dialogue(server.Received()), c.dialogue);
        }
    }
}

// The same over protected sessions, the peer a script of Debian's Python that speaks TLS. A password is
// never sent unprotected: the run ends before connecting.
TEST_F(ProgramTest, SendMailOverProtectedSessionsAgainstHostilePeers) {
    if (!testing::SmtpSink::Available()) GTEST_SKIP() << "no Debian Python here";
    using testing::SmtpSink;
    auto send = [](const char* text) { return SmtpSink::SendStep(text); };
    // STARTTLS, no password: three letters, the server refuses every recipient (and then DATA).
    std::vector<std::string> refusing = {send("220 sink\r\n"), "line", send("250-sink\r\n250 STARTTLS\r\n"), "line",
                                         send("220 go ahead\r\n"), "tls", "line", send("250 sink\r\n")};
    for (int i = 0; i < 3; ++i) {
        for (const char* reply : {"250 reset\r\n", "250 sender ok\r\n", "550 no such user\r\n", "554 no recipients\r\n"}) {
            refusing.insert(refusing.end(), {"line", send(reply)});
        }
    }
    refusing.insert(refusing.end(), {"line", send("221 bye\r\n")});
    struct Case {
        const char* what;
        std::vector<std::string> steps;  // empty: no peer at all
        std::string security;
        std::string password;
        std::vector<std::string> err;  // the lines, or their start where the last is "..."
    } cases[] = {
        {"STARTTLS, every recipient refused", refusing, "1", "",
         {"Отправлено писем: 0 из 3.", "Не отправлено: user01@corp.ru: 550 no such user",
          "Не отправлено: user02@corp.ru: 550 no such user", "Не отправлено: user03@corp.ru: 550 no such user"}},
        {"TLS, the server hangs up right after its greeting", {"tls", send("220 sink\r\n"), "pause 200", "reset"}, "2",
         "s3cret", {"..."}},
        {"a password with no protection", {}, "0", "s3cret",
         NoneWent({"Пароль не отправляется без шифрования: выберите для \"Защита:\" STARTTLS или TLS."}, 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(Folder() / "registry.reg", TickedUsers(3));
        SmtpSink sink;
        int port = testing::UnusedPort();
        if (!c.steps.empty()) {
            ASSERT_EQ(sink.MakeCertificate(), "");
            ASSERT_EQ(sink.StartScript(c.steps), "");
            port = sink.Port();
        }
        std::vector<std::string> settings = JobSettings(port);
        settings.insert(std::find(settings.begin(), settings.end(), "[mail]") + 1,
                        {"Security=" + c.security, "Password=" + c.password, "CAFile=" + sink.CertFile().string()});
        WriteSettings(settings);
        ProcessResult r = Run({"/sendmail"});
        EXPECT_EQ(r.exit_status, 1);
        if (c.err.back() == "...") {
            // What the channel says of the hang-up differs with the timing; it is a message and a line
            // that names the server, and an account, never a death by a signal.
            EXPECT_NE(r.err.find("\nTarnwell: сервер почты 127.0.0.1, порт " + std::to_string(port)), std::string::npos)
                << r.err;
            EXPECT_NE(r.err.find("\nTarnwell: Отправлено писем: 0 из 3\n"), std::string::npos) << r.err;
        } else {
            EXPECT_EQ(r.err, Err(c.err, port));
        }
        if (!c.steps.empty()) {
            EXPECT_EQ(Count(sink.Received(), "\r\n.\r\n"), 0u);
        }
    }
}

class MailProgramTest : public ProgramTest {
protected:
    void SetUp() override {
        if (!testing::SmtpSink::Available()) GTEST_SKIP() << "no Debian Python here";
        ProgramTest::SetUp();
        ASSERT_EQ(sink_.Start(), "");
        WriteSettings(JobSettings(sink_.Port()));
    }
    std::string Message(int n) const {
        return testing::SmtpSink::ReadFile(sink_.Folder() / ("msg-" + std::to_string(n) + ".eml"));
    }
    // Message n as a mail program reads it: no defect, the sender's name and the subject in Cyrillic, a
    // Date in local time, no header line over 78 characters, the body 8-bit.
    void ExpectReadable(int n) const {
        const std::string checked = sink_.Checked(n);
        const std::string expected[] = {
            "defects \n",
            "from " + testing::SmtpSink::Hex("Администратор") + " admin@corp.ru\n",
            "subject " + testing::SmtpSink::Hex("Трафик") + "\n",
            "date-local True\n",
        };
        for (const std::string& line : expected) EXPECT_NE(checked.find(line), std::string::npos) << line << checked;
        const std::size_t longest = checked.find("longest-header-line ");
        ASSERT_NE(longest, std::string::npos) << checked;
        EXPECT_LE(std::stoi(checked.substr(longest + 20)), 78);
        EXPECT_NE(Message(n).find("\r\nContent-Transfer-Encoding: 8bit\r\n"), std::string::npos);
    }

    testing::SmtpSink sink_;
};

TEST_F(MailProgramTest, SendMailSendsEveryTickedUserHisLetter) {
    ProcessResult r = Run({"/sendmail"});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_status, 0);
    // Of the three users only petrov has his box ticked: the first account's is cleared, ivanov's is off.
    ASSERT_EQ(sink_.MessageCount(), 1);
    EXPECT_EQ(sink_.Envelope(1), "admin@corp.ru\npetrov@corp.ru\n");
    const std::string message = Message(1);
    ExpectReadable(1);
    const std::string lines[] = {
        "Content-Type: text/plain; charset=windows-1251\r\n",
        std::string("(petrov) за текущий месяц трафик, наработанный вами\r\n\r\nв интернете на дату "_cp),
        std::string(" составляет:\r\n\r\n\r\nОбщее время          0  секунд\r\n\r\n"
                    "Ежемесячный лимит    Не установлено\r\n"_cp),
    };
    for (const std::string& line : lines) EXPECT_NE(message.find(line), std::string::npos) << Cp1251ToUtf8(line);
}

TEST_F(MailProgramTest, SendHtmlMailsTheReportPageToTheTableAddress) {
    ProcessResult r = Run({"/sendhtml"});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_status, 0);
    ASSERT_EQ(sink_.MessageCount(), 1);
    EXPECT_EQ(sink_.Envelope(1), "admin@corp.ru\nboss@corp.ru\n");
    ExpectReadable(1);
    const std::string message = Message(1);
    EXPECT_NE(message.find("To: Boss <boss@corp.ru>\r\n"), std::string::npos);
    EXPECT_NE(message.find("Content-Type: text/html; charset=windows-1251\r\n"), std::string::npos);
    EXPECT_NE(message.find("\r\n\r\n\r\n" + ReadFile(Data(kReport))), std::string::npos);
    EXPECT_FALSE(fs::exists(Folder() / "grid.tmp"));
    EXPECT_FALSE(fs::exists(WorkFolder() / "export.htm"));
}

// "HELO" with no name is a syntax error to the server (501): the user is told the greeting failed.
TEST_F(MailProgramTest, AnEmptyUserIdIsRefusedByTheServerAndNothingIsSent) {
    std::vector<std::string> settings = JobSettings(sink_.Port());
    std::replace(settings.begin(), settings.end(), std::string("UserID=tarnwell"), std::string("UserID="));
    WriteSettings(settings);
    ProcessResult r = Run({"/sendmail"});
    EXPECT_EQ(r.err, Err(NoneWent({"Authentication failed.", Where("сервер отказал")}), sink_.Port()));
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(sink_.MessageCount(), 0);
}

}  // namespace
}  // namespace tarnwell

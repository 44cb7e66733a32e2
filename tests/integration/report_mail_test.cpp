// The report and mail jobs of the switches, run as the scheduler runs them: the program without a
// display, its exit status, the file it writes and what a real SMTP server receives.

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

TEST_F(ProgramTest, CreateHtmlWritesTheReportIntoTheCurrentFolder) {
    WriteSettings(JobSettings(25));
    ProcessResult r = Run({"/createhtml"});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(ReadFile(WorkFolder() / "export.htm"), ReadFile(Data(kReport)));
    // The bare table stays beside the program.
    const std::string fragment = ReadFile(Folder() / "grid.tmp");
    EXPECT_EQ(fragment.rfind("<table", 0), 0u);
    EXPECT_NE(ReadFile(Data(kReport)).find(fragment), std::string::npos);
}

TEST_F(ProgramTest, MailJobsThatCannotOpenTheSessionEndWithStatusOne) {
    struct Case {
        std::string port;
        std::string argument;
    };
    // Port 1 on the loopback: nothing listens there.
    const Case cases[] = {{"1", "/sendmail"}, {"1", "/sendhtml"}, {"25x", "/sendmail"}, {"25x", "/sendhtml"}};
    for (const Case& c : cases) {
        std::vector<std::string> settings = JobSettings(0);
        std::replace(settings.begin(), settings.end(), std::string("Port=0"), "Port=" + c.port);
        WriteSettings(settings);
        ProcessResult r = Run({c.argument});
        EXPECT_EQ(r.exit_status, 1) << c.port << " " << c.argument;
        if (c.port == "25x") {
            EXPECT_EQ(r.err, "Tarnwell: '25x' is not a valid integer value.\n") << c.argument;
        } else {
            EXPECT_EQ(r.err.rfind("Tarnwell: ", 0), 0u) << r.err;
        }
        EXPECT_FALSE(fs::exists(Folder() / "grid.tmp")) << c.argument;
    }
}

// What the scripted server received, the letter's header and body cut out.
std::string Dialogue(std::string received) {
    std::size_t data = received.find("DATA\r\n");
    std::size_t dot = received.find("\r\n.\r\n");
    if (data != std::string::npos && dot != std::string::npos && dot > data) {
        received.replace(data + 6, dot - data - 6, "<letter>");
    }
    return received;
}

// Servers that send what is no SMTP reply, or close the connection at each step of the dialogue. A
// failure while the session opens ends the job with its message and status 1; a failure of the one
// letter is passed over, as every letter's is, but never counts as sent.
TEST_F(ProgramTest, SendMailAgainstBrokenServers) {
    using namespace testing;
    const std::string huge(10 * 1024 * 1024, 'x');
    const std::string too_long = "Tarnwell: Server reply line longer than 65536 bytes.\n";
    const std::string not_connected = "Tarnwell: Not Connected.\n";
    const std::vector<std::string> replies = {"250 hello\r\n",    "250 reset\r\n",  "250 sender ok\r\n", "250 ok\r\n",
                                              "354 go ahead\r\n", "250 queued\r\n", "221 bye\r\n"};
    // The replies up to the n-th command, then what stands in place of the n-th reply.
    auto then = [&](std::size_t n, const std::string& instead) {
        std::vector<std::string> first(replies.begin(), replies.begin() + static_cast<std::ptrdiff_t>(n));
        first.push_back(instead);
        return SmtpScript("220 ready\r\n", first);
    };
    const std::string helo = "HELO tarnwell\r\n";
    const std::string rset = helo + "RSET\r\n";
    const std::string mail = rset + "MAIL FROM:<admin@corp.ru>\r\n";
    const std::string rcpt = mail + "RCPT TO:<petrov@corp.ru>\r\n";
    const std::string data = rcpt + "DATA\r\n";
    const std::string letter = data + "<letter>\r\n.\r\n";
    struct Case {
        const char* what;
        std::vector<Step> script;
        int exit_status;
        std::string err;
        std::string dialogue;
    } cases[] = {
        {"10 MB greeting without a line end", {Send("220 " + huge)}, 1, too_long, ""},
        {"10 MB greeting with its line end", {Send("220 " + huge + "\r\n")}, 1, too_long, ""},
        {"over-long reply to HELO", then(0, "250 " + huge + "\r\n"), 1, too_long, helo},
        {"no number to DATA", then(4, "hello\r\n"), 0, "", data},
        {"no number to the dot", then(5, "hello\r\n"), 0, "", letter},
        {"closes instead of the greeting", {Close()}, 1, not_connected, ""},
        {"closes instead of answering HELO", then(0, "<close>"), 1, not_connected, helo},
        {"closes instead of answering RSET", then(1, "<close>"), 0, "", rset},
        {"closes instead of answering MAIL FROM", then(2, "<close>"), 0, "", mail},
        {"closes instead of answering RCPT TO", then(3, "<close>"), 0, "", rcpt},
        {"closes instead of answering DATA", then(4, "<close>"), 0, "", data},
        {"closes instead of answering the dot", then(5, "<close>"), 0, "", letter},
        {"closes instead of answering QUIT", then(6, "<close>"), 0, "", letter + "QUIT\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedServer server(c.script);
        WriteSettings(JobSettings(server.Port()));
        ProcessResult r = Run({"/sendmail"});
        EXPECT_EQ(r.exit_status, c.exit_status);
        EXPECT_EQ(r.err, c.err);
        server.WaitForClientClose();
        EXPECT_EQ(Dialogue(server.Received()), c.dialogue);
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
    EXPECT_EQ(r.err, "Tarnwell: Authentication failed.\n");
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(sink_.MessageCount(), 0);
}

}  // namespace
}  // namespace tarnwell

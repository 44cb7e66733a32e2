// The report and mail jobs of the switches, run as the scheduler runs them: the program without a
// display, its exit status, the file it writes and what a real SMTP server receives.

#include "program_fixture.h"

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
            "Port=" + std::to_string(port), "UserID=tarnwell", "Domain=corp.ru", "FromName=Admin",
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

class MailProgramTest : public ProgramTest {
protected:
    void SetUp() override {
        if (!testing::SmtpSink::Available()) GTEST_SKIP() << "no Debian Python here";
        ProgramTest::SetUp();
        ASSERT_EQ(sink_.Start(), "");
        WriteSettings(JobSettings(sink_.Port()));
    }
    std::string Message(int n) const { return testing::SmtpSink::ReadFile(sink_.Folder() / ("msg-" + std::to_string(n) + ".eml")); }

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
    const std::string lines[] = {
        "Content-Type: text/plain; charset=windows-1251\r\n",
        "Subject: " + std::string("Трафик"_cp) + "\r\n",
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

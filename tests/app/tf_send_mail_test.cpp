// The main window's own mail jobs against a scripted server: the outcome line, and the end of a run in
// which not every letter went.

#include <string>

// The fixture first: it names ::testing as testing, which scripted_server.h's tarnwell::testing would hide.
#include "tf_send_fixture.h"
#include "scripted_server.h"

namespace tarnwell::app_testing {
namespace {

using testing::ScriptedServer;
using testing::SmtpScript;

// Autorun of the letters and the table mail, then the auto-close; the mail settings point at the port.
std::string MailSettings(int port) {
    std::string text = Settings(false, true, true, /*auto_close=*/true);
    const std::string mail = "[mail]\r\n";
    text.replace(text.find(mail), mail.size(),
                 mail + "Host=127.0.0.1\r\nPort=" + std::to_string(port) +
                     "\r\nUserID=tarnwell\r\nDomain=corp.ru\r\nFromAddress=admin@corp.ru\r\nSGToUser=boss@corp.ru\r\n");
    return text;
}

// petrov is the one user whose box is ticked. A refused letter ends the letters' job as an error does:
// the table mail and the auto-close after it do not run. The outcome line stays whatever the hint says.
TEST_F(TFSendTest, AMailRunTellsItsOutcomeAndOneThatDidNotAllGoEndsTheAutorun) {
    ScriptedServer server(SmtpScript("220 ready\r\n", {"250 hello\r\n", "250 reset\r\n", "250 sender ok\r\n",
                                                       "550 no such user\r\n", "554 no valid recipients\r\n",
                                                       "221 bye\r\n"}));
    WriteFile(SettingsPath(), MailSettings(server.Port()));
    TFSend& form = FormWithItsOwnJobs();
    form.FormCreate(std::nullopt);
    const std::string server_text = "127.0.0.1:" + std::to_string(server.Port());
    // The status bar is drawn at once with the outcome ("status: " notes the hint area, empty here).
    EXPECT_EQ(log_.events,
              (Events{"status: ", "error: Отправлено писем: 0 из 1\nНе отправлено: petrov@corp.ru: 550 no such user"}));
    EXPECT_FALSE(form.Controls().TMClose.Enabled);
    StatusBar& bar = form.Controls().StatBar;
    const std::string outcome = "Письма (" + server_text + "): отправлено 0 из 1, не отправлено 1";
    EXPECT_EQ(Cp1251ToUtf8(bar.Outcome), outcome);
    bar.ShowHintOf(&form.Controls().SBSend1);
    EXPECT_EQ(Cp1251ToUtf8(bar.Outcome), outcome) << "a hint never wipes the outcome";
    EXPECT_EQ(host_.ExitStatus(), 1);
    server.WaitForClientClose();
}

TEST_F(TFSendTest, AMailRunThatAllWentLetsTheAutorunGoOn) {
    ScriptedServer server(SmtpScript("220 ready\r\n", {"250 hello\r\n", "250 reset\r\n", "250 sender ok\r\n",
                                                       "250 ok\r\n", "354 go ahead\r\n", "250 queued\r\n",
                                                       "221 bye\r\n"}));
    std::string settings = MailSettings(server.Port());
    settings.replace(settings.find("MailTable=1"), 11, "MailTable=0");
    WriteFile(SettingsPath(), settings);
    TFSend& form = FormWithItsOwnJobs();
    form.FormCreate(std::nullopt);
    EXPECT_EQ(log_.events, (Events{"status: ", "timer 1000"}));
    EXPECT_EQ(Cp1251ToUtf8(form.Controls().StatBar.Outcome),
              "Письма (127.0.0.1:" + std::to_string(server.Port()) + "): отправлено 1 из 1; закрытие через 15 с.");
    EXPECT_EQ(host_.ExitStatus(), 0);
    server.WaitForClientClose();
}

}  // namespace
}  // namespace tarnwell::app_testing

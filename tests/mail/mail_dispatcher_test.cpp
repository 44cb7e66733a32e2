#include <gtest/gtest.h>

#include "mail/mail_dispatcher.h"
#include "mail/mail_jobs.h"
#include "text/error.h"

namespace tarnwell {
namespace {

// Records only whether the gauge was ever shown.
struct ShownProgress final : LoadProgress {
    void Show(int) override { shown = true; }
    void Position(int) override {}
    void Hide() override {}
    bool shown = false;
};

TEST(MailDispatcher, PortThatIsNoNumberEndsTheJobBeforeAnyConnection) {
    FormControls c;
    TSmtpClient client;
    MailDispatcher::SetUpClient(client);
    c.EHost.Text = "127.0.0.1";
    c.EPort.Text = "25x";
    MailDispatcher mail(client, c);
    TTableGrid grid(11, 3);
    std::tm now{};
    bool page_written = false;
    ShownProgress progress;
    const char* expected = "'25x' is not a valid integer value";
    try {
        SendPersonalLetters(mail, grid, now, progress);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), expected);
    }
    EXPECT_FALSE(progress.shown);
    try {
        MailTablePage(mail, [&] {
            page_written = true;
            return std::vector<std::string>{};
        });
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), expected);
    }
    EXPECT_FALSE(page_written);
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(client.TimeOut, 60000);
}

}  // namespace
}  // namespace tarnwell

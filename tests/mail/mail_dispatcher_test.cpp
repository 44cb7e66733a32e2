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
    const std::string expected = "'25x' is not a valid integer value";
    EXPECT_EQ(SendPersonalLetters(mail, grid, now, progress).failure, expected) << "the text alone: no server named";
    EXPECT_FALSE(progress.shown);
    const MailRunAccount table = MailTablePage(mail, [&] {
        page_written = true;
        return std::vector<std::string>{};
    });
    EXPECT_EQ(table.failure, expected);
    EXPECT_EQ(table.not_tried, 1);
    EXPECT_FALSE(page_written);
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(client.TimeOut, 60000);
}

}  // namespace
}  // namespace tarnwell

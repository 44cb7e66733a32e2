#include "app/headless_host.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/error_box_text.h"
#include "text/cp1251_literal.h"

namespace tarnwell {
namespace {

using namespace literals;

TEST(ErrorBoxText, AddsAFullStopAfterALetterOrDigit) {
    struct Case {
        std::string_view message, shown;
    };
    const Case cases[] = {
        {"Connection Failed", "Connection Failed."},
        {"10061:Connection refused", "10061:Connection refused."},
        {"Unable to write to C:\\t\\settings.ini", "Unable to write to C:\\t\\settings.ini."},
        {"Error 5", "Error 5."},
        {"'abc' is not a valid integer value", "'abc' is not a valid integer value."},
        {"Failed to set data for 'bob'", "Failed to set data for 'bob'"},
        {"Не найден файл"_cp, "Не найден файл."_cp},
        {"Ошибка: ё"_cp, "Ошибка: ё."_cp},
        {"Не найден файл!"_cp, "Не найден файл!"_cp},
        {"Already.", "Already."},
        {"trailing blank ", "trailing blank "},
        {"x \xB9", "x \xB9"},  // the numero sign is no letter
        {"", ""},
        // A text of several lines: the first is the message, the rest notes to it.
        {"Not Connected\nсервер почты x, порт 25"_cp, "Not Connected.\nсервер почты x, порт 25"_cp},
        {"554 go away!\nOK", "554 go away!\nOK"},
        {"\nnote", "\nnote"},
    };
    for (const Case& c : cases) EXPECT_EQ(ErrorBoxText(c.message), c.shown) << c.message;
}

TEST(HeadlessHost, PrintsBoxesAsUtf8LinesAndSetsTheExitStatus) {
    std::ostringstream err;
    HeadlessHost host(err);
    EXPECT_EQ(host.ExitStatus(), 0);
    host.ProcessMessages();
    EXPECT_EQ(host.ExitStatus(), 0);

    host.ShowMessage("Неправильно задан ключ"_cp);
    EXPECT_EQ(host.ExitStatus(), 1);
    host.ShowError("Connection Failed");
    EXPECT_EQ(err.str(), "Tarnwell: Неправильно задан ключ\nTarnwell: Connection Failed.\n");
    EXPECT_EQ(host.ExitStatus(), 1);
}

// A note is keyed by the message's name: the same text shown otherwise, or in an error box, has none.
TEST(HeadlessHost, ANoteFollowsItsMessageOnly) {
    std::ostringstream err;
    HeadlessHost host(err);
    host.AddNote(MessageName::kWrongSwitch, "ключи: /a, /б");
    host.ShowNamedMessage(MessageName::kServiceNotFound);
    host.ShowError("Неправильно задан ключ"_cp);  // an error box is no message box
    host.ShowMessage("Неправильно задан ключ"_cp);
    host.ShowNamedMessage(MessageName::kWrongSwitch);
    EXPECT_EQ(err.str(),
              "Tarnwell: Не найдено имя службы для перезапуска\n"
              "Tarnwell: Неправильно задан ключ.\n"
              "Tarnwell: Неправильно задан ключ\n"
              "Tarnwell: Неправильно задан ключ\n"
              "Tarnwell: ключи: /a, /б\n");
}

// A log line per line of the text, each with the prefix, so that a scheduler's log keeps them apart.
TEST(HeadlessHost, EachLineOfAnErrorWithItsNotesIsALineOfItsOwn) {
    std::ostringstream err;
    HeadlessHost host(err);
    host.ShowError("Not Connected\nсервер почты 127.0.0.1, порт 25\nОтправлено писем: 1 из 20"_cp);
    EXPECT_EQ(err.str(),
              "Tarnwell: Not Connected.\n"
              "Tarnwell: сервер почты 127.0.0.1, порт 25\n"
              "Tarnwell: Отправлено писем: 1 из 20\n");
    EXPECT_EQ(host.ShownCount(), 1);
}

TEST(HeadlessHost, AnErrorAloneAlsoFailsTheRun) {
    std::ostringstream err;
    HeadlessHost host(err);
    host.ShowError("x");
    EXPECT_EQ(host.ExitStatus(), 1);
}

TEST(HeadlessHost, EventLoopClosesAtOnceUnlessAQuitIsQueued) {
    std::ostringstream err;
    {
        HeadlessHost host(err);
        int ticks = 0;
        host.RunEventLoop();  // nothing running: nothing happens
        // Ticks follow at once until one stops the timer (the countdown's last closes the window).
        host.StartCloseTimer(std::chrono::milliseconds(1000), [&] {
            if (++ticks == 15) host.StopCloseTimer();
        });
        host.RunEventLoop();
        EXPECT_EQ(ticks, 15);
        // A timer that never stops does not hold the run for ever.
        ticks = 0;
        host.StartCloseTimer(std::chrono::milliseconds(1000), [&] { ++ticks; });
        host.RunEventLoop();
        EXPECT_EQ(ticks, 1000);
    }
    {
        // The loop takes the queued quit long before the first tick would come.
        HeadlessHost host(err);
        int ticks = 0;
        host.StartCloseTimer(std::chrono::milliseconds(15000), [&] { ++ticks; });
        host.PostQuit();
        host.RunEventLoop();
        EXPECT_EQ(ticks, 0);
    }
    {
        HeadlessHost host(err);
        int ticks = 0;
        host.StartCloseTimer(std::chrono::milliseconds(15000), [&] { ++ticks; });
        host.StopCloseTimer();
        host.RunEventLoop();
        EXPECT_EQ(ticks, 0);
    }
    EXPECT_EQ(err.str(), "");
}

TEST(HeadlessHost, SaveDialogCountsAsCancelled) {
    std::ostringstream err;
    HeadlessHost host(err);
    SaveDialog dialog;
    dialog.FileName = "x.htm";
    EXPECT_FALSE(host.ExecuteSaveDialog(dialog));
    EXPECT_EQ(dialog.FileName, "x.htm");
}

}  // namespace
}  // namespace tarnwell

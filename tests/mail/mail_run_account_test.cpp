#include "mail/mail_run_account.h"

#include <gtest/gtest.h>

#include "text/cp1251.h"

namespace tarnwell {
namespace {

MailRunAccount Account(int sent, int not_sent, int not_tried, const std::string& failure) {
    MailRunAccount account;
    account.job = Utf8ToCp1251("Письма");
    account.server = "mail.corp.ru:25";
    account.sent = sent;
    for (int i = 1; i <= not_sent; ++i) account.not_sent.push_back({"u" + std::to_string(i) + "@corp.ru", "550 no"});
    account.not_tried = not_tried;
    account.failure = Utf8ToCp1251(failure);
    return account;
}

// The message of a run that did not all go, and the outcome line of every run.
TEST(MailRunAccount, TellsWhatBecameOfTheLetters) {
    struct Case {
        const char* what;
        MailRunAccount account;
        std::string message;  // UTF-8
        std::string outcome;  // after "Письма (mail.corp.ru:25): "
    } cases[] = {
        {"all went", Account(20, 0, 0, ""), "", "отправлено 20 из 20"},
        {"two not sent", Account(18, 2, 0, ""),
         "Отправлено писем: 18 из 20\nНе отправлено: u1@corp.ru: 550 no\nНе отправлено: u2@corp.ru: 550 no",
         "отправлено 18 из 20, не отправлено 2"},
        {"a failure after the first", Account(1, 0, 19, "Not Connected\nсервер почты mail.corp.ru, порт 25"),
         "Not Connected\nсервер почты mail.corp.ru, порт 25\nОтправлено писем: 1 из 20\nНе отправлялось из-за ошибки: 19",
         "отправлено 1 из 20, не отправлялось 19"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Cp1251ToUtf8(c.account.Message()), c.message);
        EXPECT_EQ(c.account.AllWent(), c.message.empty());
        EXPECT_EQ(Cp1251ToUtf8(c.account.OutcomeText()), "Письма (mail.corp.ru:25): " + c.outcome);
    }
}

TEST(MailRunAccount, ListsTheFirstTwentyNotSentThenHowManyMore) {
    const std::string message = Cp1251ToUtf8(Account(0, 25, 0, "").Message());
    EXPECT_NE(message.find("Не отправлено: u20@corp.ru: 550 no\nНе отправлено ещё писем: 5"), std::string::npos)
        << message;
    EXPECT_EQ(message.find("u21@corp.ru"), std::string::npos);
}

}  // namespace
}  // namespace tarnwell

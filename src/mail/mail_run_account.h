#pragma once

#include <string>
#include <vector>

namespace tarnwell {

// One letter of a run that did not go, and why: the server's reply to the step it refused, or the
// program's own reason. Both are texts fit to show (control bytes as "?").
struct LetterNotSent {
    std::string address;
    std::string reason;
};

// The account a mail job gives of its run: every letter it was to send went, was not sent (listed with
// its reason; the run went on), or was not tried because the run had ended first with `failure`.
//
//     Not Connected                                                   <- failure: what failed,
//     сервер почты 127.0.0.1, порт 25: сервер закрыл соединение       <- and where and why
//     Отправлено писем: 1 из 20
//     Не отправлено: ivan@corp.ru: 550 no such user                   <- the first kMaxListed
//     Не отправлялось из-за ошибки: 18
struct MailRunAccount {
    // The job in a word ("Письма", "Таблица") and the server of the settings page ("mail.corp.ru:25"), for
    // the outcome line; short, so that it fits the status bar beside a hint.
    std::string job;
    std::string server;
    int sent = 0;
    std::vector<LetterNotSent> not_sent;
    int not_tried = 0;
    // The error that ended the run, its lines as they are to be shown; empty when the run went to its end.
    std::string failure;

    static constexpr std::size_t kMaxListed = 20;

    int Total() const { return sent + static_cast<int>(not_sent.size()) + not_tried; }
    // Every letter went and nothing failed.
    bool AllWent() const { return failure.empty() && not_sent.empty() && not_tried == 0; }
    // The message that ends a run that did not all go (the error box's text, first line the message):
    // the failure, the count of letters sent, each letter not sent with its reason (the first
    // kMaxListed, then how many more), the letters not tried. Empty when every letter went.
    std::string Message() const;
    // The status bar's outcome line: the job, the server, and the letters sent, not sent and not tried
    // (a failure shows as letters not tried; the message tells the rest).
    //     "Письма (127.0.0.1:25): отправлено 18 из 20, не отправлено 2"
    std::string OutcomeText() const;
};

}  // namespace tarnwell

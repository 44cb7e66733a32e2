#include "mail/mail_run_account.h"

#include "text/cp1251_literal.h"
#include "text/int_text.h"

namespace tarnwell {

using namespace literals;

std::string MailRunAccount::Message() const {
    if (AllWent()) return {};
    std::string text = failure;
    auto line = [&text](const std::string& next) {
        if (!text.empty()) text += '\n';
        text += next;
    };
    line(std::string("Отправлено писем: "_cp) + IntToStr(sent) + std::string(" из "_cp) + IntToStr(Total()));
    for (std::size_t i = 0; i < not_sent.size() && i < kMaxListed; ++i) {
        line(std::string("Не отправлено: "_cp) + not_sent[i].address + ": " + not_sent[i].reason);
    }
    if (not_sent.size() > kMaxListed) {
        line(std::string("Не отправлено ещё писем: "_cp) + IntToStr(static_cast<int>(not_sent.size() - kMaxListed)));
    }
    if (not_tried > 0) line(std::string("Не отправлялось из-за ошибки: "_cp) + IntToStr(not_tried));
    return text;
}

std::string MailRunAccount::OutcomeText() const {
    std::string text = job + " (" + server + std::string("): отправлено "_cp) + IntToStr(sent) +
                       std::string(" из "_cp) + IntToStr(Total());
    if (!not_sent.empty()) text += std::string(", не отправлено "_cp) + IntToStr(static_cast<int>(not_sent.size()));
    if (not_tried > 0) text += std::string(", не отправлялось "_cp) + IntToStr(not_tried);
    return text;
}

}  // namespace tarnwell

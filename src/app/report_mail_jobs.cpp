#include "app/report_mail_jobs.h"

#include "text/cp1251_literal.h"
#include "text/error.h"

namespace tarnwell {

using namespace literals;

void UnavailableReportMailJobs::MkTable(const std::string&, TTableGrid&) {
    throw Error(std::string("Отчёт HTML в этой версии программы ещё не реализован"_cp));
}

void UnavailableReportMailJobs::SendMail(TTableGrid&) {
    throw Error(std::string("Почтовая рассылка в этой версии программы ещё не реализована"_cp));
}

void UnavailableReportMailJobs::SendHTM(TTableGrid&) {
    throw Error(std::string("Рассылка таблицы в этой версии программы ещё не реализована"_cp));
}

}  // namespace tarnwell

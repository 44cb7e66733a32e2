#pragma once

#include <string>
#include <vector>

#include "app/host.h"
#include "app/report_mail_jobs.h"
#include "form/form_controls.h"
#include "mail/mail_run_account.h"
#include "report/report_file.h"
#include "smtp/smtp_client.h"

namespace tarnwell {

// The report and mail jobs on the main window's controls: the report page with the columns of ChLBHTML,
// the letters and the table mail over the window's SMTP client with the settings page's fields.
// grid.tmp, the report's temporary file, lies in `program_folder`.
class FormReportMailJobs final : public ReportMailJobs {
public:
    FormReportMailJobs(FormControls& controls, Host& host, TSmtpClient& client, std::string program_folder);

    void MkTable(const std::string& file_name, TTableGrid& grid) override;
    void SendMail(TTableGrid& grid) override;
    void SendHTM(TTableGrid& grid) override;

    std::string TempPath() const;

private:
    // The real columns the report of `grid` holds: ChLBHTML's choice for the statistics table, the
    // columns shown for any other grid.
    std::vector<int> Columns(const TTableGrid& grid) const;
    std::string WriteReport(const std::string& file_name, TTableGrid& grid);
    void EndMailRun(const MailRunAccount& account);

    FormControls& c_;
    Host& host_;
    TSmtpClient& client_;
    std::string program_folder_;
};

}  // namespace tarnwell

#include "app/form_report_mail_jobs.h"

#include <ctime>
#include <filesystem>
#include <system_error>
#include <utility>

#include "app/host_adapters.h"
#include "files/native_path.h"
#include "grid/column_choice.h"
#include "mail/mail_jobs.h"
#include "report/report_page.h"
#include "text/program_folder.h"

namespace tarnwell {
namespace {

void RemoveFileQuietly(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(NativePath(path), ignored);
}

}  // namespace

FormReportMailJobs::FormReportMailJobs(FormControls& controls, Host& host, TSmtpClient& client,
                                       std::string program_folder)
    : c_(controls), host_(host), client_(client), program_folder_(std::move(program_folder)) {}

std::string FormReportMailJobs::TempPath() const {
    return JoinPath(program_folder_, "grid.tmp");
}

std::vector<int> FormReportMailJobs::Columns(const TTableGrid& grid) const {
    if (&grid != &c_.ASGRead) return grid.VisibleRealColumns();
    return TickedColumns(grid.ColCount() + grid.NumHiddenColumns(), c_.ChLBHTML.CheckedItems());
}

std::string FormReportMailJobs::WriteReport(const std::string& file_name, TTableGrid& grid) {
    return WriteReportPage(file_name, grid, Columns(grid), TempPath(), host_.Colors());
}

// The page is written as it is made, not kept. The viewer's table, a log of any size, shows the save on the
// gauge with the cancel button beside it; the statistics report is over before a gauge would be seen.
void FormReportMailJobs::MkTable(const std::string& file_name, TTableGrid& grid) {
    NoSaveProgress quiet;
    GaugeSaveProgress shown(c_.CG1, c_.SBCancel, host_);
    SaveProgress& progress = &grid == &c_.SG1 ? static_cast<SaveProgress&>(shown) : quiet;
    SaveReportPage(file_name, grid, Columns(grid), TempPath(), host_.Colors(), progress);
}

// The outcome line goes into the status bar in any case; a run in which not every letter went ends as a
// job ends on an error, so the autorun jobs after it and the auto-close behave as after any error.
void FormReportMailJobs::EndMailRun(const MailRunAccount& account) {
    c_.StatBar.ShowOutcome(account.OutcomeText());
    host_.RepaintNow(c_.StatBar);
    if (!account.AllWent()) throw Error(account.Message());
}

void FormReportMailJobs::SendMail(TTableGrid& grid) {
    MailDispatcher mail(client_, c_);
    const std::time_t now = std::time(nullptr);
    const std::tm local = *std::localtime(&now);
    GaugeProgress progress(c_.CG1, host_);
    EndMailRun(SendPersonalLetters(mail, grid, local, progress));
}

void FormReportMailJobs::SendHTM(TTableGrid& grid) {
    MailDispatcher mail(client_, c_);
    EndMailRun(MailTablePage(mail, [this, &grid] {
        // The page is written over the temporary file itself and goes out from memory; the file is not
        // kept after the mailing.
        const std::string path = TempPath();
        std::vector<std::string> lines = SplitLines(WriteReport(path, grid));
        RemoveFileQuietly(path);
        return lines;
    }));
}

}  // namespace tarnwell

#include "app/tf_send.h"

#include <exception>
#include <utility>

#include "app/form_report_mail_jobs.h"
#include "mail/mail_dispatcher.h"
#include "report/save_as.h"
#include "text/cp1251_literal.h"
#include "text/program_folder.h"

namespace tarnwell {

FSendSetup FSendSetup::FromEnvironment() {
    return FSendSetup{UserDatabaseLocation::FromEnvironment(), ProgramFolder(), nullptr,
                      std::make_unique<SystemProgramRunner>()};
}

TFSend::TFSend(Host& host, FSendSetup setup)
    : host_(host),
      setup_(std::move(setup)),
      status_text_(c_.StatBar, host),
      pause_(host),
      gauge_progress_(c_.CG1, host),
      event_pump_(host),
      SmtpClient1(&event_pump_),
      history_(HistoryFile(setup_.settings_folder), [this](std::string_view text) { host_.ShowWarning(text); }) {
    using namespace literals;
    MailDispatcher::SetUpClient(SmtpClient1);
    if (!setup_.jobs) {
        setup_.jobs = std::make_unique<FormReportMailJobs>(c_, host_, SmtpClient1, setup_.settings_folder);
    }
    const std::string title(std::string_view("Введите путь и имя файла для сохранения"_cp));
    SDHTML.Title = title;
    SDHTML.Filter = "Сохранить в формате HTML(*.htm)|*.htm;*.html"_cp;
    SDHTML.DefaultExt = "htm";
    SDHTML.FileName = "index.htm";
    SD1.Title = title;
    SD1.Filter = "Сохранить в формате HTML(*.htm)|*.htm;*.html|Сохранить в формате Excel(*.xls)|*.xls"_cp;
    SD1.DefaultExt = kHtmlExt;
    SD1.OnTypeChange = [this](int file_type) { SD1.DefaultExt = ExtForFileType(file_type); };
    BindHandlers();
}

void TFSend::RunHandler(const std::function<void()>& handler) {
    EnterHandler();
    try {
        handler();
    } catch (const std::exception& e) {
        host_.ShowError(e.what());
    }
    LeaveHandler();
}

void TFSend::EnterHandler() {
    if (busy_depth_++ == 0) LockJobControls(true);
}

void TFSend::LeaveHandler() {
    if (--busy_depth_ == 0) LockJobControls(false);
    host_.ControlsChanged();
    if (busy_depth_ == 0 && close_pending_) {
        close_pending_ = false;
        CloseAndQuit();
    }
}

void TFSend::LockJobControls(bool lock) {
    std::vector<Control*> controls = c_.JobControls();
    if (lock) {
        saved_enabled_.clear();
        for (Control* control : controls) {
            saved_enabled_.push_back(control->Enabled);
            control->Enabled = false;
        }
        saved_enabled_.push_back(browser_.Enabled);
        browser_.Enabled = false;
        return;
    }
    for (std::size_t i = 0; i < controls.size() && i < saved_enabled_.size(); ++i) {
        controls[i]->Enabled = saved_enabled_[i];
    }
    if (saved_enabled_.size() == controls.size() + 1) browser_.Enabled = saved_enabled_.back();
}

NotifyEvent TFSend::Handler(void (TFSend::*method)()) {
    return [this, method] { RunHandler([this, method] { (this->*method)(); }); };
}

// A handler's result (whether it stopped after its own message) matters only to the start-up sequence.
NotifyEvent TFSend::Handler(bool (TFSend::*method)()) {
    return [this, method] { RunHandler([this, method] { (this->*method)(); }); };
}

void TFSend::BindHandlers() {
    c_.SpeedButton3.OnClick = Handler(&TFSend::SpeedButton3Click);
    c_.SpeedButton4.OnClick = Handler(&TFSend::SpeedButton4Click);
    c_.SBToStat.OnClick = Handler(&TFSend::SBToStatClick);
    c_.RG1.OnClick = Handler(&TFSend::SBToStatClick);
    c_.CSETochn.OnChange = Handler(&TFSend::SBToStatClick);
    c_.SBLimit.OnClick = Handler(&TFSend::SBLimitClick);
    c_.SBAbout.OnClick = Handler(&TFSend::SBAboutClick);
    c_.PC1.OnChange = Handler(&TFSend::PC1Change);
    c_.STtoSite.OnClick = Handler(&TFSend::STtoSiteClick);
    c_.StaticText7.OnClick = Handler(&TFSend::StaticText7Click);

    c_.ChLBRun.OnClickCheck = Handler(&TFSend::ChLBRunClickCheck);
    c_.TMClose.OnTimer = Handler(&TFSend::TMCloseTimer);

    c_.SBRead.OnClick = c_.NRead.OnClick = Handler(&TFSend::SBReadClick);
    c_.SBSet.OnClick = c_.NSet.OnClick = Handler(&TFSend::SBSetClick);
    c_.SBSaveLim.OnClick = c_.NSaveLim.OnClick = Handler(&TFSend::SBSaveLimClick);
    c_.NSaveEn.OnClick = Handler(&TFSend::NSaveEnClick);

    c_.SBSaveHTML.OnClick = Handler(&TFSend::SBSaveHTMLClick);
    c_.SBSend1.OnClick = Handler(&TFSend::SBSendClick);
    c_.SBEditPathHTML.OnClick = Handler(&TFSend::SBEditPathHTMLClick);
    c_.SBSave.OnClick = Handler(&TFSend::SBSaveClick);

    c_.PFind.OnOpen = Handler(&TFSend::PFindOpen);
    c_.PFind.OnClose = Handler(&TFSend::PFindClose);
    c_.SBFindNext.OnClick = c_.EFind.OnAccept = Handler(&TFSend::SBFindNextClick);
    c_.SBFindPrev.OnClick = Handler(&TFSend::SBFindPrevClick);
    c_.EFilter.OnAccept = Handler(&TFSend::EFilterAccept);
    c_.EFilter.OnChange = Handler(&TFSend::EFilterChange);
    for (GridControl* grid : {&c_.SG1, &c_.ASGRead, &c_.ASGLimit}) {
        grid->OnCopy = [this, grid] { RunHandler([this, grid] { CopySelectedCells(*grid); }); };
    }

    browser_.OnDriveChange = Handler(&TFSend::DriveCB1Change);
    browser_.OnFolderChange = Handler(&TFSend::CDirOChange);
    browser_.OnFileDoubleClick = Handler(&TFSend::FLB1Click);
}

ServiceRestartHost TFSend::RestartHost() {
    return ServiceRestartHost{host_, status_text_, pause_, *setup_.runner};
}

}  // namespace tarnwell

#include "app/tf_send.h"

#include <exception>
#include <utility>

#include "text/program_folder.h"

namespace tarnwell {

TFSendSetup TFSendSetup::FromEnvironment() {
    return TFSendSetup{UserDatabaseLocation::FromEnvironment(), ProgramFolder(),
                       std::make_unique<UnavailableReportMailJobs>(), std::make_unique<SystemProgramRunner>()};
}

TFSend::TFSend(Host& host, TFSendSetup setup)
    : host_(host),
      setup_(std::move(setup)),
      status_text_(c_.StatBar, host),
      pause_(host),
      gauge_progress_(c_.CG1, host) {
    BindHandlers();
}

void TFSend::RunHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        host_.ShowError(e.what());
    }
}

TNotifyEvent TFSend::Handler(void (TFSend::*method)()) {
    return [this, method] { RunHandler([this, method] { (this->*method)(); }); };
}

// A handler's result (whether it stopped after its own message) matters only to the start-up sequence.
TNotifyEvent TFSend::Handler(bool (TFSend::*method)()) {
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
}

ServiceRestartHost TFSend::RestartHost() {
    return ServiceRestartHost{host_, status_text_, pause_, *setup_.runner};
}

}  // namespace tarnwell

// Autorun, the report and mail buttons of the statistics page, the viewer's save as, the close timer and
// the closing of the window.

#include <chrono>

#include "app/tf_send.h"
#include "report/save_as.h"

namespace tarnwell {

void TFSend::SendAll(TTableGrid& grid) {
    if (c_.ChLBRun.Checked(0)) setup_.jobs->MkTable(c_.EHTMLPath.Text, grid);
    if (c_.ChLBRun.Checked(1)) setup_.jobs->SendMail(grid);
    if (c_.ChLBRun.Checked(2)) setup_.jobs->SendHTM(grid);
    if (c_.ChLBOther.Checked(0)) EnableCloseTimer();
}

void TFSend::SBSaveHTMLClick() {
    setup_.jobs->MkTable(c_.EHTMLPath.Text, c_.ASGRead);
}

void TFSend::SBSendClick() {
    setup_.jobs->SendMail(c_.ASGRead);
}

void TFSend::SBEditPathHTMLClick() {
    if (host_.ExecuteSaveDialog(SDHTML)) c_.EHTMLPath.Text = SDHTML.FileName;
}

// Both saves write as they go with the gauge and the cancel button shown (the page through the report job,
// which does so for the viewer table). A save the user stopped has left the old file as it was; that is
// all he asked for, so nothing more is said.
void TFSend::SBSaveClick() {
    SD1.FileName = AddExt(c_.ECurrentFile.Text, SD1.DefaultExt);
    if (!host_.ExecuteSaveDialog(SD1)) return;
    try {
        if (SD1.DefaultExt == kHtmlExt) {
            setup_.jobs->MkTable(SD1.FileName, c_.SG1);
        } else {
            GaugeSaveProgress progress(c_.CG1, c_.SBCancel, host_);
            c_.SG1.SaveToXLS(SD1.FileName, progress);
        }
    } catch (const ESaveCancelled&) {
    }
}

void TFSend::EnableCloseTimer() {
    c_.TMClose.Enabled = true;
    host_.StartCloseTimer(std::chrono::milliseconds(c_.TMClose.Interval), [this] {
        // A tick let through by a job that pumps events waits for the job: the window cannot close under it.
        if (Busy()) {
            close_pending_ = true;
            return;
        }
        c_.TMClose.Tick();
    });
}

void TFSend::TMCloseTimer() {
    CloseAndQuit();
}

// One try: a close that a failing save refuses shows its error once, stops the timer and leaves the
// window open for the user, rather than a new error box at every tick.
void TFSend::CloseAndQuit() {
    c_.TMClose.Enabled = false;
    host_.StopCloseTimer();
    if (CloseWindow()) host_.PostQuit();
}

bool TFSend::UserClose() {
    if (Busy()) {
        close_pending_ = true;
        return false;
    }
    return CloseWindow();
}

void TFSend::FormClose() {
    AutoSave();
}

bool TFSend::CloseWindow() {
    bool closed = false;
    RunHandler([this, &closed] {
        FormClose();
        closed = true;
    });
    return closed;
}

void TFSend::ChLBRunClickCheck() {
    c_.ESGToUser.Enabled = c_.ChLBRun.Checked(2);
}

}  // namespace tarnwell

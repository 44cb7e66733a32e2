// Autorun, the report and mail buttons of the statistics page, the viewer's save as, the close timer and
// the closing of the window.

#include <algorithm>
#include <chrono>

#include "app/tf_send.h"
#include "files/file_status.h"
#include "report/save_as.h"
#include "text/cp1251_literal.h"
#include "text/int_text.h"
#include "text/message.h"
#include "text/program_folder.h"

namespace tarnwell {

using namespace literals;

void TFSend::SendAll(TTableGrid& grid) {
    if (c_.ChLBRun.Checked(0)) MkReport(grid);
    if (c_.ChLBRun.Checked(1)) setup_.jobs->SendMail(grid);
    if (c_.ChLBRun.Checked(2)) setup_.jobs->SendHTM(grid);
    if (c_.ChLBOther.Checked(0)) EnableCloseTimer();
}

// "Сохранить HTML" promises the program's folder in its hint: a relative name is taken from there, never
// from the folder the viewer browsed last.
std::string TFSend::ReportFile() const {
    return PathInFolder(setup_.settings_folder, c_.EHTMLPath.Text);
}

void TFSend::MkReport(TTableGrid& grid) {
    const std::string file = ReportFile();
    setup_.jobs->MkTable(file, grid);
    c_.StatBar.ShowOutcome(std::string("HTML-отчёт сохранён: "_cp) + AbsolutePath(file));
}

void TFSend::SBSaveHTMLClick() {
    MkReport(c_.ASGRead);
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
    if (!NoFileThere(SD1.FileName) &&
        !Confirm(FormatMsg("Файл %s уже существует. Заменить его?"_cp, {SD1.FileName}))) {
        return;
    }
    try {
        if (SD1.DefaultExt == kHtmlExt) {
            setup_.jobs->MkTable(SD1.FileName, c_.SG1);
        } else {
            GaugeSaveProgress progress(c_.CG1, c_.SBCancel, host_);
            c_.SG1.SaveToXLS(SD1.FileName, progress);
        }
    } catch (const ESaveCancelled&) {
        return;
    }
    c_.StatBar.ShowOutcome(std::string("Таблица сохранена: "_cp) + AbsolutePath(SD1.FileName));
}

// The close timer counts down in seconds and closes the window at zero. The outcome area shows the count
// after the outcome of the autorun's last job, which stays readable.
void TFSend::EnableCloseTimer() {
    c_.TMClose.Enabled = true;
    outcome_before_close_ = c_.StatBar.Outcome;
    close_countdown_ = std::max(1, (c_.TMClose.Interval + 999) / 1000);
    ShowCloseOutcome(FormatMsg("закрытие через %s с."_cp, {IntToStr(close_countdown_)}));
    host_.StartCloseTimer(std::chrono::seconds(1), [this] { CloseTimerTick(); });
}

// `text` starts with a small Cyrillic letter (Windows-1251 а-я, E0-FF, whose capitals lie 20 below); it
// starts a sentence of its own, with the capital, when no outcome stands before it.
void TFSend::ShowCloseOutcome(std::string text) {
    if (!outcome_before_close_.empty()) {
        c_.StatBar.ShowOutcome(outcome_before_close_ + "; " + text);
        return;
    }
    const auto first = static_cast<unsigned char>(text.front());
    if (first >= 0xE0) text.front() = static_cast<char>(first - 0x20);
    c_.StatBar.ShowOutcome(std::move(text));
}

void TFSend::CloseTimerTick() {
    if (!c_.TMClose.Enabled) {
        host_.StopCloseTimer();
        return;
    }
    if (--close_countdown_ > 0) {
        ShowCloseOutcome(FormatMsg("закрытие через %s с."_cp, {IntToStr(close_countdown_)}));
        host_.ControlsChanged();
        return;
    }
    // A tick let through by a job that pumps events waits for the job: the window cannot close under it.
    if (Busy()) {
        close_pending_ = true;
        return;
    }
    c_.TMClose.Tick();
}

void TFSend::ChLBOtherClickCheck() {
    if (c_.ChLBOther.Checked(0) || !c_.TMClose.Enabled) return;
    c_.TMClose.Enabled = false;
    host_.StopCloseTimer();
    ShowCloseOutcome(std::string("автоматическое закрытие отменено"_cp));
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

// Only the user's close asks about unsaved limits edits; the auto-close and a switch run's end never do.
bool TFSend::UserClose() {
    if (Busy()) {
        close_pending_ = true;
        return false;
    }
    bool may_close = false;
    RunHandler([this, &may_close] { may_close = MayDropLimitsEdits(false); });
    return may_close && CloseWindow();
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

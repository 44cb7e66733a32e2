#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/host.h"
#include "app/host_adapters.h"
#include "app/report_mail_jobs.h"
#include "app/switches.h"
#include "form/form_controls.h"
#include "grid/table_grid.h"
#include "history/traffic_history.h"
#include "smtp/smtp_client.h"
#include "stats/statistics_figures.h"
#include "viewer/file_browser.h"
#include "wingate/service_restart.h"
#include "wingate/user_database.h"

namespace tarnwell {

// Where the main window finds what lies outside it. The program uses FromEnvironment; tests point every
// part at their own folder, store and fakes.
struct FSendSetup {
    UserDatabaseLocation database;
    std::string settings_folder;            // the folder of settings.ini
    std::unique_ptr<ReportMailJobs> jobs;   // the report and mail jobs; none: the window's own
    std::unique_ptr<ProgramRunner> runner;  // runs the service program

    // The user database that TARNWELL_REGISTRY or the platform names, settings.ini beside the executable,
    // the window's own report and mail jobs, the service program started by the system.
    static FSendSetup FromEnvironment();
};

// The main window FSend: the program itself. It owns every control, the three grids and the close timer
// for the life of the program, runs the start-up sequence while it is created, and carries the event
// handlers that its host calls. Other layers do the work; this class decides what runs when, with which
// controls, and what a failure stops.
//
// The controls' own events are bound to the handlers when the window is made. A handler started that way
// (the user's click on the host) shows an escaping error in the host's error box, as the window's message
// loop does; the methods below let errors through to their caller.
class TFSend {
public:
    TFSend(Host& host, FSendSetup setup);
    TFSend(const TFSend&) = delete;
    TFSend& operator=(const TFSend&) = delete;

    FormControls& Controls() { return c_; }
    FileBrowser& Browser() { return browser_; }
    // The traffic history of this run (history.sqlite3 beside settings.ini), and the figures of the
    // statistics table's user rows as the last refresh read them (element i is row i + 1), each with its
    // account's key name: what a chart or a warning looks up in the history.
    TrafficHistory& History() { return history_; }
    const StatisticsFigures& Figures() const { return figures_; }

    // Runs a handler as the message loop would: an error that escapes it is shown in the error box. The
    // window is busy meanwhile (see Busy); the host hears after it has run (Host::ControlsChanged).
    void RunHandler(const std::function<void()>& handler);

    // True while a handler runs, the start-up included. The job and navigation controls
    // (FormControls::JobControls) and the file browser are disabled meanwhile and enabled again as they
    // were when the outermost handler ends, so that the events a waiting job lets through cannot start a
    // second job or change the page under it.
    bool Busy() const { return busy_depth_ > 0; }

    // --- Start-up and closing ----------------------------------------------------------------------
    // The start-up sequence, with the command line's first argument if there is one. Never throws: an
    // error is shown in the error box and ends the sequence where it stands, as does an operation that
    // showed its own message (settings file or user database missing, no service key or service program).
    void FormCreate(const std::optional<std::string>& first_argument);
    // The close handler: saves the settings when auto-save is chosen. Errors propagate.
    void FormClose();
    // Closing the window the user's way: FormClose, with its error shown in the error box. True when the
    // window may close; false leaves it open.
    bool CloseWindow();
    // The user closes the window (its close box, the system menu). Not busy: CloseWindow. Busy: false, and
    // the close is made as soon as the running handler has ended, with a quit request when it succeeds.
    bool UserClose();
    // Tick of TMClose: closes the window and ends the program. The timer stops first: a close refused by
    // a failing save shows its error once and leaves the window open. A tick that comes while a handler
    // runs (one that pumps events) closes the window when that handler has ended.
    void TMCloseTimer();
    // ChLBRun's check changed: the table address edit is enabled exactly when "Рассылка таблицы" is chosen.
    void ChLBRunClickCheck();
    // The autorun job runner: the HTML report, the personal letters and the table mail, each when chosen,
    // in this order; then the close timer when auto-close is chosen. An error ends it at once.
    void SendAll(TTableGrid& grid);

    // --- Navigation (auto-save first, then the page) ------------------------------------------------
    // Each returns false when the page's work stopped after showing its own message.
    void SpeedButton3Click();
    void SpeedButton4Click();
    bool SBToStatClick();
    bool SBLimitClick();
    void SBAboutClick();
    void PC1Change();
    void STtoSiteClick();
    void StaticText7Click();

    // --- Limits page --------------------------------------------------------------------------------
    bool SBReadClick();
    void SBSetClick();
    bool SBSaveLimClick();
    void NSaveEnClick();

    // --- Viewer page --------------------------------------------------------------------------------
    void DriveCB1Change();
    void CDirOChange();
    void FLB1Click();

    // --- Statistics page ----------------------------------------------------------------------------
    void SBSaveHTMLClick();
    void SBSendClick();
    // Lets the user pick the report's file name in SDHTML; a confirmed name becomes EHTMLPath's text.
    void SBEditPathHTMLClick();

    // --- Viewer page: save as -------------------------------------------------------------------------
    // Saves the viewer table as the HTML page or an Excel workbook, as the dialog SD1's type says, in
    // the file the user confirms (proposed from ECurrentFile). Cancelling writes nothing. The save shows its
    // progress on CG1, with SBCancel beside it to stop it; a stopped save leaves the old file as it was.
    void SBSaveClick();

    // --- Find, filter and copy over the tables of the viewer, the statistics and the limits -------------
    // Ctrl+F: opens the find bar when the page shown has a table; Escape closes it.
    void PFindOpen();
    void PFindClose();
    // Selects the next (previous) cell of the page's table after (before) the active cell that holds
    // EFind's text, or is it (CBWholeCell), letter case ignored and Ё taken as Е, past the end on from
    // the start, and scrolls it into view; the outcome area says where, and when nothing matched.
    void SBFindNextClick();
    void SBFindPrevClick();
    // Enter in EFilter: SG1 shows only the rows holding its text (all rows for an empty text). An emptied
    // box shows every row at once (EFilterChange). Saving saves every row, filtered or not.
    void EFilterAccept();
    void EFilterChange();
    // Ctrl+C on a table: its selected cells onto the clipboard, TAB-separated.
    void CopySelectedCells(GridControl& grid);

    // The save dialogs; they keep their values from one showing to the next.
    SaveDialog SDHTML;
    SaveDialog SD1;

private:
    void BindHandlers();
    NotifyEvent Handler(void (TFSend::*method)());
    NotifyEvent Handler(bool (TFSend::*method)());

    void StartUp(const std::optional<std::string>& first_argument);
    bool RunSwitch(Switch which);
    // When auto-save is chosen: the settings file, then the statistics table's send flags.
    void AutoSave();
    void ShowLastFile(const std::string& path);
    // After a load of SG1: nothing selected, its top shown, EFilter's filter made anew for its rows.
    void ViewerLoaded();
    void ApplyViewerFilter();
    void FindInPageTable(bool next);
    void EnableCloseTimer();
    ServiceRestartHost RestartHost();
    void EnterHandler();
    void LeaveHandler();
    void LockJobControls(bool lock);
    void CloseAndQuit();

    Host& host_;
    FSendSetup setup_;
    FormControls c_;
    FileBrowser browser_;
    StatusBarText status_text_;
    HostPause pause_;
    GaugeProgress gauge_progress_;
    HostEventPump event_pump_;
    TSmtpClient SmtpClient1;
    TrafficHistory history_;
    StatisticsFigures figures_;

    int busy_depth_ = 0;
    std::vector<bool> saved_enabled_;  // the job controls' and the browser's Enabled before the lock
    bool close_pending_ = false;       // a close asked for while busy
};

}  // namespace tarnwell

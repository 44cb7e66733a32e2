#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "form/button.h"
#include "form/cancel_button.h"
#include "form/check_box.h"
#include "form/check_list_box.h"
#include "form/edit.h"
#include "form/find_bar.h"
#include "form/form_pages.h"
#include "form/gauge.h"
#include "form/grid_control.h"
#include "form/memo.h"
#include "form/page_control.h"
#include "form/radio_group.h"
#include "form/spin_edit.h"
#include "form/status_bar.h"
#include "form/timer.h"

namespace tarnwell {

// The eleven columns of the statistics table, in column order; also the items of ChLBTable and ChLBHTML.
const std::vector<std::string>& StatColumnCaptions();
// The lines a personal letter can hold; the items of ChLBCont.
const std::vector<std::string>& LetterContentCaptions();
// The link that StaticText7 opens (not its shown text).
std::string_view MakerMailLink();

// Every control of the main window with its designed state: names, captions, items, hints, defaults.
// Settings live here and nowhere else. The application sets the handlers; setting a value from code runs
// none. Each control is named after its member here (Control::Name).
struct FormControls {
    FormControls();
    FormControls(const FormControls&) = delete;
    FormControls& operator=(const FormControls&) = delete;

    // The window itself.
    std::string Caption;
    int Left = 200;
    int Top = 193;
    int Width = 644;
    int Height = 375;

    // Navigation column, top to bottom: SpeedButton3, SBToStat, SBLimit, SpeedButton4, SBAbout.
    Button SpeedButton3;          // shows page 0, the viewer
    Button SBToStat;              // shows page 2 and refreshes the statistics
    Button SBLimit;               // shows page 3 and reads the limits
    Button SpeedButton4;          // shows page 1, the settings
    Button SBAbout;               // shows page 4, about the program
    Gauge CG1;                    // progress of a load, of the letters or of a save
    CancelButton SBCancel;        // beside CG1 while a save of the viewer table runs: stops it
    PageControl PC1{kPageCount};  // the five pages
    StatusBar StatBar;            // hints and the viewed file's state
    Timer TMClose;                // closes the window after an unattended run

    // Page 0, the file viewer (its browsing controls are the viewer's FileBrowser).
    GridControl SG1{5, 5};  // the viewed log file as a table
    Edit ECurrentFile;      // the viewed file's path
    Button SBSave;          // saves the viewed table as HTML or a workbook
    Edit EFilter;           // above SG1: shows only the rows holding its text (Enter applies it)

    // Page 1, the settings.
    Edit EHost;              // SMTP server
    Edit EPort;              // SMTP port
    Edit EDomain;            // mail domain the letters go to (login@domain)
    Edit EUserID;            // name given in HELO, and the login
    RadioGroup RGSecurity;   // protection of the mail session: none, STARTTLS, TLS from the first byte
    Edit EPassword;          // password of the login; empty: none
    Edit ECAFile;            // further trusted certificates (PEM) for the mail server
    Edit EFromName;          // sender's name
    Edit EFromAddress;       // sender's address
    Edit ESubject;           // subject of every message
    CheckListBox ChLBCont;   // lines a personal letter holds
    CheckListBox ChLBTable;  // statistics columns shown on screen
    CheckListBox ChLBHTML;   // statistics columns written to the report
    CheckListBox ChLBRun;    // autorun jobs
    Edit ESGToUser;          // address the table mail goes to
    CheckListBox ChLBOther;  // auto-close and auto-save
    RadioGroup RGkb;         // a kilobyte is 1000 or 1024 bytes

    // Page 2, the statistics.
    GridControl ASGRead{11, 5};   // the statistics table
    Edit EHTMLPath;               // the report file's path
    Button SBEditPathHTML;        // chooses the report file
    SpinEdit CSETochn{1, 20, 2};  // decimal places of the figures
    Button SBSaveHTML;            // writes the report
    Button SBSend1;               // sends the personal letters
    RadioGroup RG1;               // unit of the figures

    // Page 3, the limits, and the grid's pop-up menu (a separator stands between NSaveLim and NSaveEn).
    GridControl ASGLimit{6, 5};        // the limits table
    Button SBRead;                     // reads the limits again
    Button SBSet;                      // copies each limit into both balances
    Button SBSaveLim;                  // saves the limits and restarts the service
    SpinEdit SEDefault{0, 0, 200000};  // limit shown for an account without one
    Button NRead;                      // menu: as SBRead
    Button NSet;                       // menu: as SBSet
    Button NSaveLim;                   // menu: as SBSaveLim
    Button NSaveEn;                    // menu: saves only the "Включен" boxes

    // Page 4, about the program.
    Memo Memo1;          // the program's description
    Button STtoSite;     // shows and opens the maker's web address
    Button StaticText7;  // shows a mail address, opens MakerMailLink()

    // The find bar over the table of the page shown (PageTable), opened by Ctrl+F.
    FindBar PFind;         // the bar; hidden until Ctrl+F
    Edit EFind;            // the text looked for (Enter: as SBFindNext)
    Button SBFindNext;     // selects the next cell with the text (F3)
    Button SBFindPrev;     // selects the previous cell with the text (Shift+F3)
    CheckBox CBWholeCell;  // the text must be the whole cell, not a part of it

    // The table of a page, which the find bar searches and Ctrl+C copies from; nullptr for the settings
    // and the About page.
    GridControl* PageTable(int page);
    // The controls of the find bar, in the bar's order.
    std::array<Control*, 4> FindBarControls() { return {&EFind, &SBFindNext, &SBFindPrev, &CBWholeCell}; }

    // The navigation buttons in column order, top to bottom.
    std::array<Button*, 5> NavigationButtons() { return {&SpeedButton3, &SBToStat, &SBLimit, &SpeedButton4, &SBAbout}; }
    // The items of the limits grid's pop-up menu (window_parts::kLimitsMenu) in order; nullptr stands for
    // the separator line.
    std::array<Button*, 5> LimitsMenu() { return {&NRead, &NSet, &NSaveLim, nullptr, &NSaveEn}; }
    // Every control, in the order of the members.
    std::vector<Control*> AllControls();

    // The controls that start a job or change the page: the navigation buttons, the buttons and menu
    // items of the pages, and the unit and precision of the statistics, whose changes reload the table.
    // They are disabled while a handler runs, so that the events a waiting job lets through cannot start
    // a second one.
    std::vector<Control*> JobControls();

private:
    // Every control with its name, in the order of the members.
    std::vector<std::pair<Control*, std::string_view>> Names();
};

}  // namespace tarnwell

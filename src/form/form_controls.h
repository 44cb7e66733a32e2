#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "form/button.h"
#include "form/check_list_box.h"
#include "form/edit.h"
#include "form/gauge.h"
#include "form/grid_control.h"
#include "form/memo.h"
#include "form/page_control.h"
#include "form/radio_group.h"
#include "form/spin_edit.h"
#include "form/status_bar.h"
#include "form/timer.h"

namespace tarnwell {

// Pages of PC1, by page index.
enum PageIndex {
    kViewerPage = 0,    // TabSheet1, "Просмотр"
    kSettingsPage = 1,  // TabSheet2, "Настройки"
    kStatPage = 2,      // TabSheet4, "Статистика"
    kLimitsPage = 3,    // TabSheet5, "Лимиты"
    kAboutPage = 4,     // TabSheet3, "О программе"
    kPageCount = 5
};

// The eleven columns of the statistics table, in column order; also the items of ChLBTable and ChLBHTML.
const std::vector<std::string>& StatColumnCaptions();
// The lines a personal letter can hold; the items of ChLBCont.
const std::vector<std::string>& LetterContentCaptions();
// The link that StaticText7 opens (not its shown text).
std::string_view MakerMailLink();

// Every control of the main window with its designed state: captions, items, hints, defaults. Settings
// live here and nowhere else. The application sets the handlers; setting a value from code runs none.
struct TFormControls {
    TFormControls();
    TFormControls(const TFormControls&) = delete;
    TFormControls& operator=(const TFormControls&) = delete;

    // The window itself.
    std::string Caption;
    int Left = 200;
    int Top = 193;
    int Width = 644;
    int Height = 375;

    // Navigation column, top to bottom: SpeedButton3, SBToStat, SBLimit, SpeedButton4, SBAbout.
    TButton SpeedButton3;          // shows page 0, the viewer
    TButton SBToStat;              // shows page 2 and refreshes the statistics
    TButton SBLimit;               // shows page 3 and reads the limits
    TButton SpeedButton4;          // shows page 1, the settings
    TButton SBAbout;               // shows page 4, about the program
    TGauge CG1;                    // progress of a load or of the letters
    TPageControl PC1{kPageCount};  // the five pages
    TStatusBar StatBar;            // hints and the viewed file's state
    TTimer TMClose;                // closes the window after an unattended run

    // Page 0, the file viewer (its browsing controls are the viewer's FileBrowser).
    TGridControl SG1{5, 5};  // the viewed log file as a table
    TEdit ECurrentFile;      // the viewed file's path
    TButton SBSave;          // saves the viewed table as HTML or a workbook

    // Page 1, the settings.
    TEdit EHost;              // SMTP server
    TEdit EPort;              // SMTP port
    TEdit EDomain;            // mail domain the letters go to (login@domain)
    TEdit EUserID;            // name given in HELO, and the login
    TRadioGroup RGSecurity;   // protection of the mail session: none, STARTTLS, TLS from the first byte
    TEdit EPassword;          // password of the login; empty: none
    TEdit ECAFile;            // further trusted certificates (PEM) for the mail server
    TEdit EFromName;          // sender's name
    TEdit EFromAddress;       // sender's address
    TEdit ESubject;           // subject of every message
    TCheckListBox ChLBCont;   // lines a personal letter holds
    TCheckListBox ChLBTable;  // statistics columns shown on screen
    TCheckListBox ChLBHTML;   // statistics columns written to the report
    TCheckListBox ChLBRun;    // autorun jobs
    TEdit ESGToUser;          // address the table mail goes to
    TCheckListBox ChLBOther;  // auto-close and auto-save
    TRadioGroup RGkb;         // a kilobyte is 1000 or 1024 bytes

    // Page 2, the statistics.
    TGridControl ASGRead{11, 5};   // the statistics table
    TEdit EHTMLPath;               // the report file's path
    TButton SBEditPathHTML;        // chooses the report file
    TSpinEdit CSETochn{1, 20, 2};  // decimal places of the figures
    TButton SBSaveHTML;            // writes the report
    TButton SBSend1;               // sends the personal letters
    TRadioGroup RG1;               // unit of the figures

    // Page 3, the limits, and the grid's pop-up menu (a separator stands between NSaveLim and NSaveEn).
    TGridControl ASGLimit{6, 5};        // the limits table
    TButton SBRead;                     // reads the limits again
    TButton SBSet;                      // copies each limit into both balances
    TButton SBSaveLim;                  // saves the limits and restarts the service
    TSpinEdit SEDefault{0, 0, 200000};  // limit shown for an account without one
    TButton NRead;                      // menu: as SBRead
    TButton NSet;                       // menu: as SBSet
    TButton NSaveLim;                   // menu: as SBSaveLim
    TButton NSaveEn;                    // menu: saves only the "Включен" boxes

    // Page 4, about the program.
    TMemo Memo1;          // the program's description
    TButton STtoSite;     // shows and opens the maker's web address
    TButton StaticText7;  // shows a mail address, opens MakerMailLink()

    // The navigation buttons in column order, top to bottom.
    std::array<TButton*, 5> NavigationButtons() {
        return {&SpeedButton3, &SBToStat, &SBLimit, &SpeedButton4, &SBAbout};
    }

    // The controls that start a job or change the page: the navigation buttons, the buttons and menu
    // items of the pages, and the unit and precision of the statistics, whose changes reload the table.
    // They are disabled while a handler runs, so that the events a waiting job lets through cannot start
    // a second one.
    std::vector<TControl*> JobControls();
};

}  // namespace tarnwell

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
enum TPageIndex {
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
    TButton SpeedButton3;  // page 0
    TButton SBToStat;      // page 2
    TButton SBLimit;       // page 3
    TButton SpeedButton4;  // page 1
    TButton SBAbout;       // page 4
    TGauge CG1;
    TPageControl PC1{kPageCount};
    TStatusBar StatBar;
    TTimer TMClose;

    // Page 0, the file viewer (its browsing controls are the viewer's FileBrowser).
    TGridControl SG1{5, 5};
    TEdit ECurrentFile;
    TButton SBSave;

    // Page 1, the settings.
    TEdit EHost;
    TEdit EPort;
    TEdit EDomain;
    TEdit EUserID;
    TRadioGroup RGSecurity;  // none, STARTTLS, TLS from the first byte
    TEdit EPassword;
    TEdit ECAFile;
    TEdit EFromName;
    TEdit EFromAddress;
    TEdit ESubject;
    TCheckListBox ChLBCont;
    TCheckListBox ChLBTable;
    TCheckListBox ChLBHTML;
    TCheckListBox ChLBRun;
    TEdit ESGToUser;
    TCheckListBox ChLBOther;
    TRadioGroup RGkb;

    // Page 2, the statistics.
    TGridControl ASGRead{11, 5};
    TEdit EHTMLPath;
    TButton SBEditPathHTML;
    TSpinEdit CSETochn{1, 20, 2};
    TButton SBSaveHTML;
    TButton SBSend1;
    TRadioGroup RG1;

    // Page 3, the limits, and the grid's pop-up menu (a separator stands between NSaveLim and NSaveEn).
    TGridControl ASGLimit{6, 5};
    TButton SBRead;
    TButton SBSet;
    TButton SBSaveLim;
    TSpinEdit SEDefault{0, 0, 200000};
    TButton NRead;
    TButton NSet;
    TButton NSaveLim;
    TButton NSaveEn;

    // Page 4, about the program.
    TMemo Memo1;
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

// The Win32 window driven through its own messages: navigation and auto-save, hints, the "Послать" boxes,
// the limits with the restart against Wine's registry, the pop-up menu, the file list, the save-as flow
// and the autorun run that closes itself.

#include "support/service_log.h"
#include "window_fixture.h"
// After the fixture, whose ::testing its tarnwell::testing would hide.
#include "scripted_server.h"
// The dialog constants need the types that the fixture's headers bring.
#include <commdlg.h>

#include <dlgs.h>

#include <algorithm>
#include <fstream>

#include "settings/window_state.h"
#include "text/cp1251.h"
#include "text/cp1251_literal.h"

namespace tarnwell::win32::testing {
namespace {

using namespace literals;
using namespace std::chrono_literals;

// settings.ini with every section; the arguments are the values the tests vary.
std::vector<std::string> Settings(const std::string& last_path = "", bool auto_save = false, bool html = false,
                                  bool auto_close = false, const std::string& html_path = "export.htm") {
    return {"[mail]",
            "Host=127.0.0.1",
            "Port=25",
            "Domain=example.local",
            "HTMLPath=" + html_path,
            "[set]",
            "LastPath=" + last_path,
            "[AutoRun]",
            std::string("HTML=") + (html ? "1" : "0"),
            "Mail=0",
            "MailTable=0",
            "[TableStat]",
            "Send=1",
            "Login=1",
            "FullName=1",
            "ClientSendTraffic=1",
            "[TableHTML]",
            "Login=1",
            "FullName=1",
            "[opt]",
            std::string("AutoClose=") + (auto_close ? "1" : "0"),
            std::string("AutoSave=") + (auto_save ? "1" : "0"),
            "Tochnost=2",
            "DefaultLim=200000"};
}

int RowOf(const TTableGrid& grid, int col, std::string_view text) {
    for (int row = 0; row < grid.RowCount(); ++row) {
        if (grid.GetCellEx(col, row) == text) return row;
    }
    return -1;
}

// Selects an item of a list view as the user's click would leave it, and gives the list the focus.
void FocusItem(HWND list, int item) {
    SetFocus(list);
    LVITEMW state{};
    state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    state.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

TEST_F(WindowTest, NavigationShowsEachPageAndSavesTheSettingsFirst) {
    WriteSettings(Settings("", true));
    Start();
    EXPECT_TRUE(PageShown("TabSheet4"));  // the start-up ends on the statistics

    const std::vector<std::pair<std::string, std::string>> buttons = {{"SpeedButton3", "TabSheet1"},
                                                                      {"SBToStat", "TabSheet4"},
                                                                      {"SBLimit", "TabSheet5"},
                                                                      {"SpeedButton4", "TabSheet2"},
                                                                      {"SBAbout", "TabSheet3"}};
    for (const auto& [button, page] : buttons) {
        TypeInto(Find("EHost"), Wide("mail-" + button + ".example.org"));
        ClickButton(button);
        for (const auto& [other_button, other_page] : buttons) {
            EXPECT_EQ(PageShown(other_page), other_page == page) << button << " " << other_page;
        }
        EXPECT_NE(ReadSettings().find("Host=mail-" + button + ".example.org"), std::string::npos) << button;
    }

    // Auto-save unticked by the user: the next page change writes nothing.
    HWND other = Find("ChLBOther");
    FocusItem(other, 1);
    Key(other, VK_SPACE);
    ASSERT_FALSE(Controls().ChLBOther.Checked(1));
    const std::string saved = ReadSettings();
    TypeInto(Find("EHost"), L"not-saved.example.org");
    ClickButton("SpeedButton3");
    EXPECT_TRUE(PageShown("TabSheet1"));
    EXPECT_EQ(ReadSettings(), saved);
    EXPECT_TRUE(watcher_->boxes.empty());
}

// The desktop's font may draw wider than the designed one: every label of the settings page's edits
// is as wide as its caption ("Сертификаты:" was cut at the designed width).
TEST_F(WindowTest, EditLabelsOfTheSettingsShowTheirWholeCaptions) {
    WriteSettings(Settings());
    Start();
    ClickButton("SpeedButton4");
    for (const char* edit :
         {"EHost", "EPort", "EDomain", "EUserID", "EPassword", "ECAFile", "EFromName", "EFromAddress", "ESubject"}) {
        HWND label = Find(std::string(edit) + ".Label");
        wchar_t text[128] = {};
        const int length = GetWindowTextW(label, text, 128);
        HDC dc = GetDC(label);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32W(dc, text, length, &size);
        SelectObject(dc, old);
        ReleaseDC(label, dc);
        RECT client{};
        GetClientRect(label, &client);
        EXPECT_GE(client.right - client.left, size.cx) << edit;
    }
}

TEST_F(WindowTest, StatusBarShowsTheHintUnderTheMouse) {
    WriteSettings(Settings());
    Start();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"SBSend1", "Разослать наработанный трафик пользователям"},  // no tool tip, the long part
        {"EHTMLPath", "По этому пути при настройке автоматического сохранения будут сохраняться данные в формате HTML"},
        {"RG1.1", "Рaзмерность отображения трафика"},  // a radio button shows its group's hint
        {"CSETochn.Arrows", " Количество знаков после запятой"},
        {"EHTMLPath.Label", ""},  // a caption strip has none, nor has anything around it
        {"SBSaveHTML",
         "Сохранить в формате HTML(сохраняется в каталоге программы c именем, указанным в поле "
         "\"Файл экспорта:\")"},
    };
    for (const auto& [name, hint] : cases) {
        MouseOver(name);
        EXPECT_EQ(Cp1251ToUtf8(StatusText()), hint) << name;
    }

    // Tool tips only where the control asks for them: the window's own tip control (the lists have theirs)
    // knows those.
    struct Search {
        HWND owner;
        HWND tips;
    } search{Program().Window().Hwnd(), nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) {
            auto* search = reinterpret_cast<Search*>(param);
            wchar_t name[64] = L"";
            GetClassNameW(window, name, 64);
            if (std::wstring(name) == TOOLTIPS_CLASSW && GetWindow(window, GW_OWNER) == search->owner &&
                (search->tips == nullptr ||
                 SendMessageW(window, TTM_GETTOOLCOUNT, 0, 0) > SendMessageW(search->tips, TTM_GETTOOLCOUNT, 0, 0))) {
                search->tips = window;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    HWND tips = search.tips;
    ASSERT_NE(tips, nullptr);
    for (const auto& [name, shown] : std::vector<std::pair<std::string, bool>>{
             {"SBSave", true}, {"EHost", true}, {"ChLBRun", true}, {"SBSend1", false}, {"ASGRead", false}}) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = Program().Window().Hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(Find(name));
        EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)) != 0, shown) << name;
    }
}

// Each button of the radio groups selects its own item (the unit on the statistics page, the kilobyte and
// the mail protection on the settings page) and is then the group's only checked button. The clicks go
// round from the item after the selected one, so that each of them changes the selection.
TEST_F(WindowTest, RadioButtonsSelectTheirOwnItems) {
    WriteSettings(Settings());
    Start();
    const struct {
        const char* page_button;
        std::string group;
        RadioGroup FormControls::*control;
    } groups[] = {{"SBToStat", "RG1", &FormControls::RG1},
                  {"SpeedButton4", "RGkb", &FormControls::RGkb},
                  {"SpeedButton4", "RGSecurity", &FormControls::RGSecurity}};
    for (const auto& g : groups) {
        ClickButton(g.page_button);
        const RadioGroup& control = Controls().*g.control;
        const int count = static_cast<int>(control.Items().size());
        const int first = std::max(control.ItemIndex(), 0);
        for (int step = 1; step <= count; ++step) {
            const int item = (first + step) % count;
            const std::string name = g.group + "." + std::to_string(item);
            ClickButton(name);
            EXPECT_EQ(control.ItemIndex(), item) << name;
            for (int other = 0; other < count; ++other) {
                const LRESULT check = SendMessageW(Find(g.group + "." + std::to_string(other)), BM_GETCHECK, 0, 0);
                EXPECT_EQ(check, other == item ? BST_CHECKED : BST_UNCHECKED) << name << ", button " << other;
            }
        }
    }
    EXPECT_TRUE(watcher_->boxes.empty());
}

TEST_F(WindowTest, SendBoxIsToggledByClickAndSpaceAndStored) {
    WriteSettings(Settings("", true));
    Start();
    const TTableGrid& grid = Controls().ASGRead;
    const int row = RowOf(grid, 1, "ivanov");
    ASSERT_GT(row, 0);
    bool state = true;
    ASSERT_TRUE(grid.GetCheckBoxState(0, row, state));
    ASSERT_FALSE(state);

    ClickCell("ASGRead", 0, row);
    ASSERT_TRUE(grid.GetCheckBoxState(0, row, state));
    EXPECT_TRUE(state);
    Key(Find("ASGRead"), VK_SPACE);
    grid.GetCheckBoxState(0, row, state);
    EXPECT_FALSE(state);
    Key(Find("ASGRead"), VK_SPACE);
    grid.GetCheckBoxState(0, row, state);
    EXPECT_TRUE(state);
    // A click on a cell without a box changes nothing.
    const std::uint64_t revision = grid.Revision();
    ClickCell("ASGRead", 1, row);
    EXPECT_EQ(grid.Revision(), revision);

    ClickButton("SpeedButton3");  // auto-save stores the boxes
    EXPECT_EQ(Number("ivanov", "SendMail"), 1);
    EXPECT_TRUE(watcher_->boxes.empty());
}

// The logins of the statistics list's items, in the order shown.
std::vector<std::string> ShownLogins(HWND list) {
    std::vector<std::string> logins;
    const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int item = 0; item < count; ++item) {
        wchar_t text[64] = L"";
        LVITEMW cell{};
        cell.iSubItem = 1;
        cell.pszText = text;
        cell.cchTextMax = 64;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
        logins.push_back(Cp1251ToUtf8(Narrow(text)));
    }
    return logins;
}

// A click on a header sorts the rows shown; the table underneath, the report and the stored flags keep
// the table's own order.
TEST_F(WindowTest, StatisticsSortInTheViewOnly) {
    WriteSettings(Settings("", true));
    Start();
    HWND list = Find("ASGRead");
    using Logins = std::vector<std::string>;
    ASSERT_EQ(ShownLogins(list), (Logins{"system", "ivanov", "petrov", "Сумма"}));
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    auto click_header = [&](int column) {
        RECT rect{};
        SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&rect));
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(header, WM_LBUTTONUP, 0, at);
        Pump();
    };
    // "Скачано клиентом": petrov 0, system 1 MB, ivanov 12 MB; the totals stay last.
    click_header(3);
    EXPECT_EQ(ShownLogins(list), (Logins{"petrov", "system", "ivanov", "Сумма"}));
    click_header(3);
    EXPECT_EQ(ShownLogins(list), (Logins{"ivanov", "system", "petrov", "Сумма"}));
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, 3, reinterpret_cast<LPARAM>(&item));
    EXPECT_NE(item.fmt & HDF_SORTDOWN, 0);
    click_header(1);
    EXPECT_EQ(ShownLogins(list), (Logins{"ivanov", "petrov", "system", "Сумма"}));

    // The table keeps its order, and the box clicked in the sorted view is its user's, stored as his.
    const TTableGrid& grid = Controls().ASGRead;
    EXPECT_EQ(grid.GetCellEx(1, 2), "ivanov");
    ClickCell("ASGRead", 0, 2);
    bool state = false;
    ASSERT_TRUE(grid.GetCheckBoxState(0, 2, state));
    EXPECT_TRUE(state);
    ClickButton("SpeedButton3");  // auto-save stores the boxes
    EXPECT_EQ(Number("ivanov", "SendMail"), 1);

    // A refresh keeps the sort of the view.
    ClickButton("SBToStat");
    EXPECT_EQ(ShownLogins(list), (Logins{"ivanov", "petrov", "system", "Сумма"}));
    EXPECT_TRUE(watcher_->boxes.empty());
}

// WinGate's user database and service key in Wine's registry, written as a 32-bit WinGate keeps them:
// in the 32-bit view only.
class RegistryWindowTest : public WindowTest {
protected:
    static constexpr const wchar_t* kDatabase = L"SOFTWARE\\Qbik Software\\WinGate\\UserDatabase";
    static constexpr const wchar_t* kService = L"SYSTEM\\CurrentControlSet\\Services\\WinGateEngine";

    void SetUp() override {
        WindowTest::SetUp();
        Remove();
        struct Value {
            const wchar_t* name;
            DWORD number;
        };
        const Value counters[] = {{L"ClientSendTraffic", 0x00c00000},
                                  {L"NonClientRecvTraffic", 0x1000},
                                  {L"ClientRecvTraffic", 0x40000},
                                  {L"NonClientSendTraffic", 0x10},
                                  {L"TimeOnLine", 60},
                                  {L"OpeningBalanceLo", 1000},
                                  {L"ClosingBalanceLo", 250},
                                  {L"Limit", 50000},
                                  {L"AccountEnabled", 1},
                                  {L"SendMail", 0}};
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kDatabase) + L"\\ivanov").c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        SetText(key, L"Type", L"User");
        SetText(key, L"RealName", L"Иванов Иван");
        for (const Value& value : counters) {
            RegSetValueExW(key, value.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value.number), sizeof(DWORD));
        }
        RegCloseKey(key);
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kService, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        SetText(key, L"ImagePath", (Folder() / "service.exe").wstring());
        RegCloseKey(key);
    }
    void TearDown() override {
        WindowTest::TearDown();
        Remove();
    }

    static void SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    static void Remove() {
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_ALL_ACCESS | view, &key) == ERROR_SUCCESS) {
                RegDeleteTreeW(key, L"Qbik Software");
                RegCloseKey(key);
            }
        }
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kService);
    }
    static std::optional<DWORD> Limit(REGSAM view) {
        DWORD value = 0;
        DWORD size = sizeof(value);
        const DWORD flags =
            RRF_RT_REG_DWORD | (view == KEY_WOW64_32KEY ? RRF_SUBKEY_WOW6432KEY : RRF_SUBKEY_WOW6464KEY);
        if (RegGetValueW(HKEY_LOCAL_MACHINE, (std::wstring(kDatabase) + L"\\ivanov").c_str(), L"Limit", flags, nullptr,
                         &value, &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return value;
    }
};

TEST_F(RegistryWindowTest, LimitEditedInPlaceIsSavedWithTheServiceRestart) {
    WriteSettings(Settings());
    Start(std::nullopt, UserDatabaseLocation::Registry());
    EXPECT_TRUE(watcher_->boxes.empty());
    ClickButton("SBLimit");
    ASSERT_TRUE(PageShown("TabSheet5"));
    const TTableGrid& grid = Controls().ASGLimit;
    const int row = RowOf(grid, 0, "ivanov");
    ASSERT_GT(row, 0);
    EXPECT_EQ(grid.GetCellEx(2, row), "50000");

    DoubleClickCell("ASGLimit", 2, row);
    HWND editor = Find("ASGLimit.Editor");
    ASSERT_TRUE(IsWindowVisible(editor));
    EXPECT_EQ(Narrow(WindowTextOf(editor)), "50000");
    TypeInto(editor, L"77777");
    Key(editor, VK_RETURN);
    EXPECT_FALSE(IsWindowVisible(editor));
    EXPECT_EQ(grid.GetCellEx(2, row), "77777");
    // The login column is fixed: no editor opens there.
    DoubleClickCell("ASGLimit", 0, row);
    EXPECT_FALSE(IsWindowVisible(editor));

    ClickButton("SBSaveLim");  // asks, stops the service, waits five seconds, starts it
    ASSERT_TRUE(PumpUntil([&] {
        std::ifstream in(ServiceLog(), std::ios::binary);
        std::string log{std::istreambuf_iterator<char>(in), {}};
        return std::count(log.begin(), log.end(), '\n') >= 2;
    }));
    std::ifstream in(ServiceLog(), std::ios::binary);
    std::string log{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(testing_support::ServiceRunArguments(log), "-stop\n-start\n");
    EXPECT_EQ(Limit(KEY_WOW64_32KEY), 77777u);
    EXPECT_EQ(Limit(KEY_WOW64_64KEY), std::nullopt);
    EXPECT_EQ(StatusText(), "");
    EXPECT_TRUE(watcher_->boxes.empty());
    EXPECT_EQ(watcher_->questions, std::vector<std::string>{"Сохранить изменения и перезапустить службу WinGate?"});
}

// A column's edge dragged in the header: the statistics grid takes the new width, the limits grid keeps its.
TEST_F(WindowTest, HeaderSizesTheColumnsOfResizableGridsOnly) {
    WriteSettings(Settings());
    Start();
    auto drag = [this](const std::string& grid, int column, int width) {
        HWND header = reinterpret_cast<HWND>(SendMessageW(Find(grid), LVM_GETHEADER, 0, 0));
        HDITEMW item{};
        item.mask = HDI_WIDTH;
        item.cxy = width;
        SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        Pump();
    };
    const int scale = DpiOfWindow(Program().Window().Hwnd());
    drag("ASGRead", 2, MulDiv(200, scale, 96));
    EXPECT_EQ(Controls().ASGRead.ColWidths(2), 200);
    ClickButton("SBLimit");
    const int before = Controls().ASGLimit.ColWidths(2);
    drag("ASGLimit", 2, MulDiv(before + 50, scale, 96));
    EXPECT_EQ(Controls().ASGLimit.ColWidths(2), before);
}

TEST_F(WindowTest, PopUpMenuOfTheLimitsRunsItsItems) {
    WriteSettings(Settings());
    Start();
    ClickButton("SBLimit");
    const TTableGrid& grid = Controls().ASGLimit;
    const int ivanov = RowOf(grid, 0, "ivanov");
    const int petrov = RowOf(grid, 0, "petrov");
    ASSERT_GT(ivanov, 0);
    ASSERT_GT(petrov, 0);
    DoubleClickCell("ASGLimit", 2, ivanov);
    TypeInto(Find("ASGLimit.Editor"), L"1");
    Key(Find("ASGLimit.Editor"), VK_RETURN);
    ASSERT_EQ(grid.GetCellEx(2, ivanov), "1");

    // "Перечитать данные", the first item, drops the edit.
    std::vector<std::string> items;
    watcher_->on_menu = [&items](HWND window, HMENU menu) {
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[128] = L"";
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE | MIIM_STRING;
            info.dwTypeData = text;
            info.cch = 128;
            GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
            items.push_back((info.fType & MFT_SEPARATOR) != 0 ? "-" : Cp1251ToUtf8(Narrow(text)));
        }
        PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
    };
    ClickCell("ASGLimit", 2, ivanov, WM_RBUTTONDOWN);
    EXPECT_EQ(items, (std::vector<std::string>{"Перечитать данные", "Установить лимиты",
                                               "Сохранить изменения и рестартовать сервис", "-",
                                               "Сохранить состояние профилей \"Включен\""}));
    EXPECT_EQ(grid.GetCellEx(2, ivanov), "50000");

    // The last item stores the "Включен" boxes.
    ClickCell("ASGLimit", 5, petrov);
    bool enabled = false;
    ASSERT_TRUE(grid.GetCheckBoxState(5, petrov, enabled));
    ASSERT_TRUE(enabled);
    watcher_->on_menu = [](HWND window, HMENU) {
        for (int i = 0; i < 4; ++i) PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
    };
    ClickCell("ASGLimit", 1, petrov, WM_RBUTTONDOWN);
    PumpUntil([&] { return Number("petrov", "AccountEnabled") == 1; });
    EXPECT_EQ(Number("petrov", "AccountEnabled"), 1);
    EXPECT_TRUE(watcher_->boxes.empty());
}

// A folder of logs for the viewer: a.log (2 lines), b.log (3 lines of 3 fields) and notes.txt.
fs::path WriteLogs(const fs::path& folder) {
    const fs::path logs = folder / "logs";
    fs::create_directories(logs);
    std::ofstream(logs / "a.log", std::ios::binary) << "h1\th2\r\n1\t2\r\n";
    std::ofstream(logs / "b.log", std::ios::binary) << "x\ty\tz\r\n1\t2\t3\r\n4\t5\t6\r\n";
    std::ofstream(logs / "notes.txt", std::ios::binary) << "text\r\n";
    return logs;
}

TEST_F(WindowTest, FileListLoadsTheLogDoubleClicked) {
    const fs::path logs = WriteLogs(Folder());
    WriteSettings(Settings((logs / "a.log").string()));
    Start();
    ClickButton("SpeedButton3");
    ASSERT_TRUE(PageShown("TabSheet1"));
    EXPECT_EQ(Controls().SG1.RowCount(), 2);
    HWND files = Find("FLB1");
    EXPECT_EQ(SendMessageW(files, LVM_GETITEMCOUNT, 0, 0), 3);

    // The filter keeps the logs only.
    HWND filter = Find("FilterComboBox1");
    SendMessageW(filter, CB_SETCURSEL, 3, 0);
    SendMessageW(GetParent(filter), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(filter), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(filter));
    Pump();
    ASSERT_EQ(SendMessageW(files, LVM_GETITEMCOUNT, 0, 0), 2);

    DoubleClickItem(files, 1);
    const TTableGrid& grid = Controls().SG1;
    EXPECT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_EQ(fs::path(TextOf("ECurrentFile")), logs / "b.log");
    // The list shows the rows below the header, the header the first line.
    HWND list = Find("SG1");
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
    wchar_t caption[32] = L"";
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = caption;
    item.cchTextMax = 32;
    SendMessageW(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), HDM_GETITEMW, 2,
                 reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::wstring(caption), L"z");
    wchar_t cell[32] = L"";
    LVITEMW text{};
    text.iSubItem = 1;
    text.pszText = cell;
    text.cchTextMax = 32;
    SendMessageW(list, LVM_GETITEMTEXTW, 1, reinterpret_cast<LPARAM>(&text));
    EXPECT_EQ(std::wstring(cell), L"5");
    EXPECT_FALSE(IsWindowVisible(Find("CG1")));
    EXPECT_TRUE(watcher_->boxes.empty());
}

// The file name field and the type list of the system's save dialog.
HWND NameField(HWND dialog) {
    HWND name = GetDlgItem(dialog, cmb13);
    return name != nullptr ? name : GetDlgItem(dialog, edt1);
}

std::string ProposedPath(HWND dialog) {
    wchar_t path[MAX_PATH] = L"";
    SendMessageW(dialog, CDM_GETFILEPATH, MAX_PATH, reinterpret_cast<LPARAM>(path));
    return Narrow(path);
}

void PickType(HWND dialog, int index) {
    HWND types = GetDlgItem(dialog, cmb1);
    SendMessageW(types, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // A pick with the mouse or the keyboard ends with both notifications.
    for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK}) {
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, code), reinterpret_cast<LPARAM>(types));
    }
}

void Confirm(HWND dialog, const fs::path& file) {
    SetWindowTextW(NameField(dialog), file.wstring().c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

TEST_F(WindowTest, SaveAsWritesTheTypeChosenInTheDialog) {
    const fs::path logs = WriteLogs(Folder());
    const std::string viewed = (logs / "b.log").string();
    WriteSettings(Settings(viewed));
    Start();
    ClickButton("SpeedButton3");

    // First the HTML page, on the type the dialog opens with.
    std::string proposed;
    watcher_->on_save_dialog = [&](HWND dialog) {
        proposed = ProposedPath(dialog);
        Confirm(dialog, Folder() / "table.htm");
    };
    ClickButton("SBSave");
    ASSERT_TRUE(PumpUntil([&] { return fs::exists(Folder() / "table.htm"); }));
    EXPECT_EQ(proposed, viewed + ".htm");
    std::ifstream html(Folder() / "table.htm", std::ios::binary);
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(html), {}).find("<td"), std::string::npos);

    // Then the workbook: the type switched in the dialog decides.
    watcher_->on_save_dialog = [&](HWND dialog) {
        PickType(dialog, 1);
        Confirm(dialog, Folder() / "table.xls");
    };
    ClickButton("SBSave");
    ASSERT_TRUE(PumpUntil([&] { return fs::exists(Folder() / "table.xls"); }));
    std::ifstream xls(Folder() / "table.xls", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(xls), {}).substr(0, 4), "\xD0\xCF\x11\xE0");
    EXPECT_EQ(Program().Form().SD1.DefaultExt, "xls");
    EXPECT_EQ(Program().Form().SD1.FilterIndex, 2);

    // The next opening proposes the workbook's extension on the workbook's type; cancelled, nothing is written.
    int type = -1;
    watcher_->on_save_dialog = [&](HWND dialog) {
        proposed = ProposedPath(dialog);
        type = static_cast<int>(SendMessageW(GetDlgItem(dialog, cmb1), CB_GETCURSEL, 0, 0));
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    };
    ClickButton("SBSave");
    ASSERT_TRUE(PumpUntil([&] { return type >= 0; }));
    EXPECT_EQ(proposed, viewed + ".xls");
    EXPECT_EQ(type, 1);
    EXPECT_TRUE(watcher_->boxes.empty());
}

// A log whose save takes many steps of the gauge: once the gauge has moved, the user clicks the cancel button
// under it (or presses Escape). The old file stays as it was, nothing of the new one is left, and the gauge
// and the button go away again.
TEST_F(WindowTest, CancelButtonStopsASaveMidWay) {
    const fs::path logs = Folder() / "logs";
    fs::create_directories(logs);
    {
        std::ofstream log(logs / "big.log", std::ios::binary);
        log << "time\tuser\turl\r\n";
        for (int i = 0; i < 150'000; ++i) log << "10:" << i % 60 << "\tuser" << i % 97 << "\thttp://example.org/page/" << i << "\r\n";
    }
    const std::string viewed = (logs / "big.log").string();
    WriteSettings(Settings(viewed));
    Start();
    ClickButton("SpeedButton3");
    ASSERT_EQ(Controls().SG1.RowCount(), 150'001);
    HWND gauge = Find("CG1");
    HWND cancel = Find("SBCancel");
    EXPECT_FALSE(IsWindowVisible(cancel));
    EXPECT_EQ(Narrow(WindowTextOf(cancel)), "О&тмена"_cp);  // its accelerator letter marked

    struct Case {
        const char* target;
        int type;  // the dialog's file type picked, 0: as it opens
        bool escape;
    };
    for (const Case& c : {Case{"big.log.htm", 0, false}, Case{"big.log.xls", 1, false}, Case{"big.log.xls", 0, true}}) {
        SCOPED_TRACE(c.target);
        const fs::path target = logs / c.target;
        std::ofstream(target, std::ios::binary) << "old";
        watcher_->on_save_dialog = [&](HWND dialog) {
            if (c.type != 0) PickType(dialog, c.type);
            Confirm(dialog, target);
        };
        int stopped_at = -1;
        watcher_->on_tick = [&] {
            const int position = static_cast<int>(SendMessageW(gauge, PBM_GETPOS, 0, 0));
            if (stopped_at >= 0 || !IsWindowVisible(cancel) || position <= 0) return;
            stopped_at = position;
            if (c.escape) {
                PostMessageW(Find("SG1"), WM_KEYDOWN, VK_ESCAPE, 1);
                PostMessageW(Find("SG1"), WM_KEYUP, VK_ESCAPE, 0xC0000001);
            } else {
                PostMessageW(cancel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
                PostMessageW(cancel, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
            }
        };
        ClickButton("SBSave");
        ASSERT_TRUE(PumpUntil([&] { return stopped_at >= 0 && !Program().Form().Busy(); }, std::chrono::seconds(60)));
        watcher_->on_tick = nullptr;
        EXPECT_GT(stopped_at, 0);
        EXPECT_LT(stopped_at, 1000);
        std::ifstream kept(target, std::ios::binary);
        EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(kept), {}) == "old") << "the old file was replaced";
        EXPECT_FALSE(fs::exists(target.string() + ".tarnwell.tmp"));
        EXPECT_FALSE(fs::exists(Folder() / "grid.tmp"));
        EXPECT_FALSE(IsWindowVisible(cancel));
        EXPECT_FALSE(IsWindowVisible(gauge));
    }
    EXPECT_TRUE(watcher_->boxes.empty());
}

TEST_F(WindowTest, AutorunRunClosesItselfAfterTheIntervalSavingFirst) {
    const fs::path report = Folder() / "report.htm";
    WriteSettings(Settings("", true, true, true, report.string()));
    const auto interval = std::chrono::milliseconds(1500);
    const auto started = std::chrono::steady_clock::now();
    Start(std::nullopt, std::nullopt, [&](TFSend& form) { form.Controls().TMClose.Interval = interval.count(); });
    EXPECT_TRUE(fs::exists(report));
    EXPECT_TRUE(IsWindowVisible(Program().Window().Hwnd()));
    EXPECT_TRUE(Program().Host().CloseTimerRunning());
    TypeInto(Find("EHost"), L"closing.example.org");

    EXPECT_TRUE(PumpUntil([&] { return Program().Host().QuitQueued(); }));
    EXPECT_GE(std::chrono::steady_clock::now() - started, interval);
    EXPECT_NE(ReadSettings().find("Host=closing.example.org"), std::string::npos);
    EXPECT_TRUE(watcher_->boxes.empty());
}

TEST_F(WindowTest, SwitchRunsItsJobAndTheWindowNeverShows) {
    WriteSettings(Settings("", false, false, false, (Folder() / "switch.htm").string()));
    Start(std::string("/createhtml"));
    EXPECT_TRUE(Program().Host().QuitQueued());
    EXPECT_FALSE(IsWindowVisible(Program().Window().Hwnd()));
    EXPECT_TRUE(fs::exists(Folder() / "switch.htm"));
    Start(std::string("/nonsense"));
    EXPECT_EQ(watcher_->boxes, std::vector<std::string>{"Неправильно задан ключ"});
}

// The letters' run against a server that refuses petrov's letter: the error box accounts for it, and the
// outcome part at the right of the status bar tells what the run did and where, whole, until the next
// outcome; the hints under the mouse go to the other part.
TEST_F(WindowTest, MailRunShowsItsOutcomeApartFromTheHints) {
    tarnwell::testing::ScriptedServer server(tarnwell::testing::SmtpScript(
        "220 ready\r\n", {"250 hello\r\n", "250 reset\r\n", "250 sender ok\r\n", "550 no such user\r\n",
                          "554 no valid recipients\r\n", "221 bye\r\n"}));
    std::vector<std::string> settings = Settings();
    std::replace(settings.begin(), settings.end(), std::string("Port=25"), "Port=" + std::to_string(server.Port()));
    WriteSettings(settings);
    Start();
    HWND bar = Find("StatBar");
    auto part = [bar](int index) {
        wchar_t text[512] = L"";
        SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        return std::wstring(text);
    };
    EXPECT_EQ(part(1), L"");

    ClickButton("SBSend1");
    ASSERT_TRUE(PumpUntil([&] { return !watcher_->boxes.empty(); }));
    EXPECT_EQ(watcher_->boxes,
              std::vector<std::string>{"Отправлено писем: 0 из 1.\nНе отправлено: petrov@example.local: 550 no such user"});
    const std::wstring told =
        Wide(Utf8ToCp1251("Письма (127.0.0.1:" + std::to_string(server.Port()) +
                          "): отправлено 0 из 1, не отправлено 1"));
    EXPECT_EQ(part(1), told);
    RECT rect{};
    SendMessageW(bar, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&rect));
    EXPECT_GE(rect.right - rect.left, TextWidthIn(bar, told)) << "the outcome is shown whole";

    MouseOver("SBSend1");
    EXPECT_EQ(Narrow(part(0)), "Разослать наработанный трафик пользователям"_cp);
    EXPECT_EQ(part(1), told);
    EXPECT_EQ(Program().Host().ExitStatus(), 1);
    server.WaitForClientClose();
}

// Started from a desktop with a switch, the window's program ends with the exit status of the headless
// one: 1 when a box was shown, 0 otherwise, whatever the message loop's quit request says.
TEST_F(WindowTest, TheWindowedProgramsExitStatusCountsItsBoxes) {
    WriteSettings(Settings("", false, false, false, (Folder() / "switch.htm").string()));
    auto setup = [this] {
        return FSendSetup{UserDatabaseLocation::RegFile(RegPath().string()), Folder().string(), nullptr,
                          std::make_unique<SystemProgramRunner>()};
    };
    EXPECT_EQ(RunWindow(GetModuleHandleW(nullptr), std::string("/nonsense"), SW_SHOWNORMAL, setup), 1);
    EXPECT_EQ(watcher_->boxes, std::vector<std::string>{"Неправильно задан ключ"});
    EXPECT_EQ(RunWindow(GetModuleHandleW(nullptr), std::string("/createhtml"), SW_SHOWNORMAL, setup), 0);
    EXPECT_TRUE(fs::exists(Folder() / "switch.htm"));
    EXPECT_EQ(watcher_->boxes.size(), 1u);
}


std::wstring StatusPart(HWND bar, int index) {
    wchar_t text[512] = L"";
    SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

std::string FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Closing the window with an edit of the limits table not yet saved asks first: Cancel keeps the window
// and the edit, "do not save" closes it with nothing written and the service untouched.
TEST_F(WindowTest, ClosingWithUnsavedLimitsAsksFirst) {
    WriteSettings(Settings());
    Start();
    ClickButton("SBLimit");
    const int row = RowOf(Controls().ASGLimit, 0, "ivanov");
    ASSERT_GT(row, 0);
    DoubleClickCell("ASGLimit", 2, row);
    HWND editor = Find("ASGLimit.Editor");
    TypeInto(editor, L"77777");
    Key(editor, VK_RETURN);
    ASSERT_EQ(Controls().ASGLimit.GetCellEx(2, row), "77777");
    const std::string before = FileBytes(RegPath());

    watcher_->answers = {IDCANCEL};
    PostMessageW(Program().Window().Hwnd(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return watcher_->questions.size() == 1; }));
    Pump(200ms);
    EXPECT_FALSE(Program().Host().QuitQueued());
    EXPECT_TRUE(IsWindowVisible(Program().Window().Hwnd()));
    EXPECT_EQ(Controls().ASGLimit.GetCellEx(2, row), "77777");
    EXPECT_EQ(watcher_->questions[0],
              "Изменения в таблице лимитов не сохранены. Сохранить их и перезапустить службу WinGate?\n\n"
              "Да: сохранить. Нет: не сохранять. Отмена: вернуться.");

    watcher_->answers = {IDNO};
    PostMessageW(Program().Window().Hwnd(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return Program().Host().QuitQueued(); }));
    EXPECT_EQ(watcher_->questions.size(), 2u);
    EXPECT_EQ(FileBytes(RegPath()), before);
    EXPECT_FALSE(fs::exists(ServiceLog()));
    EXPECT_TRUE(watcher_->boxes.empty());
}

// A number out of range is marked as soon as it is in the cell; the save then asks, refuses the whole
// table naming the user and the column, writes nothing and leaves the service alone.
TEST_F(WindowTest, ABadLimitsCellIsRefusedWithNothingWrittenAndTheServiceUntouched) {
    WriteSettings(Settings());
    Start();
    ClickButton("SBLimit");
    const int row = RowOf(Controls().ASGLimit, 0, "ivanov");
    DoubleClickCell("ASGLimit", 3, row);
    HWND editor = Find("ASGLimit.Editor");
    TypeInto(editor, L"99999999999");
    Key(editor, VK_RETURN);
    EXPECT_TRUE(Controls().ASGLimit.CellRefused(3, row));
    const std::string before = FileBytes(RegPath());

    ClickButton("SBSaveLim");
    ASSERT_TRUE(PumpUntil([&] { return !watcher_->boxes.empty(); }));
    EXPECT_EQ(watcher_->questions, std::vector<std::string>{"Сохранить изменения и перезапустить службу WinGate?"});
    EXPECT_EQ(watcher_->boxes, std::vector<std::string>{"'99999999999' is not a valid integer value.\n"
                                                        "Пользователь ivanov, графа \"Открыт баланс\""});
    Pump(200ms);
    EXPECT_EQ(FileBytes(RegPath()), before);
    EXPECT_FALSE(fs::exists(ServiceLog()));

    // Answered No, the restart is not run either.
    watcher_->boxes.clear();
    DoubleClickCell("ASGLimit", 3, row);
    TypeInto(editor, L"5");
    Key(editor, VK_RETURN);
    watcher_->answers = {IDNO};
    ClickButton("SBSaveLim");
    ASSERT_TRUE(PumpUntil([&] { return watcher_->questions.size() == 2; }));
    Pump(200ms);
    EXPECT_EQ(FileBytes(RegPath()), before);
    EXPECT_FALSE(fs::exists(ServiceLog()));
    EXPECT_TRUE(watcher_->boxes.empty());
}

// "Файл экспорта:" relative: the report goes beside the program, not into the folder the viewer shows,
// and the outcome area names it in full, still after the mouse has passed over other controls.
TEST_F(WindowTest, ARelativeReportGoesBesideTheProgramAndItsOutcomeStays) {
    const fs::path logs = WriteLogs(Folder());
    WriteSettings(Settings("", false, false, false, "report.htm"));
    Start();
    fs::current_path(logs);  // where the viewer would have left it
    ClickButton("SBSaveHTML");
    ASSERT_TRUE(PumpUntil([&] { return fs::exists(Folder() / "report.htm"); }));
    EXPECT_FALSE(fs::exists(logs / "report.htm"));
    HWND bar = Find("StatBar");
    const std::wstring told = Wide("HTML-отчёт сохранён: "_cp) + Wide((Folder() / "report.htm").string());
    EXPECT_EQ(StatusPart(bar, 1), told);
    MouseOver("SBSend1");
    MouseOver("ASGRead");
    MouseOver("SBToStat");
    EXPECT_EQ(StatusPart(bar, 1), told);
    EXPECT_TRUE(watcher_->boxes.empty());
}

// The auto-close after autorun counts down in the outcome area; unticking its item stops it for good.
TEST_F(WindowTest, UntickingTheAutoCloseCancelsItsCountdown) {
    const fs::path report = Folder() / "report.htm";
    WriteSettings(Settings("", false, true, true, report.string()));
    Start();
    ASSERT_TRUE(Program().Host().CloseTimerRunning());
    HWND bar = Find("StatBar");
    const std::wstring done = Wide("HTML-отчёт сохранён: "_cp) + Wide(report.string());
    EXPECT_EQ(StatusPart(bar, 1), done + Wide("; закрытие через 15 с."_cp));
    ASSERT_TRUE(PumpUntil([&] { return StatusPart(bar, 1) == done + Wide("; закрытие через 14 с."_cp); }, 3s));

    ClickButton("SpeedButton4");
    HWND other = Find("ChLBOther");
    FocusItem(other, 0);
    Key(other, VK_SPACE);
    ASSERT_FALSE(Controls().ChLBOther.Checked(0));
    EXPECT_FALSE(Program().Host().CloseTimerRunning());
    EXPECT_EQ(StatusPart(bar, 1), done + Wide("; автоматическое закрытие отменено"_cp));
    Pump(1500ms);
    EXPECT_FALSE(Program().Host().QuitQueued());
    EXPECT_TRUE(watcher_->boxes.empty());
}


// window.ini gives the window its place and size at start, kept whole on the monitor's work area; the
// window writes them back when it closes, whatever the auto-save box says.
TEST_F(WindowTest, GeometryIsRestoredOnTheScreenAndKeptAtClose) {
    WriteSettings(Settings());
    WindowState kept;
    kept.geometry = WindowRect{40, 30, 700, 420};
    kept.dpi = 96;
    SaveWindowState(kept, Folder().string());
    Start();
    RECT rect{};
    GetWindowRect(Program().Window().Hwnd(), &rect);
    const int dpi = DpiOfWindow(Program().Window().Hwnd());
    EXPECT_EQ(rect.right - rect.left, MulDiv(700, dpi, 96));
    EXPECT_EQ(rect.bottom - rect.top, MulDiv(420, dpi, 96));

    SetWindowPos(Program().Window().Hwnd(), nullptr, 60, 50, MulDiv(720, dpi, 96), MulDiv(430, dpi, 96),
                 SWP_NOZORDER);
    Program().KeepWindowState();
    const WindowState back = ReadWindowState(Folder().string());
    ASSERT_TRUE(back.geometry.has_value());
    EXPECT_EQ(back.geometry->width, MulDiv(720, dpi, 96));
    EXPECT_EQ(back.dpi, dpi);
    EXPECT_EQ(ReadSettings().find("Width"), std::string::npos);

    // Closed far off the screen at 144 dpi: it opens whole on the work area.
    WindowState distant;
    distant.geometry = WindowRect{9000, 7000, 966, 563};
    distant.dpi = 144;
    SaveWindowState(distant, Folder().string());
    Start();
    GetWindowRect(Program().Window().Hwnd(), &rect);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(Program().Window().Hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
    EXPECT_GE(rect.left, monitor.rcWork.left);
    EXPECT_GE(rect.top, monitor.rcWork.top);
    EXPECT_LE(rect.right, monitor.rcWork.right);
    EXPECT_LE(rect.bottom, monitor.rcWork.bottom);
}

}  // namespace
}  // namespace tarnwell::win32::testing

// The Win32 window through the system's accessibility interface (MSAA: the accessible object that oleacc
// gives for each window), as a screen reader asks it: every control of the form that has a widget, with
// its name and role, the edits with their values, and the grids' cells and column headers through the
// list views' own messages, which the list's accessible object reads on Windows.
//
// How far Wine 8 serves it: it names a widget by its window text, an edit by the static label just before
// it, a combo box by the item it shows; it gives the text role to edits and the plain client role to
// every other class (buttons, radio buttons, frames, labels, lists, the tree, combo boxes, the bar and
// the status bar), where Windows gives each its own. For those the test checks the window class and
// style that give the role on Windows, and that Wine answers with that role or the client role. Wine
// does not list a list view's items as children of its object.

#include <oleacc.h>

#include <set>

#include "form/group_frames.h"
#include "form/widget_names.h"
#include "gui_win32/control_id.h"
#include "text/cp1251.h"
#include "window_fixture.h"

namespace tarnwell::win32::testing {
namespace {

// What a screen reader hears of one widget.
struct Heard {
    std::string name;   // UTF-8
    std::string value;  // UTF-8
    long role = -1;
    bool value_served = false;
};

std::string Utf8(BSTR text) {
    if (text == nullptr) return {};
    return Cp1251ToUtf8(Narrow(std::wstring_view(text, SysStringLen(text))));
}

Heard Hear(HWND widget) {
    Heard heard;
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(widget, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))) ||
        object == nullptr) {
        ADD_FAILURE() << "no accessible object";
        return heard;
    }
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (object->get_accName(self, &name) == S_OK) heard.name = Utf8(name);
    SysFreeString(name);
    BSTR value = nullptr;
    heard.value_served = object->get_accValue(self, &value) == S_OK;
    if (heard.value_served) heard.value = Utf8(value);
    SysFreeString(value);
    VARIANT role;
    VariantInit(&role);
    if (object->get_accRole(self, &role) == S_OK && role.vt == VT_I4) heard.role = role.lVal;
    object->Release();
    return heard;
}

// The kinds of widget the window has, each with the role Windows gives it, the class and the button
// style that make that role.
struct Kind {
    long role;
    const wchar_t* window_class;
    LONG button_type = -1;  // BS_TYPEMASK part of a BUTTON's style
};
const Kind kPushButton{ROLE_SYSTEM_PUSHBUTTON, L"Button", BS_PUSHBUTTON};
const Kind kNavButton{ROLE_SYSTEM_PUSHBUTTON, L"Button", BS_OWNERDRAW};
const Kind kRadioButton{ROLE_SYSTEM_RADIOBUTTON, L"Button", BS_RADIOBUTTON};
const Kind kCheckBox{ROLE_SYSTEM_CHECKBUTTON, L"Button", BS_CHECKBOX};
const Kind kFrame{ROLE_SYSTEM_GROUPING, L"Button", BS_GROUPBOX};
const Kind kText{ROLE_SYSTEM_TEXT, L"Edit"};
const Kind kList{ROLE_SYSTEM_LIST, WC_LISTVIEWW};
const Kind kTree{ROLE_SYSTEM_OUTLINE, WC_TREEVIEWW};
const Kind kCombo{ROLE_SYSTEM_COMBOBOX, WC_COMBOBOXW};
const Kind kBar{ROLE_SYSTEM_PROGRESSBAR, PROGRESS_CLASSW};
const Kind kStatus{ROLE_SYSTEM_STATUSBAR, STATUSCLASSNAMEW};
const Kind kStatic{ROLE_SYSTEM_STATICTEXT, L"Static"};

std::wstring ClassOf(HWND widget) {
    wchar_t name[64] = L"";
    GetClassNameW(widget, name, 64);
    return name;
}

void ExpectKind(HWND widget, const Kind& kind, long served) {
    EXPECT_EQ(_wcsicmp(ClassOf(widget).c_str(), kind.window_class), 0) << Narrow(ClassOf(widget));
    if (kind.button_type >= 0) {
        EXPECT_EQ(GetWindowLongW(widget, GWL_STYLE) & BS_TYPEMASK, kind.button_type);
    }
    if (kind.role == ROLE_SYSTEM_TEXT) {
        EXPECT_EQ(served, ROLE_SYSTEM_TEXT);  // Wine serves the role of an edit
    } else {
        EXPECT_TRUE(served == kind.role || served == ROLE_SYSTEM_CLIENT) << served;
    }
}

class AccessibilityTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    void TearDown() override {
        WindowTest::TearDown();
        CoUninitialize();
    }

    // The widget is heard by its name in its kind's role.
    void ExpectHeard(const std::string& widget_name, const std::string& name, const Kind& kind) {
        SCOPED_TRACE(widget_name);
        HWND widget = Find(widget_name);
        const Heard heard = Hear(widget);
        EXPECT_EQ(heard.name, name);
        ExpectKind(widget, kind, heard.role);
        heard_.insert(widget_name);
    }

    std::set<std::string> heard_;
};

TEST_F(AccessibilityTest, EveryControlIsHeardByItsCaptionLabelOrName) {
    WriteSettings({"[mail]", "Host=mail.example.org", "[set]", "LastPath=", "[AutoRun]", "HTML=0", "Mail=0",
                   "MailTable=0", "[opt]", "AutoSave=0", "Tochnost=2"});
    Start();
    FormControls& c = Controls();

    // Buttons by their captions; "..." is all Windows and Wine have of SBEditPathHTML, whose name the
    // caption is.
    for (Button* button : c.NavigationButtons()) ExpectHeard(button->Name, Cp1251ToUtf8(button->Caption), kNavButton);
    const std::pair<const Button*, const char*> buttons[] = {
        {&c.SBSave, "Сохранить ..."},     {&c.SBSaveHTML, "Сохранить HTML"}, {&c.SBSend1, "Послать"},
        {&c.SBRead, "Перечитать данные"}, {&c.SBSet, "Установить лимиты"},   {&c.SBSaveLim, "Сохранить изменения"},
        {&c.SBEditPathHTML, "..."},       {&c.SBFindNext, "Далее"},         {&c.SBFindPrev, "Назад"},
        {&c.SBCancel, "Отмена"},
    };
    for (const auto& [button, name] : buttons) ExpectHeard(button->Name, name, kPushButton);
    ExpectHeard(c.STtoSite.Name, "http://www.example.com", kStatic);
    ExpectHeard(c.StaticText7.Name, "mailto:author@example.com", kStatic);

    // Edits by the caption strip before them (a blank keeps the caption off the strip's bevel), or by the
    // name the form gives where no strip names them; their texts as values.
    const std::pair<const Control*, const char*> edits[] = {
        {&c.EHost, " Машина:"},
        {&c.EPort, " Порт:"},
        {&c.EDomain, " Домен:"},
        {&c.EUserID, " User ID:"},
        {&c.EPassword, " Пароль:"},
        {&c.ECAFile, " Сертификаты:"},
        {&c.EFromName, " От кого(ФИО):"},
        {&c.EFromAddress, " Обратный адрес:"},
        {&c.ESubject, " Тема:"},
        {&c.ECurrentFile, " Текущий файл:"},
        {&c.EFilter, " Фильтр:"},
        {&c.EFind, " Найти:"},
        {&c.EHTMLPath, " Файл экспорта:"},
        {&c.CSETochn, " Точность:"},
        {&c.ESGToUser, "Адрес для отсылки таблицы"},
        {&c.SEDefault, "Значение лимита по умолчанию - для новых пользователей"},
        {&c.Memo1, "О программе"},
    };
    for (const auto& [edit, name] : edits) ExpectHeard(edit->Name, name, kText);
    EXPECT_EQ(Hear(Find(c.EHost.Name)).value, "mail.example.org");
    EXPECT_EQ(Hear(Find(c.CSETochn.Name)).value, "2");
    EXPECT_NE(Hear(Find(c.Memo1.Name)).value.find("Tarnwell v 1.09"), std::string::npos);

    // Check lists by their strips, or by their hint where they have none.
    const std::pair<const Control*, const char*> lists[] = {
        {&c.ChLBCont, "Пункты, содержащиеся в рассылаемом письме"},
        {&c.ChLBTable, "Отображать в таблице"},
        {&c.ChLBHTML, "Сохранять в HTML"},
        {&c.ChLBRun, "Автозапуск"},
        {&c.ChLBOther, "Другое"},
    };
    for (const auto& [list, name] : lists) ExpectHeard(list->Name, name, kList);

    // Radio groups: the frames by their captions (RGkb has none, and a frame is named by its text only),
    // the buttons by theirs.
    ExpectHeard(c.RG1.Name, "Отображение:", kFrame);
    ExpectHeard(c.RGSecurity.Name, "Защита:", kFrame);
    ExpectHeard(c.RGkb.Name, "", kFrame);
    for (const RadioGroup* group : {&c.RG1, &c.RGSecurity, &c.RGkb}) {
        for (int i = 0; i < static_cast<int>(group->Items().size()); ++i) {
            ExpectHeard(ItemName(*group, i), Cp1251ToUtf8(group->Items()[static_cast<std::size_t>(i)]), kRadioButton);
        }
    }

    // The find bar by its name, its check box by its caption.
    ExpectHeard(c.CBWholeCell.Name, "Ячейка целиком", kCheckBox);
    EXPECT_EQ(Hear(Find(c.PFind.Name)).name, "Поиск");
    heard_.insert(c.PFind.Name);

    // The grids, the gauge, the status bar.
    ExpectHeard(c.SG1.Name, "Просматриваемый файл", kList);
    ExpectHeard(c.ASGRead.Name, "Статистика", kList);
    ExpectHeard(c.ASGLimit.Name, "Лимиты", kList);
    ExpectHeard(c.CG1.Name, "Ход выполнения", kBar);
    MouseOver(c.SBSend1.Name);
    ASSERT_EQ(Cp1251ToUtf8(StatusText()), "Разослать наработанный трафик пользователям");
    ExpectHeard(c.StatBar.Name, "Разослать наработанный трафик пользователям", kStatus);  // by what it shows

    // Every control of the form that has a widget was heard.
    for (const Control* control : c.AllControls()) {
        HWND widget = FindControl(Program().Window().Hwnd(), control->Name);
        if (widget != nullptr) {
            EXPECT_EQ(heard_.count(control->Name), 1u) << control->Name << " not heard";
        }
    }

    // The rest of the window: the browser, the frames, the picture, the pages.
    ExpectHeard(std::string(window_parts::kFolderTree.Name), "Папки", kTree);
    ExpectHeard(std::string(window_parts::kFileList.Name), "Файлы", kList);
    ExpectHeard(std::string(window_parts::kFileFilter.Name), "All files (*.*)", kCombo);  // by what it shows
    for (const GroupFrame& frame : {group_frames::kServer, group_frames::kLetter, group_frames::kContent,
                                    group_frames::kColumns, group_frames::kOptions}) {
        ExpectHeard(std::string(frame.Name), Cp1251ToUtf8(frame.Caption), kFrame);
    }
    EXPECT_EQ(Hear(Find(std::string(window_parts::kPicture.Name))).name, "Рисунок");
    for (const FormPage& page : kPages) EXPECT_EQ(Hear(Find(std::string(page.Name))).name, Cp1251ToUtf8(page.Title));
    EXPECT_EQ(Hear(Program().Window().Hwnd()).name, "Tarnwell");
    EXPECT_EQ(watcher_->boxes, std::vector<std::string>{});
}

// A password never reaches a screen reader: Windows refuses the value of a password edit.
TEST_F(AccessibilityTest, PasswordIsNotRead) {
    WriteSettings({"[mail]", "Password=secret", "[set]", "LastPath=", "[AutoRun]", "HTML=0", "Mail=0", "MailTable=0"});
    Start();
    ASSERT_EQ(Controls().EPassword.Text, "secret");
    const Heard heard = Hear(Find(Controls().EPassword.Name));
    EXPECT_EQ(heard.value.find("secret"), std::string::npos);
    EXPECT_TRUE(watcher_->boxes.empty());
}

// The grids as tables: what the list's accessible object reads on Windows, its column headers and its
// cells, through the list's own messages.
TEST_F(AccessibilityTest, GridsTellTheirColumnHeadersAndCells) {
    WriteSettings({"[set]", "LastPath=", "[AutoRun]", "HTML=0", "Mail=0", "MailTable=0", "[opt]", "AutoSave=0"});
    Start();
    HWND list = Find(Controls().ASGRead.Name);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    wchar_t caption[64] = L"";
    HDITEMW column{};
    column.mask = HDI_TEXT;
    column.pszText = caption;
    column.cchTextMax = 64;
    SendMessageW(header, HDM_GETITEMW, 1, reinterpret_cast<LPARAM>(&column));
    EXPECT_EQ(Cp1251ToUtf8(Narrow(caption)), "Логин");
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 4);  // system, ivanov, petrov, Сумма
    auto cell = [&](int item, int sub) {
        wchar_t text[64] = L"";
        LVITEMW request{};
        request.iSubItem = sub;
        request.pszText = text;
        request.cchTextMax = 64;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request));
        return Cp1251ToUtf8(Narrow(text));
    };
    EXPECT_EQ(cell(1, 1), "ivanov");
    EXPECT_EQ(cell(3, 1), "Сумма");
    EXPECT_TRUE(watcher_->boxes.empty());
}

}  // namespace
}  // namespace tarnwell::win32::testing

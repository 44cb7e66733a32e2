#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "form/form_controls.h"
#include "form/widget_names.h"
#include "text/cp1251_literal.h"

namespace tarnwell {
namespace {

using namespace literals;

std::vector<int> Widths(const TTableGrid& grid) {
    std::vector<int> widths;
    for (int col = 0; col < grid.ColCount(); ++col) widths.push_back(grid.ColWidths(col));
    return widths;
}

TEST(FormControls, GridsAsDesigned) {
    FormControls f;
    struct Case {
        const char* name;
        const GridControl& grid;
        int cols, fixed_cols;
        bool editable, bands;
        std::vector<int> widths;
    };
    const Case cases[] = {
        {"SG1", f.SG1, 5, 0, false, false, {64, 64, 64, 64, 64}},
        {"ASGRead", f.ASGRead, 11, 0, true, true, std::vector<int>(11, 64)},
        {"ASGLimit", f.ASGLimit, 6, 1, true, true, {70, 116, 126, 64, 64, 64}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.grid.ColCount(), c.cols) << c.name;
        EXPECT_EQ(c.grid.RowCount(), 5) << c.name;
        EXPECT_EQ(c.grid.FixedRows(), 1) << c.name;
        EXPECT_EQ(c.grid.FixedCols(), c.fixed_cols) << c.name;
        EXPECT_EQ(c.grid.Editable, c.editable) << c.name;
        EXPECT_EQ(c.grid.Bands.Active, c.bands) << c.name;
        EXPECT_EQ(Widths(c.grid), c.widths) << c.name;
    }
    EXPECT_TRUE(f.SG1.Resizable);
    EXPECT_FALSE(f.ASGLimit.Resizable);
}

TEST(FormControls, SettingsControlsBeforeTheSettingsAreRead) {
    FormControls f;
    for (const CheckListBox* list : {&f.ChLBCont, &f.ChLBTable, &f.ChLBHTML, &f.ChLBRun, &f.ChLBOther}) {
        for (int i = 0; i < list->Count(); ++i) EXPECT_FALSE(list->Checked(i)) << list->Items()[i];
    }
    EXPECT_EQ(f.ChLBCont.Count(), 8);
    EXPECT_EQ(f.ChLBCont.Items()[5], "Выданный лимит "_cp);  // with its trailing blank
    EXPECT_EQ(f.ChLBTable.Items(), f.ChLBHTML.Items());
    EXPECT_EQ(f.ChLBTable.Items().size(), 11u);
    EXPECT_EQ(f.ChLBTable.Items()[5], "Отравлено клиентом"_cp);
    EXPECT_EQ(f.ChLBRun.Items()[2], "Рассылка таблицы"_cp);
    EXPECT_EQ(f.ChLBOther.Items()[1], "Авт. сохранение установок"_cp);

    EXPECT_EQ(f.EHost.Text, "127.0.0.1");
    EXPECT_EQ(f.EPort.Text, "25");
    EXPECT_EQ(f.EUserID.Text, "");
    EXPECT_EQ(f.ESubject.Text, "Наработанный трафик"_cp);
    EXPECT_EQ(f.EHTMLPath.Text, "export.htm");
    EXPECT_EQ(f.ECurrentFile.Text, "");
    for (const Edit* edit : {&f.EDomain, &f.EFromName, &f.EFromAddress, &f.ESGToUser}) EXPECT_NE(edit->Text, "");
    EXPECT_TRUE(f.ESGToUser.Enabled);

    EXPECT_EQ(f.RGkb.ItemIndex(), 0);
    EXPECT_EQ(f.RGkb.Items()[1], "1кб. = 1000 б."_cp);
    EXPECT_EQ(f.RG1.ItemIndex(), 0);
    EXPECT_EQ(f.RG1.Items()[3], "Гигабайты"_cp);
    // The mail session is the plain one until the settings say otherwise; the password is never shown.
    EXPECT_EQ(f.RGSecurity.ItemIndex(), 0);
    EXPECT_EQ(f.RGSecurity.Items(), (std::vector<std::string>{"Нет"_cp.data(), "STARTTLS", "TLS"}));
    EXPECT_EQ(f.EPassword.Text, "");
    EXPECT_EQ(f.EPassword.PasswordChar, '*');
    EXPECT_EQ(f.ECAFile.Text, "");
    EXPECT_EQ(f.CSETochn.Value(), 2);
    EXPECT_EQ(f.CSETochn.MaxValue(), 20);
    EXPECT_EQ(f.SEDefault.Value(), 200000);
    EXPECT_EQ(f.SEDefault.MinValue(), f.SEDefault.MaxValue());
}

TEST(FormControls, WindowNavigationAndTimers) {
    FormControls f;
    EXPECT_EQ(f.Caption, "Tarnwell");
    EXPECT_EQ(f.PC1.PageCount(), 5);
    EXPECT_EQ(f.PC1.ActivePageIndex(), kViewerPage);
    std::vector<std::string_view> captions;
    for (Button* button : f.NavigationButtons()) captions.push_back(button->Caption);
    EXPECT_EQ(captions, (std::vector<std::string_view>{"Просмотр"_cp, "Статистика"_cp, "Лимиты"_cp, "Настройки"_cp,
                                                       "О программе"_cp}));
    EXPECT_EQ(f.TMClose.Interval, 15000);
    EXPECT_FALSE(f.TMClose.Enabled);
    EXPECT_FALSE(f.CG1.Visible);
    EXPECT_EQ(f.StatBar.Text, "");
    EXPECT_EQ(f.NSaveEn.Caption, "Сохранить состояние профилей \"Включен\""_cp);
    EXPECT_EQ(f.Memo1.Lines.size(), 20u);
    EXPECT_EQ(f.Memo1.Lines[2], "Tarnwell v 1.09");
    EXPECT_EQ(f.Memo1.Lines[15], "Apache или ISS)"_cp);  // Russian in the middle of a line with Latin
    // Lines 1, 5 to 15 and 18 end with a blank, the others do not.
    for (std::size_t i = 0; i < f.Memo1.Lines.size(); ++i) {
        const std::string& line = f.Memo1.Lines[i];
        const bool blank_end = i == 0 || (i >= 4 && i <= 14) || i == 17;
        EXPECT_EQ(!line.empty() && line.back() == ' ', blank_end) << "line " << i + 1;
    }
    EXPECT_TRUE(MakerMailLink().starts_with("mailto:"));
    EXPECT_TRUE(MakerMailLink().ends_with("?subject=Программа%20Tarnwell"_cp));
}

// Each control carries its member's name, which both windows give its widget: no two alike, none empty.
TEST(FormControls, EveryControlIsNamedOnce) {
    FormControls f;
    std::set<std::string> names;
    for (const Control* control : f.AllControls()) {
        EXPECT_FALSE(control->Name.empty());
        EXPECT_TRUE(names.insert(control->Name).second) << control->Name;
    }
    EXPECT_EQ(names.size(), 54u);
    const std::pair<const Control*, const char*> some[] = {
        {&f.SpeedButton3, "SpeedButton3"}, {&f.EHost, "EHost"},     {&f.ASGRead, "ASGRead"},
        {&f.CSETochn, "CSETochn"},         {&f.NSaveEn, "NSaveEn"}, {&f.StaticText7, "StaticText7"},
    };
    for (const auto& [control, name] : some) EXPECT_EQ(control->Name, name);
    EXPECT_EQ(LabelName(f.EHost), "EHost.Label");
    EXPECT_EQ(ItemName(f.RG1, 2), "RG1.2");
    EXPECT_EQ(PartName(f.CSETochn, kArrowsPart), "CSETochn.Arrows");

    // The pages by index, and the navigation buttons showing their titles.
    for (int i = 0; i < kPageCount; ++i) EXPECT_EQ(kPages[static_cast<std::size_t>(i)].Index, i);
    EXPECT_EQ(kPages[kStatPage].Name, "TabSheet4");
    EXPECT_EQ(f.SBLimit.Caption, kPages[kLimitsPage].Title);

    // The pop-up menu of the limits, its separator fourth.
    std::vector<std::string> menu;
    for (const Button* item : f.LimitsMenu()) menu.push_back(item ? item->Name : "-");
    EXPECT_EQ(menu, (std::vector<std::string>{"NRead", "NSet", "NSaveLim", "-", "NSaveEn"}));
}

// A control whose caption or label does not name it has a name for assistive technology.
TEST(FormControls, AccessibleNamesWhereNoCaptionNamesTheControl) {
    FormControls f;
    const std::pair<const Control*, std::string_view> named[] = {
        {&f.SG1, "Просматриваемый файл"_cp},
        {&f.ASGRead, "Статистика"_cp},
        {&f.ASGLimit, "Лимиты"_cp},
        {&f.Memo1, "О программе"_cp},
        {&f.CG1, "Ход выполнения"_cp},
        {&f.StatBar, "Строка состояния"_cp},
        {&f.SBEditPathHTML, "Изменить путь к файлу экспорта"_cp},
        {&f.ESGToUser, "Адрес для отсылки таблицы"_cp},
        {&f.ChLBCont, "Пункты, содержащиеся в рассылаемом письме"_cp},
        {&f.RGkb, "Еденица тарификации. Учитывается при отображении трафика"_cp},
        {&f.SEDefault, "Значение лимита по умолчанию - для новых пользователей"_cp},
        {&f.PFind, "Поиск"_cp},
    };
    for (const auto& [control, name] : named) EXPECT_EQ(control->AccessibleName, name) << control->Name;
    // Those with a caption or label of their own have none.
    for (const Control* control : {static_cast<const Control*>(&f.EHost), static_cast<const Control*>(&f.SBSend1),
                                   static_cast<const Control*>(&f.RG1), static_cast<const Control*>(&f.ChLBRun)}) {
        EXPECT_EQ(control->AccessibleName, "") << control->Name;
    }
}

TEST(FormControls, HintsWithTwoPartsAndTheirOddCharacters) {
    FormControls f;
    // The long part of RG1 spells its second letter with the Latin "a".
    const std::string rg1_long = std::string("Р"_cp) + "a" + std::string("змерность отображения трафика"_cp);
    struct Case {
        const char* name;
        const Control& control;
        std::string_view short_part, long_part;
        bool tip;
    };
    const Case cases[] = {
        {"SBSave", f.SBSave, "Сохранить"_cp, "Сохранить как файл HTML или Excel"_cp, true},
        {"EHost", f.EHost, "Адрес сервера почты(IP или DNS) "_cp, "Адрес сервера почты(IP или DNS) "_cp, true},
        {"ChLBRun", f.ChLBRun, "Автозапуск"_cp, "Настройки автозапуска программы"_cp, true},
        {"ChLBOther", f.ChLBOther, "Настройки"_cp, "Настройки программы"_cp, true},
        {"ChLBTable", f.ChLBTable, "Столбцы, отображаемые в таблице \"Статистика\""_cp,
         "Столбцы, отображаемые в таблице \"Статистика\""_cp, false},
        {"EHTMLPath", f.EHTMLPath, "Путь к файлу экспорта "_cp,
         "По этому пути при настройке автоматического сохранения будут сохраняться данные в формате HTML"_cp, false},
        {"CSETochn", f.CSETochn, "Точность"_cp, " Количество знаков после запятой"_cp, false},
        {"SBSend1", f.SBSend1, "", "Разослать наработанный трафик пользователям"_cp, false},
        {"RG1", f.RG1, "Размерность отображения"_cp, rg1_long, false},
        {"SBSaveLim", f.SBSaveLim, "Сохранить внесенные изменения  и перезапустить службу WinGate"_cp,
         "Сохранить внесенные изменения  и перезапустить службу WinGate"_cp, false},
        {"SEDefault", f.SEDefault, "Значение лимита по умолчанию - для новых пользователей"_cp,
         "Значение лимита по умолчанию - для новых пользователей"_cp, true},
        {"SpeedButton3", f.SpeedButton3, "", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.control.ShortHint(), c.short_part) << c.name;
        EXPECT_EQ(c.control.LongHint(), c.long_part) << c.name;
        EXPECT_EQ(c.control.ShowHint, c.tip) << c.name;
    }
}

}  // namespace
}  // namespace tarnwell

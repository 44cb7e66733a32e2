#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form/form_controls.h"
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

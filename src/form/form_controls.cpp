#include "form/form_controls.h"

#include "form/stat_column_captions.h"
#include "text/cp1251_literal.h"

namespace tarnwell {

using namespace literals;

namespace {

std::vector<std::string> Texts(std::initializer_list<std::string_view> texts) {
    return {texts.begin(), texts.end()};
}

void SetHint(Control& control, std::string_view hint, bool show_tip) {
    control.Hint = std::string(hint);
    control.ShowHint = show_tip;
}

void SetButton(Button& button, std::string_view caption, std::string_view hint = {}, bool show_tip = false) {
    button.Caption = std::string(caption);
    SetHint(button, hint, show_tip);
}

void SetEdit(Edit& edit, std::string_view label, std::string_view text, std::string_view hint, bool show_tip) {
    edit.Label = std::string(label);
    edit.Text = std::string(text);
    SetHint(edit, hint, show_tip);
}

// A control without a caption or label of its own is known to assistive technology by its hint's short
// part.
void NameByHint(Control& control) {
    control.AccessibleName = std::string(control.ShortHint());
}

}  // namespace

const std::vector<std::string>& StatColumnCaptions() {
    static const std::vector<std::string> captions(kStatColumnCaptions.begin(), kStatColumnCaptions.end());
    return captions;
}

const std::vector<std::string>& LetterContentCaptions() {
    static const std::vector<std::string> captions = Texts({
        "Скачано клиентом"_cp,
        "Скачано сервером"_cp,
        "Отравлено клиентом"_cp,
        "Отправлено сервером"_cp,
        "Время в сети"_cp,
        "Выданный лимит "_cp,
        "Остаток лимита"_cp,
        "Ежемесячный лимит"_cp,
    });
    return captions;
}

std::string_view MakerMailLink() {
    return "mailto:Ivan Petrov <author@example.com>, <tarnwell@example.org>?subject=Программа%20Tarnwell"_cp;
}

FormControls::FormControls()
    : Caption("Tarnwell"),
      RGSecurity(std::string("Защита:"_cp), Texts({"Нет"_cp, "STARTTLS", "TLS"}), 3),
      ChLBCont(LetterContentCaptions()),
      ChLBTable(StatColumnCaptions()),
      ChLBHTML(StatColumnCaptions()),
      ChLBRun(Texts({"Генерация HTML"_cp, "Почтовая рассылка"_cp, "Рассылка таблицы"_cp})),
      ChLBOther(Texts({"Закрыть через 15 с. после автозапуска"_cp, "Авт. сохранение установок"_cp})),
      RGkb("", Texts({"1кб. = 1024 б."_cp, "1кб. = 1000 б."_cp}), 2),
      RG1(std::string("Отображение:"_cp), Texts({"Авто"_cp, "Килобайты"_cp, "Мегабайты"_cp, "Гигабайты"_cp}), 2) {
    for (const auto& [control, name] : Names()) control->Name = std::string(name);
    // Each navigation button shows the title of its page.
    SetButton(SpeedButton3, kPages[kViewerPage].Title);
    SetButton(SBToStat, kPages[kStatPage].Title);
    SetButton(SBLimit, kPages[kLimitsPage].Title);
    SetButton(SpeedButton4, kPages[kSettingsPage].Title);
    SetButton(SBAbout, kPages[kAboutPage].Title);
    CG1.AccessibleName = "Ход выполнения"_cp;
    StatBar.AccessibleName = "Строка состояния"_cp;
    SetButton(SBCancel, "Отмена"_cp, "Отмена|Прервать сохранение (Esc): файл останется прежним"_cp, true);
    TMClose.Interval = 15000;
    TMClose.Enabled = false;

    // The viewer. Its browsing controls (drive box, folder tree, file list, filter) are the viewer's own.
    SG1.SetFixedRows(1);
    SG1.SetFixedCols(0);
    for (int col = 0; col < 5; ++col) SG1.SetColWidths(col, 64);
    SG1.Resizable = true;
    SG1.HotLightHeader = true;
    SetEdit(ECurrentFile, "Текущий файл:"_cp, "", "Путь к файлу, который сейчас просматривается"_cp, false);
    SetButton(SBSave, "Сохранить ..."_cp, "Сохранить|Сохранить как файл HTML или Excel"_cp, true);
    SG1.AccessibleName = "Просматриваемый файл"_cp;
    SetEdit(EFilter, "Фильтр:"_cp, "",
            "Фильтр|Показывать только строки, содержащие этот текст (Enter - применить). Сохраняются все строки"_cp,
            true);

    // The settings. The check lists stay unchecked until the settings are read.
    SetEdit(EHost, "Машина:"_cp, "127.0.0.1", "Адрес сервера почты(IP или DNS) "_cp, true);
    SetEdit(EPort, "Порт:"_cp, "25", "SMTP порт сервера"_cp, true);
    SetEdit(EDomain, "Домен:"_cp, "example.local", "Домен для посылки почты"_cp, true);
    SetEdit(EUserID, "User ID:", "", "Идетификатор пользователя(обычно не используется)"_cp, true);
    RGSecurity.SetItemIndex(0);
    SetHint(RGSecurity, "Защита соединения с сервером почты(STARTTLS - порт 587, TLS - порт 465)"_cp, true);
    SetEdit(EPassword, "Пароль:"_cp, "", "Пароль пользователя User ID для входа на сервер почты"_cp, true);
    EPassword.PasswordChar = '*';
    SetEdit(ECAFile, "Сертификаты:"_cp, "",
            "Файл доверенных сертификатов(PEM), если сертификат сервера не подписан общеизвестным центром"_cp, true);
    SetEdit(EFromName, "От кого(ФИО):"_cp, "Иван Петров"_cp, "ФИО отправителя"_cp, true);
    SetEdit(EFromAddress, "Обратный адрес:"_cp, "admin@example.local", "Адрес отправителя"_cp, true);
    SetEdit(ESubject, "Тема:"_cp, "Наработанный трафик"_cp, "Тема письма"_cp, true);
    SetHint(ChLBCont, "Пункты, содержащиеся в рассылаемом письме"_cp, true);
    NameByHint(ChLBCont);
    ChLBTable.Label = "Отображать в таблице"_cp;
    SetHint(ChLBTable, "Столбцы, отображаемые в таблице \"Статистика\""_cp, false);
    ChLBHTML.Label = "Сохранять в HTML"_cp;
    SetHint(ChLBHTML, "Столбцы которые будут в сгенерированном HTML"_cp, false);
    ChLBRun.Label = "Автозапуск"_cp;
    SetHint(ChLBRun, "Автозапуск|Настройки автозапуска программы"_cp, true);
    SetEdit(ESGToUser, "", "admin@example.local", "Адрес для отсылки таблицы"_cp, false);
    NameByHint(ESGToUser);
    ChLBOther.Label = "Другое"_cp;
    SetHint(ChLBOther, "Настройки|Настройки программы"_cp, true);
    RGkb.SetItemIndex(0);
    SetHint(RGkb, "Еденица тарификации. Учитывается при отображении трафика"_cp, false);
    NameByHint(RGkb);

    // The statistics.
    ASGRead.SetFixedRows(1);
    ASGRead.SetFixedCols(0);
    for (int col = 0; col < 11; ++col) ASGRead.SetColWidths(col, 64);
    ASGRead.Bands.Active = true;
    ASGRead.Editable = true;
    ASGRead.Resizable = true;
    ASGRead.HotLightHeader = true;
    SetHint(ASGRead, "Изменения сохраняются только в поле \"Послать\""_cp, false);
    ASGRead.AccessibleName = std::string(kPages[kStatPage].Title);
    SetEdit(EHTMLPath, "Файл экспорта:"_cp, "export.htm",
            "Путь к файлу экспорта |По этому пути при настройке автоматического сохранения будут сохраняться "
            "данные в формате HTML"_cp,
            false);
    SetButton(SBEditPathHTML, "...", "Изменить путь к файлу экспорта"_cp, true);
    NameByHint(SBEditPathHTML);  // its caption is three dots
    CSETochn.Label = "Точность:"_cp;
    SetHint(CSETochn, "Точность| Количество знаков после запятой"_cp, false);
    SetButton(SBSaveHTML, "Сохранить HTML"_cp,
              "|Сохранить в формате HTML(сохраняется в каталоге программы c именем, указанным в поле "
              "\"Файл экспорта:\")"_cp);
    SetButton(SBSend1, "Послать"_cp, "|Разослать наработанный трафик пользователям"_cp);
    RG1.SetItemIndex(0);
    // The second letter of the long part is a Latin "a", as the window has always shown it.
    SetHint(RG1, "Размерность отображения|Рaзмерность отображения трафика"_cp, false);

    // The limits.
    ASGLimit.SetFixedRows(1);
    ASGLimit.SetFixedCols(1);
    const int limit_widths[] = {70, 116, 126, 64, 64, 64};
    for (int col = 0; col < 6; ++col) ASGLimit.SetColWidths(col, limit_widths[col]);
    ASGLimit.Bands.Active = true;
    ASGLimit.Editable = true;
    SetHint(ASGLimit, "Все значения кратны 100байт(1 мб = 10000)"_cp, false);
    ASGLimit.AccessibleName = std::string(kPages[kLimitsPage].Title);
    SetButton(SBRead, "Перечитать данные"_cp, "Перечитать все данные"_cp);
    SetButton(SBSet, "Установить лимиты"_cp,
              "Лимиты устанавливаются из графы \"Лимиты\" в графы \"Открыт баланс\" и \"До закрытия балланса "
              "осталось\""_cp);
    SetButton(SBSaveLim, "Сохранить изменения"_cp, "Сохранить внесенные изменения  и перезапустить службу WinGate"_cp);
    SetHint(SEDefault, "Значение лимита по умолчанию - для новых пользователей"_cp, true);
    NameByHint(SEDefault);
    SetButton(NRead, "Перечитать данные"_cp);
    SetButton(NSet, "Установить лимиты"_cp);
    SetButton(NSaveLim, "Сохранить изменения и рестартовать сервис"_cp);
    SetButton(NSaveEn, "Сохранить состояние профилей \"Включен\""_cp);

    // About the program.
    Memo1.AccessibleName = std::string(kPages[kAboutPage].Title);
    Memo1.Lines = Texts({
        "Программа "_cp,
        "",
        "Tarnwell v 1.09",
        "",
        "предназначена для рассылки "_cp,
        "по электронной почте трафика "_cp,
        "наработанного пользователями в "_cp,
        "интернете. Программа разбирает "_cp,
        "логи WinGate и рассылает "_cp,
        "пользователям. Программа умеет "_cp,
        "формировать HTML документ или "_cp,
        "EXCEL файл со статистикой. Есть "_cp,
        "возможность автоматической "_cp,
        "генерации HTML(Удобно для "_cp,
        "использования в связке с "_cp,
        "Apache или ISS)"_cp,
        "",
        "Программа "_cp,
        "написана Иваном Петровым"_cp,
        "",
    });
    SetButton(STtoSite, "http://www.example.com");
    SetButton(StaticText7, "mailto:author@example.com");

    // The find bar. Letter case does not matter, nor Ё against Е.
    PFind.AccessibleName = "Поиск"_cp;
    SetEdit(EFind, "Найти:"_cp, "",
            "Найти|Текст, который ищется в таблице страницы (Enter - следующая ячейка, Esc - закрыть поиск)"_cp, true);
    SetButton(SBFindNext, "Далее"_cp, "Далее|Найти следующую ячейку с текстом (F3)"_cp, true);
    SetButton(SBFindPrev, "Назад"_cp, "Назад|Найти предыдущую ячейку с текстом (Shift+F3)"_cp, true);
    CBWholeCell.Caption = "Ячейка целиком"_cp;
    SetHint(CBWholeCell, "Ячейка целиком|Искать ячейки, весь текст которых совпадает с искомым"_cp, true);
}

// The name of each control is its member's, spelled once: by the member itself.
#define TARNWELL_CONTROL(member) \
    { &member, #member }

std::vector<Control*> FormControls::AllControls() {
    std::vector<Control*> all;
    for (const auto& [control, name] : Names()) all.push_back(control);
    return all;
}

std::vector<std::pair<Control*, std::string_view>> FormControls::Names() {
    return {TARNWELL_CONTROL(SpeedButton3), TARNWELL_CONTROL(SBToStat),     TARNWELL_CONTROL(SBLimit),
            TARNWELL_CONTROL(SpeedButton4), TARNWELL_CONTROL(SBAbout),      TARNWELL_CONTROL(CG1),
            TARNWELL_CONTROL(SBCancel),     TARNWELL_CONTROL(PC1),          TARNWELL_CONTROL(StatBar),
            TARNWELL_CONTROL(SG1),          TARNWELL_CONTROL(ECurrentFile), TARNWELL_CONTROL(SBSave),
            TARNWELL_CONTROL(EFilter),      TARNWELL_CONTROL(EHost),        TARNWELL_CONTROL(EPort),
            TARNWELL_CONTROL(EDomain),      TARNWELL_CONTROL(EUserID),      TARNWELL_CONTROL(RGSecurity),
            TARNWELL_CONTROL(EPassword),    TARNWELL_CONTROL(ECAFile),      TARNWELL_CONTROL(EFromName),
            TARNWELL_CONTROL(EFromAddress), TARNWELL_CONTROL(ESubject),     TARNWELL_CONTROL(ChLBCont),
            TARNWELL_CONTROL(ChLBTable),    TARNWELL_CONTROL(ChLBHTML),     TARNWELL_CONTROL(ChLBRun),
            TARNWELL_CONTROL(ESGToUser),    TARNWELL_CONTROL(ChLBOther),    TARNWELL_CONTROL(RGkb),
            TARNWELL_CONTROL(ASGRead),      TARNWELL_CONTROL(EHTMLPath),    TARNWELL_CONTROL(SBEditPathHTML),
            TARNWELL_CONTROL(CSETochn),     TARNWELL_CONTROL(SBSaveHTML),   TARNWELL_CONTROL(SBSend1),
            TARNWELL_CONTROL(RG1),          TARNWELL_CONTROL(ASGLimit),     TARNWELL_CONTROL(SBRead),
            TARNWELL_CONTROL(SBSet),        TARNWELL_CONTROL(SBSaveLim),    TARNWELL_CONTROL(SEDefault),
            TARNWELL_CONTROL(NRead),        TARNWELL_CONTROL(NSet),         TARNWELL_CONTROL(NSaveLim),
            TARNWELL_CONTROL(NSaveEn),      TARNWELL_CONTROL(Memo1),        TARNWELL_CONTROL(STtoSite),
            TARNWELL_CONTROL(StaticText7),  TARNWELL_CONTROL(PFind),        TARNWELL_CONTROL(EFind),
            TARNWELL_CONTROL(SBFindNext),   TARNWELL_CONTROL(SBFindPrev),   TARNWELL_CONTROL(CBWholeCell)};
}

#undef TARNWELL_CONTROL

GridControl* FormControls::PageTable(int page) {
    switch (page) {
        case kViewerPage:
            return &SG1;
        case kStatPage:
            return &ASGRead;
        case kLimitsPage:
            return &ASGLimit;
        default:
            return nullptr;
    }
}

std::vector<Control*> FormControls::JobControls() {
    return {&SpeedButton3,   &SBToStat,  &SBLimit,    &SpeedButton4, &SBAbout,  &SBSave,
            &SBEditPathHTML, &CSETochn,  &SBSaveHTML, &SBSend1,      &RG1,      &SBRead,
            &SBSet,          &SBSaveLim, &NRead,      &NSet,         &NSaveLim, &NSaveEn};
}

}  // namespace tarnwell

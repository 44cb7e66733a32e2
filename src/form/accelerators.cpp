#include "form/accelerators.h"

#include <array>

#include "text/cp1251_literal.h"

namespace tarnwell {

using namespace literals;

namespace {

using enum AcceleratorScope;

constexpr std::array kKeys = {
    // The navigation column: the first letter of each page's title. The cancel button beside the gauge
    // takes its second, as the first is "О программе"'s.
    AcceleratorKey{"SpeedButton3", "П"_cp, 0, kNavigation},  // Просмотр
    AcceleratorKey{"SBToStat", "С"_cp, 0, kNavigation},      // Статистика
    AcceleratorKey{"SBLimit", "Л"_cp, 0, kNavigation},       // Лимиты
    AcceleratorKey{"SpeedButton4", "Н"_cp, 0, kNavigation},  // Настройки
    AcceleratorKey{"SBAbout", "О"_cp, 0, kNavigation},       // О программе
    AcceleratorKey{"SBCancel", "т"_cp, 1, kNavigation},      // Отмена

    // The viewer.
    AcceleratorKey{"ECurrentFile", "к"_cp, 2, kViewerPage},  // Текущий файл:
    AcceleratorKey{"SBSave", "х"_cp, 2, kViewerPage},        // Сохранить ...
    AcceleratorKey{"EFilter", "Ф"_cp, 0, kViewerPage},       // Фильтр:

    // The settings.
    AcceleratorKey{"EHost", "М"_cp, 0, kSettingsPage},         // Машина:
    AcceleratorKey{"EPort", "р"_cp, 2, kSettingsPage},         // Порт:
    AcceleratorKey{"EDomain", "Д"_cp, 0, kSettingsPage},       // Домен:
    AcceleratorKey{"RGSecurity", "З"_cp, 0, kSettingsPage},    // Защита:
    AcceleratorKey{"EPassword", "а"_cp, 1, kSettingsPage},     // Пароль:
    AcceleratorKey{"ECAFile", "и"_cp, 4, kSettingsPage},       // Сертификаты:
    AcceleratorKey{"EFromName", "к"_cp, 3, kSettingsPage},     // От кого(ФИО):
    AcceleratorKey{"EFromAddress", "б"_cp, 1, kSettingsPage},  // Обратный адрес:
    AcceleratorKey{"ESubject", "е"_cp, 1, kSettingsPage},      // Тема:
    AcceleratorKey{"ChLBTable", "ж"_cp, 6, kSettingsPage},     // Отображать в таблице
    AcceleratorKey{"ChLBHTML", "х"_cp, 2, kSettingsPage},      // Сохранять в HTML
    AcceleratorKey{"ChLBRun", "в"_cp, 1, kSettingsPage},       // Автозапуск
    AcceleratorKey{"ChLBOther", "у"_cp, 2, kSettingsPage},     // Другое

    // The statistics.
    AcceleratorKey{"EHTMLPath", "Ф"_cp, 0, kStatPage},   // Файл экспорта:
    AcceleratorKey{"CSETochn", "ч"_cp, 2, kStatPage},    // Точность:
    AcceleratorKey{"SBSaveHTML", "х"_cp, 2, kStatPage},  // Сохранить HTML
    AcceleratorKey{"SBSend1", "а"_cp, 4, kStatPage},     // Послать
    AcceleratorKey{"RG1", "б"_cp, 3, kStatPage},         // Отображение:

    // The find bar.
    AcceleratorKey{"EFind", "и"_cp, 4, kFindBar},        // Найти:
    AcceleratorKey{"SBFindNext", "Д"_cp, 0, kFindBar},   // Далее
    AcceleratorKey{"SBFindPrev", "з"_cp, 2, kFindBar},   // Назад
    AcceleratorKey{"CBWholeCell", "Я"_cp, 0, kFindBar},  // Ячейка целиком

    // The limits and the grid's pop-up menu, whose items take the letters of the buttons they stand for.
    AcceleratorKey{"SBRead", "р"_cp, 2, kLimitsPage},     // Перечитать данные
    AcceleratorKey{"SBSet", "У"_cp, 0, kLimitsPage},      // Установить лимиты
    AcceleratorKey{"SBSaveLim", "х"_cp, 2, kLimitsPage},  // Сохранить изменения
    AcceleratorKey{"NRead", "р"_cp, 2, kLimitsMenu},      // Перечитать данные
    AcceleratorKey{"NSet", "У"_cp, 0, kLimitsMenu},       // Установить лимиты
    AcceleratorKey{"NSaveLim", "х"_cp, 2, kLimitsMenu},  // Сохранить изменения и рестартовать сервис
    AcceleratorKey{"NSaveEn", "С"_cp, 0, kLimitsMenu},  // Сохранить состояние профилей "Включен"
};

}  // namespace

std::span<const AcceleratorKey> AcceleratorKeys() {
    return kKeys;
}

const AcceleratorKey* AcceleratorOf(const Control& control) {
    for (const AcceleratorKey& key : kKeys) {
        if (key.Control == control.Name) return &key;
    }
    return nullptr;
}

std::string AcceleratedCaption(const Control& control, std::string_view caption) {
    const AcceleratorKey* key = AcceleratorOf(control);
    const bool marked = key && key->Position >= 0 && static_cast<std::size_t>(key->Position) < caption.size() &&
                        caption[key->Position] == key->Letter.front();
    std::string out;
    out.reserve(caption.size() + 2);
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (marked && i == static_cast<std::size_t>(key->Position)) out += '&';
        if (caption[i] == '&') out += '&';
        out += caption[i];
    }
    return out;
}

}  // namespace tarnwell

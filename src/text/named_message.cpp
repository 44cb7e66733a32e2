#include "text/named_message.h"

#include "text/cp1251_literal.h"

namespace tarnwell {

using namespace literals;

std::string_view MessageText(MessageName name) {
    switch (name) {
        case MessageName::kSettingsNotFound:
            return "Не найден или не существует файл настроек!"_cp;
        case MessageName::kDatabaseNotReachable:
            return "Возможно WinGate не установлен или версия программыне совместима!"_cp;
        case MessageName::kServiceNotFound:
            return "Не найдено имя службы для перезапуска"_cp;
        case MessageName::kWrongSwitch:
            return "Неправильно задан ключ"_cp;
    }
    return {};
}

}  // namespace tarnwell

// The limits page: read, set the balances from the limits, save with the service restart, save the
// "Включен" flags alone. Each operation opens its own store and releases it at its end.

#include "app/tf_send.h"
#include "limits/limits_operations.h"
#include "text/cp1251_literal.h"

namespace tarnwell {

bool TFSend::SBReadClick() {
    auto database = setup_.database.Open();
    const bool read = ReadLimits(c_.ASGLimit, *database, host_, c_.SEDefault.Text(), host_.TextWidth());
    MarkLimitsUnedited();
    return read;
}

void TFSend::SBSetClick() {
    SetBalancesFromLimits(c_.ASGLimit);
}

// The values are written also when the restart could only show its message: the table is saved either way.
bool TFSend::SBSaveLimClick() {
    using namespace literals;
    const bool restarted = SaveLimits(c_.ASGLimit, setup_.database.Open(), RestartHost());
    MarkLimitsUnedited();
    c_.StatBar.ShowOutcome(std::string(restarted ? "Лимиты сохранены, служба WinGate перезапущена"_cp
                                                 : "Лимиты сохранены, служба WinGate не перезапущена"_cp));
    return restarted;
}

void TFSend::NSaveEnClick() {
    using namespace literals;
    auto database = setup_.database.Open();
    SaveEnabled(c_.ASGLimit, *database);
    c_.StatBar.ShowOutcome(std::string("Состояние профилей \"Включен\" сохранено"_cp));
}

}  // namespace tarnwell

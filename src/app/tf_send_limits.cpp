// The limits page: read, set the balances from the limits, save with the service restart, save the
// "Включен" flags alone. Each operation opens its own store and releases it at its end.

#include "app/tf_send.h"
#include "limits/limits_operations.h"

namespace tarnwell {

bool TFSend::SBReadClick() {
    auto database = setup_.database.Open();
    return ReadLimits(c_.ASGLimit, *database, host_, c_.SEDefault.Text(), host_.TextWidth());
}

void TFSend::SBSetClick() {
    SetBalancesFromLimits(c_.ASGLimit);
}

bool TFSend::SBSaveLimClick() {
    return SaveLimits(c_.ASGLimit, setup_.database.Open(), RestartHost());
}

void TFSend::NSaveEnClick() {
    auto database = setup_.database.Open();
    SaveEnabled(c_.ASGLimit, *database);
}

}  // namespace tarnwell

#include "text/save_progress.h"

#include <algorithm>

#include "text/cp1251_literal.h"

namespace tarnwell {

using namespace literals;

ESaveCancelled::ESaveCancelled() : Error(std::string("Сохранение прервано"_cp)) {}

SaveMeter::SaveMeter(SaveProgress& progress, std::uint64_t total) : progress_(progress), total_(total) {
    progress_.Show(kScale);
    // The first step is reported as soon as one unit is done: the user can stop a save from its start.
    next_report_ = 1;
}

SaveMeter::~SaveMeter() {
    progress_.Hide();
}

void SaveMeter::Report() {
    // The per mille done, and the first unit count that reaches the next one: units * 1000 in 128 bits,
    // since a count may come near the 64-bit limit.
    const auto per_mille = total_ == 0 ? kScale
                                       : static_cast<int>(std::min<unsigned __int128>(
                                             static_cast<unsigned __int128>(done_) * kScale / total_, kScale));
    const unsigned __int128 next = (static_cast<unsigned __int128>(per_mille + 1) * total_ + kScale - 1) / kScale;
    next_report_ = static_cast<std::uint64_t>(std::max<unsigned __int128>(next, done_ + 1));
    progress_.Position(per_mille);
    if (progress_.CancelRequested()) throw ESaveCancelled();
}

}  // namespace tarnwell

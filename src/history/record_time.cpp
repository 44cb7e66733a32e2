#include "history/record_time.h"

namespace tarnwell {

RecordTime LocalRecordTime(std::time_t moment) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &moment);
#else
    localtime_r(&moment, &local);
#endif
    return RecordTime{static_cast<std::int64_t>(moment),
                      (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday};
}

}  // namespace tarnwell

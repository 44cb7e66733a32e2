#include "wingate/value_rules.h"

#include "text/message.h"

namespace tarnwell::value_rules {

EUserDatabaseError GetDataError(std::string_view name) {
    return EUserDatabaseError(FormatMsg("Failed to get data for '%s'", {name}));
}

EUserDatabaseError InvalidTypeError(std::string_view name) {
    return EUserDatabaseError(FormatMsg("Invalid data type for '%s'", {name}));
}

EUserDatabaseError SetDataError(std::string_view name) {
    return EUserDatabaseError(FormatMsg("Failed to set data for '%s'", {name}));
}

void CheckNumberRead(std::string_view name, std::uint32_t type, std::size_t ansi_size) {
    if (ansi_size > 4) throw GetDataError(name);
    if (type != kDword || ansi_size != 4) throw InvalidTypeError(name);
}

}  // namespace tarnwell::value_rules

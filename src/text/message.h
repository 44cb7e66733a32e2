#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tarnwell {

// Fills a message pattern: each "%s" takes the next argument in turn, "%%" is a percent sign.
// Missing arguments leave "%s" as it stands; extra ones are ignored.
std::string FormatMsg(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace tarnwell

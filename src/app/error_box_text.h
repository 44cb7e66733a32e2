#pragma once

#include <string>
#include <string_view>

namespace tarnwell {

// The text the standard error box shows for an error: its message, with a full stop appended when the
// message ends in a letter or a digit (Latin or Cyrillic), so that "Connection Failed" reads as a sentence
// while "Failed to set data for 'x'" or a text already ending in "!" stays as it is. In a text of several
// lines the rule applies to the first, the message; the lines after it are notes to it.
std::string ErrorBoxText(std::string_view message);

}  // namespace tarnwell

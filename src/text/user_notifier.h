#pragma once

#include <string_view>

namespace tarnwell {

// How code below the application shows the program's own modal message box (titled "Tarnwell", one
// sentence, an OK button). The application's host implements it: a real message box in the window,
// standard error when headless. An operation that shows such a message then abandons itself and tells
// its caller so by its result (false), never by an exception.
class UserNotifier {
public:
    virtual ~UserNotifier() = default;
    virtual void ShowMessage(std::string_view text) = 0;  // Windows-1251 text
};

}  // namespace tarnwell

#pragma once

#include <string_view>

#include "text/named_message.h"

namespace tarnwell {

// How code below the application shows the program's own modal message box (titled "Tarnwell", one
// sentence, an OK button). The application's host implements it: a real message box in the window,
// standard error when headless. An operation that shows such a message then abandons itself and tells
// its caller so by its result (false), never by an exception.
class UserNotifier {
public:
    virtual ~UserNotifier() = default;
    virtual void ShowMessage(std::string_view text) = 0;  // Windows-1251 text
    // A named message: its text in the message box, like any other. A host that adds to a particular
    // message (the headless one says where the program looked) knows it by its name here.
    virtual void ShowNamedMessage(MessageName name) { ShowMessage(MessageText(name)); }
};

}  // namespace tarnwell

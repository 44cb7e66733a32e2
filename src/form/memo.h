#pragma once

#include <string>
#include <vector>

#include "form/control.h"

namespace tarnwell {

// A read-only block of text lines.
class Memo : public Control {
public:
    std::vector<std::string> Lines;
};

}  // namespace tarnwell

#pragma once

#include <string>

#include "form/control.h"

namespace tarnwell {

// The status bar's single text area, where the long part of the hint under the mouse is shown.
class TStatusBar : public TControl {
public:
    std::string Text;
};

}  // namespace tarnwell

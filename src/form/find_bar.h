#pragma once

#include "form/control.h"

namespace tarnwell {

// The bar that holds the find controls (EFind, SBFindNext, SBFindPrev, CBWholeCell) over the table of the
// page shown: the viewer's, the statistics or the limits (FormControls::PageTable). Hidden until Ctrl+F
// opens it (UserOpen); Escape in it closes it (UserClose). Its Visible says whether the window shows it.
class FindBar : public Control {
public:
    FindBar() { Visible = false; }

    NotifyEvent OnOpen;
    NotifyEvent OnClose;

    // Ctrl+F on the page.
    void UserOpen() const {
        if (Enabled) Fire(OnOpen);
    }
    // Escape in the bar.
    void UserClose() const { Fire(OnClose); }
};

}  // namespace tarnwell

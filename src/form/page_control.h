#pragma once

#include "form/control.h"

namespace tarnwell {

// A set of pages of which one is shown. SetActivePageIndex (code) runs no handler; UserSelectPage is a
// page change made on the control itself and runs OnChange when the page changes.
class PageControl : public Control {
public:
    explicit PageControl(int page_count) : page_count_(page_count) {}

    NotifyEvent OnChange;

    int PageCount() const { return page_count_; }
    // -1 when no page is shown.
    int ActivePageIndex() const { return active_page_; }
    // An index outside the pages shows none.
    void SetActivePageIndex(int index);
    void UserSelectPage(int index);

private:
    int page_count_;
    int active_page_ = 0;
};

}  // namespace tarnwell

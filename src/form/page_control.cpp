#include "form/page_control.h"

namespace tarnwell {

void PageControl::SetActivePageIndex(int index) {
    active_page_ = index >= 0 && index < page_count_ ? index : -1;
}

void PageControl::UserSelectPage(int index) {
    if (!Enabled) return;
    int before = active_page_;
    SetActivePageIndex(index);
    if (active_page_ != before) Fire(OnChange);
}

}  // namespace tarnwell

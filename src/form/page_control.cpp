#include "form/page_control.h"

namespace tarnwell {

void TPageControl::SetActivePageIndex(int index) {
    active_page_ = index >= 0 && index < page_count_ ? index : -1;
}

void TPageControl::UserSelectPage(int index) {
    if (!Enabled) return;
    int before = active_page_;
    SetActivePageIndex(index);
    if (active_page_ != before) Fire(OnChange);
}

}  // namespace tarnwell

#pragma once

#include <string>
#include <vector>

#include "form/control.h"

namespace tarnwell {

struct TFileFilter {
    std::string Description;  // "Text files (*.txt)"
    std::string Mask;         // "*.txt"
};

// The file-type filter of a file list: a list of filters, one of them selected.
class TFilterComboBox : public TControl {
public:
    std::vector<TFileFilter> Filters;
    int ItemIndex = 0;
    TNotifyEvent OnChange;

    // The selected filter's mask, "*.*" when none is selected.
    std::string Mask() const {
        return ItemIndex >= 0 && ItemIndex < static_cast<int>(Filters.size()) ? Filters[ItemIndex].Mask : "*.*";
    }
};

}  // namespace tarnwell

#include "form/widget_names.h"

namespace tarnwell {

std::string PartName(const Control& control, std::string_view part) {
    std::string name = control.Name;
    name += '.';
    name += part;
    return name;
}

std::string LabelName(const Control& control) {
    return PartName(control, "Label");
}

std::string ItemName(const Control& control, int index) {
    return PartName(control, std::to_string(index));
}

}  // namespace tarnwell

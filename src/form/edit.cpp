#include "form/edit.h"

#include <utility>

namespace tarnwell {

void Edit::UserSetText(std::string text) {
    if (!Enabled) return;
    Text = std::move(text);
    Fire(OnChange);
}

}  // namespace tarnwell

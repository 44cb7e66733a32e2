#include "form/edit.h"

#include <utility>

namespace tarnwell {

void TEdit::UserSetText(std::string text) {
    Text = std::move(text);
    Fire(OnChange);
}

}  // namespace tarnwell

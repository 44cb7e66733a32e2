#include "settings/password_store.h"

#include "text/error.h"

namespace tarnwell {

std::string StoredPassword(std::string_view password) {
    return std::string(password);
}

std::string PasswordFromStore(std::string_view stored) {
    // Protected on Windows for a user there: no system here can open it.
    if (stored.rfind("dpapi:", 0) == 0) {
        throw Error("The mail password was saved protected on Windows and cannot be read here; enter it again");
    }
    return std::string(stored);
}

bool PasswordNeedsOwnerOnlyFile() {
    return true;
}

}  // namespace tarnwell

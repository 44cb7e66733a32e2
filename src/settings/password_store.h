#pragma once

#include <string>
#include <string_view>

namespace tarnwell {

// The mail password as the settings file holds it. On Windows it is protected for the current user by
// the system (DPAPI) and written as "dpapi:" followed by the Base64 of the protected bytes; another user
// or another machine cannot read it back. Elsewhere it is written as it is, and the settings file that
// holds it is made readable by its owner only (owner_only_write.h).
//
// The password itself never goes into an error text.

// The value to write; empty for an empty password.
std::string StoredPassword(std::string_view password);
// The password of a value read from the file. A value without the "dpapi:" mark is a password written
// by hand and is taken as it is. Error when a protected value cannot be opened here.
std::string PasswordFromStore(std::string_view stored);

// Whether a settings file holding a password must be written for its owner alone.
bool PasswordNeedsOwnerOnlyFile();

}  // namespace tarnwell

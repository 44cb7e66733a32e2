#pragma once

#include <string>

namespace tarnwell {

// While it lives, a replacement of the file at path is readable and writable by its owner only (a file
// that holds a password). The file as it stands is restricted first, since a replacement takes over the
// permissions of the file it replaces, and files created meanwhile get no rights for others. Nothing on
// Windows, where the password itself is protected instead.
class OwnerOnlyWrite {
public:
    explicit OwnerOnlyWrite(const std::string& path);
    ~OwnerOnlyWrite();
    OwnerOnlyWrite(const OwnerOnlyWrite&) = delete;
    OwnerOnlyWrite& operator=(const OwnerOnlyWrite&) = delete;

private:
    unsigned saved_mask_ = 0;
};

}  // namespace tarnwell

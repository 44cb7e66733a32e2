#include "files/file_snapshot.h"

#include "text/message.h"

namespace tarnwell {

EFileOpenError FileSnapshot::CannotOpen(const std::string& file_name) {
    return EFileOpenError(FormatMsg("Cannot open file %s", {file_name}));
}

std::shared_ptr<const FileSnapshot> FileSnapshot::Take(const std::string& file_name) {
    // A name with a NUL in it would open a different, shorter name.
    if (file_name.empty() || file_name.find('\0') != std::string::npos) throw CannotOpen(file_name);
    auto snapshot = std::make_shared<FileSnapshot>(Made());
    snapshot->Open(file_name);
    return snapshot;
}

}  // namespace tarnwell

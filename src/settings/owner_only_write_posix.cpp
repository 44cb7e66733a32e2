#include <sys/stat.h>

#include "settings/owner_only_write.h"

namespace tarnwell {

OwnerOnlyWrite::OwnerOnlyWrite(const std::string& path) {
    // The program has one thread that writes files: the process-wide mask affects only this write.
    saved_mask_ = ::umask(077);
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 077) != 0) {
        // A failure shows when the file is replaced: the same rights are needed for that.
        ::chmod(path.c_str(), st.st_mode & 0700);
    }
}

OwnerOnlyWrite::~OwnerOnlyWrite() {
    ::umask(static_cast<mode_t>(saved_mask_));
}

}  // namespace tarnwell

#pragma once

// A case that only an ordinary user can show: the administrator may write any file, whatever its
// protection, and CI runs the suite as root. POSIX only.

#ifndef _WIN32

#include <filesystem>
#include <functional>

namespace tarnwell::testing_support {

// Runs `test_case` as a user without the administrator's rights. Run by root, it forks a child that
// becomes the user "nobody" and is given `folder` (as his own folder would be his); the child first shows
// that it can make and remove a file in that folder, so that only the protection of a file can make a
// write of the case fail, then runs the case and reports through its exit status. The case's GoogleTest
// failures are printed by the child and fail the test here. Run by any other user, the case runs here.
void RunUnprivileged(const std::filesystem::path& folder, const std::function<void()>& test_case);

}  // namespace tarnwell::testing_support

#endif

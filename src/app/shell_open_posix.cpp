#include <spawn.h>
#include <sys/wait.h>

#include <string>

#include "app/shell_open.h"
#include "text/cp1251.h"

extern char** environ;

namespace tarnwell {

void ShellOpenDocument(std::string_view target) {
    std::string utf8 = Cp1251ToUtf8(target);
    // A short-lived shell starts the opener in the background and ends at once, so the opener is never
    // left behind as a child to be reaped and the program does not wait for the desktop.
    const char* script = "xdg-open \"$1\" </dev/null >/dev/null 2>&1 &";
    const char* argv[] = {"sh", "-c", script, "sh", utf8.c_str(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) return;
    int status = 0;
    waitpid(pid, &status, 0);
}

}  // namespace tarnwell

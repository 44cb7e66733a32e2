#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "text/cp1251.h"
#include "wingate/service_restart.h"

extern char** environ;

namespace tarnwell {

// What execve would take: a relative path from the current folder, no search of PATH.
bool SystemProgramRunner::CanRun(const std::string& program) {
    std::string path = Cp1251ToUtf8(program);
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The program is started by a short-lived intermediate child that is waited for at once; the program
// itself then belongs to the system's init process, which reaps it. So the restart leaves no zombie behind
// and never waits for the service program. Between fork and exec only async-signal-safe calls are made,
// since the window toolkit may run threads of its own.
void SystemProgramRunner::Run(const std::string& program, const std::string& argument) {
    // File names on this system are UTF-8.
    std::string path = Cp1251ToUtf8(program);
    std::string arg = Cp1251ToUtf8(argument);
    char* argv[] = {path.data(), arg.data(), nullptr};

    pid_t child = ::fork();
    if (child < 0) return;
    if (child == 0) {
        pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ::execve(path.c_str(), argv, environ);
            ::_exit(127);
        }
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace tarnwell

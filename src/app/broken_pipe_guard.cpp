#include "app/broken_pipe_guard.h"

#include <csignal>

namespace tarnwell {

void IgnoreBrokenPipes() {
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

}  // namespace tarnwell

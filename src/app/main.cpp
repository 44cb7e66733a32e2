// Program entry. With a display, the window, from its module beside the program when the program was built
// with it (app/window_module.h); else the headless program: the start-up sequence with its switch and
// autorun jobs, reported on standard error, with an exit status for the scheduler.

#include "app/broken_pipe_guard.h"
#include "app/command_line.h"
#include "app/memory_reuse.h"
#include "app/program.h"
#include "app/standard_error.h"
#ifdef TARNWELL_WINDOW_MODULE
#include "app/window_module.h"
#endif

int main(int argc, char** argv) {
    tarnwell::ReuseFreedMemory();
    tarnwell::IgnoreBrokenPipes();
    const std::optional<std::string> argument = tarnwell::FirstCommandArgument(argc, argv);
#ifdef TARNWELL_WINDOW_MODULE
    if (const std::optional<int> status =
            tarnwell::RunWindowModule(TARNWELL_WINDOW_MODULE, argc, argv, argument, tarnwell::StandardError())) {
        return *status;
    }
#endif
    return tarnwell::RunHeadless(argument, tarnwell::StandardError(), tarnwell::FSendSetup::FromEnvironment);
}

// Program entry with the Qt window: the window when a display is there, else the headless program (the
// start-up sequence with its switch and autorun jobs, reported on standard error, with an exit status
// for the scheduler).

#include "app/broken_pipe_guard.h"
#include "app/command_line.h"
#include "app/memory_reuse.h"
#include "app/program.h"
#include "app/standard_error.h"
#include "gui/window_program.h"

int main(int argc, char** argv) {
    tarnwell::ReuseFreedMemory();
    tarnwell::IgnoreBrokenPipes();
    const std::optional<std::string> argument = tarnwell::FirstCommandArgument(argc, argv);
    if (tarnwell::WindowAvailable()) {
        return tarnwell::RunWindow(argc, argv, argument, tarnwell::FSendSetup::FromEnvironment);
    }
    return tarnwell::RunHeadless(argument, tarnwell::StandardError(), tarnwell::FSendSetup::FromEnvironment);
}

// Program entry. Without a window the program runs headless: the start-up sequence with its switch and
// autorun jobs, reported on standard error, with an exit status for the scheduler.

#include "app/broken_pipe_guard.h"
#include "app/command_line.h"
#include "app/memory_reuse.h"
#include "app/program.h"
#include "app/standard_error.h"

int main(int argc, char** argv) {
    tarnwell::ReuseFreedMemory();
    tarnwell::IgnoreBrokenPipes();
    return tarnwell::RunHeadless(tarnwell::FirstCommandArgument(argc, argv), tarnwell::StandardError(),
                                 tarnwell::FSendSetup::FromEnvironment);
}

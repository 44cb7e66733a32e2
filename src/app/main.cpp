// Program entry. Without a window the program runs headless: the start-up sequence with its switch and
// autorun jobs, reported on standard error, with an exit status for the scheduler.

#include <iostream>

#include "app/command_line.h"
#include "app/program.h"

int main(int argc, char** argv) {
    return tarnwell::RunHeadless(tarnwell::FirstCommandArgument(argc, argv), std::cerr,
                                 tarnwell::TFSendSetup::FromEnvironment);
}

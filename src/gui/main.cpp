// Program entry with the Qt window: the window when a display is there, else the headless program (the
// start-up sequence with its switch and autorun jobs, reported on standard error, with an exit status
// for the scheduler).

#include <iostream>

#include "app/command_line.h"
#include "app/program.h"
#include "gui/window_program.h"

int main(int argc, char** argv) {
    const std::string tail = tarnwell::CommandTail(argc, argv);
    if (tarnwell::WindowAvailable()) {
        return tarnwell::RunWindow(argc, argv, tail, tarnwell::TFSendSetup::FromEnvironment);
    }
    return tarnwell::RunHeadless(tail, std::cerr, tarnwell::TFSendSetup::FromEnvironment);
}

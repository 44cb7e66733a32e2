// Program entry with the Qt window: the window when a display is there, else the headless program (the
// start-up sequence with its switch and autorun jobs, reported on standard error, with an exit status
// for the scheduler).

#include "app/command_line.h"
#include "app/program.h"
#include "app/standard_error.h"
#include "gui/window_program.h"

int main(int argc, char** argv) {
    // Taken before Qt sees argv: QApplication removes the arguments it knows.
    const auto first_argument = tarnwell::FirstCommandArgument(argc, argv);
    if (tarnwell::WindowAvailable()) {
        return tarnwell::RunWindow(argc, argv, first_argument, tarnwell::TFSendSetup::FromEnvironment);
    }
    return tarnwell::RunHeadless(first_argument, tarnwell::StandardError(), tarnwell::TFSendSetup::FromEnvironment);
}

// Program entry on Windows. A windowed program, so that no console flashes up when a scheduler starts it
// with a switch: with a desktop it shows the main window; without one (a service account, a scheduled run
// whether the user is logged on or not) it runs headless as the other builds do, its messages on standard
// error or the console it was started from.

#include "app/command_line.h"
#include "app/program.h"
#include "gui_win32/desktop_check.h"
#include "gui_win32/headless_output.h"
#include "gui_win32/window_program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
    using namespace tarnwell;
    const std::optional<std::string> argument = FirstCommandArgument(0, nullptr);
    if (!win32::HasDesktop(instance)) {
        win32::HeadlessOutput output;
        return RunHeadless(argument, output.Stream(), FSendSetup::FromEnvironment);
    }
    return win32::RunWindow(instance, argument, show_command, FSendSetup::FromEnvironment);
}

#include "gui_win32/window_program.h"

#include <exception>

#include "app/error_box_text.h"
#include "gui_win32/window_memory.h"

namespace tarnwell::win32 {

void InitCommonControlClasses() {
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof(classes);
    classes.dwICC = ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES |
                    ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS | ICC_TAB_CLASSES;
    InitCommonControlsEx(&classes);
}

WindowProgram::WindowProgram(HINSTANCE instance, FSendSetup setup) : folder_(setup.settings_folder) {
    InitCommonControlClasses();
    form_ = std::make_unique<TFSend>(host_, std::move(setup));
    window_ = std::make_unique<MainWindow>(instance, *form_, host_);
    host_.Attach(window_.get());
}

WindowProgram::~WindowProgram() {
    host_.Attach(nullptr);
    host_.StopCloseTimer();
    window_.reset();
}

void WindowProgram::Start(const std::optional<std::string>& first_argument, int show_command) {
    form_->FormCreate(first_argument);
    if (host_.QuitQueued()) return;
    const bool maximized = RestoreWindowState(window_->Hwnd(), folder_);
    window_->Show(maximized && show_command == SW_SHOWNORMAL ? SW_SHOWMAXIMIZED : show_command);
    shown_ = true;
}

// A switch run never showed the window: it has nothing to remember.
void WindowProgram::KeepWindowState() {
    if (shown_ && IsWindow(window_->Hwnd())) win32::KeepWindowState(window_->Hwnd(), folder_);
}

int RunWindow(HINSTANCE instance, const std::optional<std::string>& first_argument, int show_command,
              const std::function<FSendSetup()>& make_setup) {
    std::unique_ptr<WindowProgram> program;
    try {
        program = std::make_unique<WindowProgram>(instance, make_setup());
        program->Start(first_argument, show_command);
        program->Host().RunMessageLoop();
        program->KeepWindowState();
        // The count of the boxes shown, as in every mode: the quit request's own code says nothing.
        return program->Host().ExitStatus();
    } catch (const std::exception& e) {
        // Shown by the program's host when it was made; the error of making it goes to a box of its own.
        if (program != nullptr) {
            program->Host().ShowError(e.what());
            return program->Host().ExitStatus();
        }
        MessageBoxW(nullptr, Wide(ErrorBoxText(e.what())).c_str(), L"Tarnwell", MB_OK | MB_ICONERROR);
        return 1;
    }
}

}  // namespace tarnwell::win32

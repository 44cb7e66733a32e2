#pragma once

// The window tests' fixture: the program with its Win32 window in this process, on a folder of its own
// with settings.ini and a user database, and the means to drive the window through its own messages.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui_win32/grid_view.h"
#include "gui_win32/window_program.h"
#include "support/temp_folder.h"

namespace tarnwell::win32::testing {

namespace fs = std::filesystem;

// Modal windows that open while the test pumps: message boxes titled "Tarnwell" are closed with OK and
// their texts kept; questions (boxes titled "Tarnwell" without OK) are answered from `answers` (IDYES when
// none is left) and their texts kept apart; a save dialog or a pop-up menu is handed to the test's script.
class ModalWatcher {
public:
    ModalWatcher();
    ~ModalWatcher();
    ModalWatcher(const ModalWatcher&) = delete;
    ModalWatcher& operator=(const ModalWatcher&) = delete;

    std::vector<std::string> boxes;      // UTF-8
    std::vector<std::string> questions;  // UTF-8
    std::vector<int> answers;            // IDYES, IDNO, IDCANCEL, taken from the front
    // Called with a save dialog once it is ready; returns when it has done its part (pressed a button).
    std::function<void(HWND dialog)> on_save_dialog;
    // Called with the window of a pop-up menu and its menu.
    std::function<void(HWND window, HMENU menu)> on_menu;
    // Called at every look, whatever is open: the user acting while a handler lets his events through.
    std::function<void()> on_tick;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Look();

    UINT_PTR timer_ = 0;
    bool busy_ = false;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // settings.ini in Windows-1251 from UTF-8 lines.
    void WriteSettings(const std::vector<std::string>& lines) const;
    std::string ReadSettings() const;
    fs::path Folder() const { return folder_; }
    fs::path RegPath() const { return folder_ / "registry.reg"; }
    fs::path ServiceLog() const { return folder_ / "service.log"; }
    std::int32_t Number(const std::string& login, const std::string& name) const;

    // The program on the test's folder and its .reg database (or another location), started with the
    // argument; the window is on the screen afterwards unless the start-up ended the program.
    // `prepare` runs on the main window's logic before its start-up.
    WindowProgram& Start(std::optional<std::string> argument = std::nullopt,
                         std::optional<UserDatabaseLocation> database = std::nullopt,
                         const std::function<void(TFSend&)>& prepare = nullptr);
    WindowProgram& Program() { return *program_; }
    FormControls& Controls() { return program_->Form().Controls(); }
    HWND Find(const std::string& name) const;
    GridView& Grid(const std::string& name) const;

    // Handles messages, as the message loop would, for the time or until the condition holds (false
    // when it did not in time).
    void Pump(std::chrono::milliseconds duration = std::chrono::milliseconds(50));
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10));

    // The user's input, posted to the widget and handed on by the message loop.
    void ClickButton(const std::string& name);
    void MouseOver(const std::string& name);
    void ClickCell(const std::string& grid, int display_col, int row, UINT down = WM_LBUTTONDOWN);
    void DoubleClickCell(const std::string& grid, int display_col, int row);
    void DoubleClickItem(HWND list, int item);
    void Key(HWND widget, WPARAM key);
    void TypeInto(HWND edit, const std::wstring& text);
    std::string StatusText() const;                     // Windows-1251
    std::string TextOf(const std::string& name) const;  // Windows-1251
    bool PageShown(const std::string& name) const;

    std::unique_ptr<testing_support::TempFolder> temp_;
    fs::path folder_;
    fs::path start_folder_;
    std::unique_ptr<ModalWatcher> watcher_;
    std::unique_ptr<WindowProgram> program_;
};

// Saves the window's client area as it is on the screen into a 24-bit BMP file.
void SaveWindowPicture(HWND window, const fs::path& file);

}  // namespace tarnwell::win32::testing

#pragma once

#include <chrono>
#include <functional>

#include "app/host.h"
#include "gui_win32/desktop_metrics.h"
#include "gui_win32/win32_ui.h"

namespace tarnwell::win32 {

class MainWindow;

// The host of the program on the Win32 window: message boxes titled "Tarnwell", the error box, the
// thread's message loop, the close timer as a window timer, the desktop's colours and the grids' font.
// One per process: the close timer's tick finds it through the thread.
class Win32Host final : public Host {
public:
    Win32Host();
    ~Win32Host() override;
    Win32Host(const Win32Host&) = delete;
    Win32Host& operator=(const Win32Host&) = delete;

    // The window that shows the program; nullptr before it is made and once it is gone.
    void Attach(MainWindow* window) { window_ = window; }

    void ProcessMessages() override;
    void PostQuit() override;
    void StartCloseTimer(std::chrono::milliseconds interval, std::function<void()> tick) override;
    void StopCloseTimer() override;
    void Sleep(std::chrono::milliseconds duration) override;
    void RepaintNow(const Control& control) override;
    const TextWidthMeasure& TextWidth() const override { return text_width_; }
    const ColorScheme& Colors() const override { return colors_; }
    void ControlsChanged() override;
    bool ExecuteSaveDialog(SaveDialog& dialog) override;
    void ShellOpen(std::string_view target) override;
    void SetClipboardText(std::string_view text) override;

    bool QuitQueued() const { return quit_queued_; }
    bool CloseTimerRunning() const { return timer_ != 0; }
    // Takes messages until the quit request.
    void RunMessageLoop();
    // Hands one message to the window (its hints and keyboard navigation) and then to its target.
    void Dispatch(MSG& message);

protected:
    void ShowMessageBox(std::string_view text) override;
    void ShowErrorBox(std::string_view text) override;

private:
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD);
    HWND Owner() const;
    void ShowLock();

    MainWindow* window_ = nullptr;
    bool quit_queued_ = false;
    bool lock_shown_ = false;  // the window has shown the controls since the last change
    UINT_PTR timer_ = 0;
    std::function<void()> close_tick_;
    GdiTextWidth text_width_;
    SystemColorScheme colors_;
};

}  // namespace tarnwell::win32

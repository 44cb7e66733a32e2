#pragma once

#include <QTimer>
#include <functional>
#include <memory>

#include "app/host.h"
#include "gui/palette_colors.h"
#include "gui/qt_text_width.h"

namespace tarnwell {

class MainWindow;

// The host of the Qt window: message boxes, the event pump, the close timer, the save dialogs and the
// desktop's "open", and the window's re-reading of the controls. Made after the QApplication, before the
// main window, which it is given once that exists (Attach).
class QtHost final : public Host {
public:
    QtHost();
    ~QtHost() override;

    void Attach(MainWindow* window) { window_ = window; }

    void ProcessMessages() override;
    void PostQuit() override;
    void StartCloseTimer(std::chrono::milliseconds interval, std::function<void()> tick) override;
    void StopCloseTimer() override;
    void Sleep(std::chrono::milliseconds duration) override;
    void RepaintNow(const Control& control) override;
    const TextWidthMeasure& TextWidth() const override { return *text_width_; }
    const ColorScheme& Colors() const override { return colors_; }
    void ControlsChanged() override;
    bool ExecuteSaveDialog(SaveDialog& dialog) override;
    void ShellOpen(std::string_view target) override;
    void SetClipboardText(std::string_view text) override;

    // The font of the grids: Tahoma 8, or the nearest font present.
    static QFont GridFont();

    bool QuitQueued() const { return quit_queued_; }
    bool CloseTimerRunning() const { return close_timer_.isActive(); }
protected:
    // The program's own message box: titled "Tarnwell", the text, an OK button, no icon, centred on the
    // screen.
    void ShowMessageBox(std::string_view text) override;
    // The standard error box: the same with the error icon, the text as ErrorBoxText gives it.
    void ShowErrorBox(std::string_view text) override;

private:
    void ShowBox(std::string_view text, bool error);

    MainWindow* window_ = nullptr;
    PaletteColors colors_;
    std::unique_ptr<QtTextWidth> text_width_;
    QTimer close_timer_;
    std::function<void()> close_tick_;
    bool quit_queued_ = false;
};

}  // namespace tarnwell

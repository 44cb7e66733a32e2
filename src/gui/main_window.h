#pragma once

#include <QMainWindow>

#include "gui/control_binder.h"

class QLabel;
class QStackedWidget;

namespace tarnwell {

class NavigationColumn;
class QtHost;

// The main window FSend on Qt: the page control PC1 (five pages without tabs), the navigation column at
// the right with its five buttons and the gauge at its foot, and the status bar StatBar with the hint
// under the mouse at its left and the last job's outcome at its right. Every widget shows one control
// of TFSend and carries the control's name as objectName.
class MainWindow final : public QMainWindow {
public:
    MainWindow(TFSend& form, QtHost& host);
    ~MainWindow() override;

    // Reads every control into the window (the host calls it whenever controls may have changed).
    void Refresh();
    // Reads one control into its widget and draws it now. A handler that draws while it runs is a long
    // one: the wait cursor shows until it ends.
    void RepaintControl(const Control& control);
    // The wait cursor while a handler runs; the next Refresh after it takes it away.
    void ShowWaitCursor();

    ControlBinder& Binder() { return binder_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowHintAt(QWidget* widget);

    ControlBinder binder_;
    QStackedWidget* pages_ = nullptr;
    NavigationColumn* navigation_ = nullptr;
    QLabel* status_text_ = nullptr;
    QLabel* outcome_ = nullptr;
    bool wait_cursor_ = false;
};

}  // namespace tarnwell

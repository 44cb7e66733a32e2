#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <string_view>
#include <vector>

#include "app/tf_send.h"
#include "form/widget_names.h"

class QGroupBox;
class QObject;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QWidget;

namespace tarnwell {

class GridView;
class QtHost;

// Makes the widgets of the window's controls and ties each to its control: the widget carries the
// control's name as objectName, its accessible name where the form gives one, its hint as tool tip (where
// the control shows one) and accessible description; the user's input goes into the control through its user-action
// method (Act), and Refresh shows the controls' state again. The window keeps nothing else of the program's state.
class ControlBinder {
public:
    ControlBinder(TFSend& form, QtHost& host);

    TFSend& Form() { return form_; }
    FormControls& Controls() { return form_.Controls(); }
    QtHost& Host() { return host_; }

    // Runs the user's action on the controls: any open grid edit is written first, an error that escapes
    // is shown in the error box, and the controls are read again afterwards, since an action without a
    // handler (a filter picked, a file selected) changes what the window shows too.
    void Act(const std::function<void()>& action);
    // Reads every control into its widget. Signals that this raises run no user action.
    void Refresh();
    // Reads one control into its widget and draws that widget now.
    void RepaintNow(const Control& control);
    // True while Refresh runs: the widgets' signals are then the program's doing, not the user's.
    bool Refreshing() const { return refreshing_; }

    // A refresher for what the helpers below do not cover; one tied to a control also runs when that
    // control alone is drawn (RepaintNow).
    void OnRefresh(std::function<void()> refresh, const Control* control = nullptr);
    // Names the widget after the control, gives it the control's accessible name, hint and tool tip, and
    // keeps its enabled and visible state with the control's; also for widgets made elsewhere.
    void Bind(QWidget* widget, const Control& control);
    // Names a widget that shows no control of the form, for tests and for assistive technology.
    static void NamePart(QWidget* widget, const WindowPart& part);
    // The control a widget shows, nullptr for none.
    const Control* ControlOf(const QObject* widget) const { return controls_.value(widget, nullptr); }

    // The caption strip of a control (an edit's label, a list's strip): `text`, named after the control;
    // a screen reader names the buddy by it.
    QLabel* CaptionStrip(const Control& control, std::string_view text, QWidget* buddy = nullptr);
    // An edit; a path edit shows the program's path bytes as the file system names them.
    QLineEdit* LineEdit(Edit& edit, bool path = false);
    QPushButton* PushButton(Button& button);
    QListWidget* ListWidget(CheckListBox& list);
    QGroupBox* GroupBox(RadioGroup& group);
    QSpinBox* SpinBox(SpinEdit& spin);
    GridView* TableView(GridControl& grid);

    const std::vector<GridView*>& Grids() const { return grids_; }

private:
    TFSend& form_;
    QtHost& host_;
    std::vector<std::function<void()>> refreshers_;
    QHash<const QObject*, const Control*> controls_;
    QHash<const Control*, QWidget*> widgets_;
    QMultiHash<const Control*, std::function<void()>> own_refreshers_;
    std::vector<GridView*> grids_;
    bool refreshing_ = false;
};

}  // namespace tarnwell

#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tarnwell {

// A handler of a control's event. The window's own handlers take no arguments: each knows its control.
using NotifyEvent = std::function<void()>;

// What every visible control has: a name, a hint, whether its tool tip is shown, and whether it is
// enabled and visible. The window reads these; the program sets them. A disabled control takes none of
// the user's actions (the User... methods and clicks do nothing).
//
// The name is the control's own ("EHost", "SBSend1"): both windows give it to the widget that shows the
// control, and tests and tools find the widget by it (form/widget_names.h names the widgets of its
// parts). AccessibleName is what assistive technology calls a control whose caption or label does not
// name it (a grid, the memo, an edit without a label); empty, the caption or label does.
//
// A hint is written "short|long": the short part is the tool tip, the long part what the status bar
// shows while the mouse rests on the control. A hint without "|" is both parts.
class Control {
public:
    std::string Name;
    std::string AccessibleName;
    std::string Hint;
    bool ShowHint = false;
    bool Enabled = true;
    bool Visible = true;

    std::string_view ShortHint() const;
    std::string_view LongHint() const;
};

// Runs the handler when one is set.
inline void Fire(const NotifyEvent& handler) {
    if (handler) handler();
}

}  // namespace tarnwell

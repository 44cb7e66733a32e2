#pragma once

#include <QWidget>

class QLineEdit;

namespace tarnwell {

class ControlBinder;

// The find bar PFind: the caption strip "Найти:" with EFind, the buttons SBFindNext and SBFindPrev and the
// box CBWholeCell. One bar, which stands above the table of the page shown (the viewer's, the statistics,
// the limits) while PFind is visible. Ctrl+F opens it (the handler decides on which pages) and puts the
// focus in its edit; Escape in it closes it and gives the focus back to the table; Enter in the edit, F3
// and Shift+F3 search as the buttons do.
class FindBarWidget final : public QWidget {
public:
    FindBarWidget(ControlBinder& binder, QWidget* shortcuts_owner);

private:
    // Moves the bar above the table of the page shown.
    void Follow();
    QWidget* PageTableView() const;

    ControlBinder& binder_;
    QLineEdit* text_;
};

}  // namespace tarnwell

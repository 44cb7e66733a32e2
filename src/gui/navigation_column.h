#pragma once

#include <QWidget>

class QProgressBar;
class QScrollArea;
class QToolButton;

namespace tarnwell {

class ControlBinder;

// The column at the right of the window: the five navigation buttons (75 x 75, flat, picture above the
// caption, a bevel line between two) on a strip 400 pixels high, with scroll arrows above and below when
// the window is too low to show the whole strip, and the progress gauge CG1 at its foot, with the cancel
// button SBCancel under it while a save runs.
class NavigationColumn final : public QWidget {
public:
    explicit NavigationColumn(ControlBinder& binder, QWidget* parent = nullptr);

    QToolButton* UpArrow() const { return up_; }
    QToolButton* DownArrow() const { return down_; }
    QScrollArea* Scroller() const { return scroller_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateArrows();

    QScrollArea* scroller_;
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace tarnwell

#pragma once

#include <QWidget>
#include <vector>

class QProgressBar;
class QScrollArea;
class QToolButton;

namespace tarnwell {

class ControlBinder;

// The column at the right of the window: the five navigation buttons (75 x 75, or as wide as the longest
// caption needs in the font drawn; flat, picture above the caption, a bevel line between two, the button
// of the page shown pressed) on a strip 400 pixels high, with scroll arrows above and below when the
// window is too low to show the whole strip, and the progress gauge CG1 at its foot, with the cancel
// button SBCancel under it while a save runs. It owns the page keys: Ctrl+Tab, Ctrl+Shift+Tab and
// Ctrl+1 ... Ctrl+5 press its buttons.
class NavigationColumn final : public QWidget {
public:
    explicit NavigationColumn(ControlBinder& binder, QWidget* parent = nullptr);

    QToolButton* UpArrow() const { return up_; }
    QToolButton* DownArrow() const { return down_; }
    QScrollArea* Scroller() const { return scroller_; }

    // Presses the button at this position from the top (0 the first) as a click does.
    void Press(int position);
    // Presses the button `step` places after (or before) the one of the page shown, round the column.
    void PressNext(int step);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void UpdateArrows();
    // Sizes the buttons, the strip and the column by the captions in the font drawn.
    void FitToFont();

    ControlBinder& binder_;
    QScrollArea* scroller_;
    QWidget* strip_ = nullptr;
    std::vector<QToolButton*> buttons_;
    std::vector<int> pages_;  // the page of each button, by position
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace tarnwell

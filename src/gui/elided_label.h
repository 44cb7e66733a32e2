#pragma once

#include <QLabel>

namespace tarnwell {

// A one-line label that takes the width it is given rather than the width of its text, and ends a text
// that does not fit with "…". The status bar's hint area is one: the outcome area beside it keeps its
// whole text, and the hint gives way. text() and the accessible name stay the whole text.
class ElidedLabel final : public QLabel {
public:
    ElidedLabel();

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tarnwell

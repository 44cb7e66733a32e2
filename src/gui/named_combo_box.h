#pragma once

#include <QComboBox>

namespace tarnwell {

// A combo box that a screen reader names by its accessible name, with what it shows as its value. On Linux
// Qt names a plain combo box by the text it shows, so the drive box read "/" and the filter box
// "All files (*.*)", neither saying what it is for. Its own class name lets its own accessible interface
// be chosen for it.
class NamedComboBox final : public QComboBox {
    Q_OBJECT

public:
    NamedComboBox();
};

}  // namespace tarnwell

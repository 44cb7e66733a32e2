#include "gui/control_binder.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <algorithm>
#include <climits>
#include <exception>

#include "form/accelerators.h"
#include "gui/grid_view.h"
#include "gui/qt_host.h"
#include "gui/qt_text.h"
#include "text/int_text.h"

namespace tarnwell {
namespace {

// A check list at least as wide as its longest item, with room for the scroll bar beside it: items are
// captions, never cut.
class FittedList final : public QListWidget {
public:
    QSize minimumSizeHint() const override {
        const QSize base = QListWidget::minimumSizeHint();
        const int scroll_bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        const int items = count() > 0 ? sizeHintForColumn(0) : 0;
        return {std::max(base.width(), items + 2 * frameWidth() + scroll_bar + 2), base.height()};
    }
};

Qt::CheckState ToQt(CheckBoxState state) {
    switch (state) {
        case cbChecked:
            return Qt::Checked;
        case cbGrayed:
            return Qt::PartiallyChecked;
        case cbUnchecked:
            break;
    }
    return Qt::Unchecked;
}

}  // namespace

ControlBinder::ControlBinder(TFSend& form, QtHost& host) : form_(form), host_(host) {}

void ControlBinder::Act(const std::function<void()>& action) {
    if (refreshing_) return;
    for (GridView* grid : grids_) grid->CommitEdit();
    try {
        action();
    } catch (const std::exception& e) {
        host_.ShowError(e.what());
    }
    Refresh();
}

void ControlBinder::Refresh() {
    // Signals raised while reading are ignored, so reading runs no handler and cannot nest itself; a
    // nested call would just read again.
    const bool outer = !refreshing_;
    refreshing_ = true;
    for (const auto& refresh : refreshers_) refresh();
    if (outer) refreshing_ = false;
}

void ControlBinder::RepaintNow(const Control& control) {
    QWidget* widget = widgets_.value(&control, nullptr);
    if (!widget) return;
    const bool outer = !refreshing_;
    refreshing_ = true;
    for (auto it = own_refreshers_.find(&control); it != own_refreshers_.end() && it.key() == &control; ++it) {
        (*it)();
    }
    if (outer) refreshing_ = false;
    widget->repaint();
}

void ControlBinder::OnRefresh(std::function<void()> refresh, const Control* control) {
    if (control) own_refreshers_.insert(control, refresh);
    refreshers_.push_back(std::move(refresh));
}

void ControlBinder::Bind(QWidget* widget, const Control& control) {
    widget->setObjectName(ToQString(control.Name));
    if (!control.AccessibleName.empty()) widget->setAccessibleName(ToQString(control.AccessibleName));
    controls_.insert(widget, &control);
    widgets_.insert(&control, widget);
    if (control.ShowHint && !control.ShortHint().empty()) widget->setToolTip(ToQString(control.ShortHint()));
    if (!control.LongHint().empty()) widget->setAccessibleDescription(ToQString(control.LongHint()));
    OnRefresh(
        [widget, &control] {
            widget->setEnabled(control.Enabled);
            // Hidden only by its own flag: a widget on a page that is not shown is not hidden itself.
            if (widget->isHidden() == control.Visible) widget->setVisible(control.Visible);
        },
        &control);
}

void ControlBinder::NamePart(QWidget* widget, const WindowPart& part) {
    widget->setObjectName(ToQString(part.Name));
    if (!part.AccessibleName.empty()) widget->setAccessibleName(ToQString(part.AccessibleName));
}

QLabel* ControlBinder::CaptionStrip(const Control& control, std::string_view caption, QWidget* buddy) {
    const QString text = ToQString(caption);
    // Alt and the underlined letter moves the focus to the buddy.
    auto* label = new QLabel(ToQString(AcceleratedCaption(control, caption)));
    label->setObjectName(ToQString(LabelName(control)));
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(201, 207, 220));
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    label->setMargin(1);
    if (buddy) {
        label->setBuddy(buddy);
        // Lists and tables do not look for a buddy of their own: each control is named by its strip.
        if (buddy->accessibleName().isEmpty()) buddy->setAccessibleName(text);
    }
    return label;
}

QLineEdit* ControlBinder::LineEdit(Edit& edit, bool path) {
    auto* widget = new QLineEdit;
    Bind(widget, edit);
    // The window's own mask character: the text never shows, and assistive technology gets no value.
    if (edit.PasswordChar != 0) widget->setEchoMode(QLineEdit::Password);
    auto to_qt = [path](const std::string& text) { return path ? PathToQString(text) : ToQString(text); };
    QObject::connect(widget, &QLineEdit::textEdited, widget, [this, &edit, path](const QString& text) {
        Act([&] { edit.UserSetText(path ? PathFromQString(text) : FromQString(text)); });
    });
    // Enter in the edit: its accept handler, where it has one (the find text, the viewer's filter).
    QObject::connect(widget, &QLineEdit::returnPressed, widget, [this, &edit] {
        if (edit.OnAccept) Act([&] { edit.UserAccept(); });
    });
    OnRefresh(
        [widget, &edit, to_qt] {
            const QString text = to_qt(edit.Text);
            if (widget->text() == text) return;
            widget->setText(text);
            // The start of a text that is wider than the edit shows, not its end; the user's own typing
            // keeps the cursor where he is.
            if (!widget->hasFocus()) widget->setCursorPosition(0);
        },
        &edit);
    return widget;
}

QPushButton* ControlBinder::PushButton(Button& button) {
    // Alt and the underlined letter clicks it.
    auto caption = [&button] { return ToQString(AcceleratedCaption(button, button.Caption)); };
    auto* widget = new QPushButton(caption());
    Bind(widget, button);
    QObject::connect(widget, &QPushButton::clicked, widget, [this, &button] { Act([&] { button.Click(); }); });
    OnRefresh([widget, caption] {
        const QString text = caption();
        if (widget->text() != text) widget->setText(text);
    });
    return widget;
}

QListWidget* ControlBinder::ListWidget(CheckListBox& list) {
    auto* widget = new FittedList;
    Bind(widget, list);
    // Every item shows whole: the list is never narrower than they are.
    widget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    widget->setMinimumHeight(40);
    for (const std::string& item : list.Items()) {
        auto* row = new QListWidgetItem(ToQString(item), widget);
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        row->setCheckState(Qt::Unchecked);
    }
    QObject::connect(widget, &QListWidget::itemChanged, widget, [this, widget, &list](QListWidgetItem* item) {
        const int index = widget->row(item);
        if (index < 0 || index >= list.Count()) return;
        const CheckBoxState wanted = item->checkState() == Qt::Checked ? cbChecked : cbUnchecked;
        Act([&] {
            if (list.State(index) != wanted) list.UserSetState(index, wanted);
        });
    });
    OnRefresh([widget, &list] {
        for (int i = 0; i < list.Count() && i < widget->count(); ++i) {
            const Qt::CheckState state = ToQt(list.State(i));
            if (widget->item(i)->checkState() != state) widget->item(i)->setCheckState(state);
        }
    });
    return widget;
}

QGroupBox* ControlBinder::GroupBox(RadioGroup& group) {
    // Alt and the underlined letter of the title moves the focus to the chosen item.
    auto* widget = new QGroupBox(ToQString(AcceleratedCaption(group, group.Caption)));
    Bind(widget, group);
    auto* layout = new QGridLayout(widget);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(1);
    auto* buttons = new QButtonGroup(widget);
    const int columns = group.Columns < 1 ? 1 : group.Columns;
    const int count = static_cast<int>(group.Items().size());
    const int rows = (count + columns - 1) / columns;
    for (int i = 0; i < count; ++i) {
        auto* radio = new QRadioButton(ToQString(group.Items()[static_cast<std::size_t>(i)]));
        radio->setObjectName(ToQString(ItemName(group, i)));
        buttons->addButton(radio, i);
        // As wide as its caption, never less; the space a wide group has to spare stays beside it.
        radio->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        // Filled column by column, as a radio group with several columns lays out its items.
        layout->addWidget(radio, i % rows, i / rows, Qt::AlignLeft | Qt::AlignVCenter);
    }
    QObject::connect(buttons, &QButtonGroup::idClicked, widget,
                     [this, &group](int id) { Act([&] { group.UserSelect(id); }); });
    OnRefresh([buttons, &group] {
        QAbstractButton* chosen = buttons->button(group.ItemIndex());
        if (chosen) {
            if (!chosen->isChecked()) chosen->setChecked(true);
        } else if (QAbstractButton* checked = buttons->checkedButton()) {
            buttons->setExclusive(false);
            checked->setChecked(false);
            buttons->setExclusive(true);
        }
    });
    return widget;
}

QSpinBox* ControlBinder::SpinBox(SpinEdit& spin) {
    auto* widget = new QSpinBox;
    Bind(widget, spin);
    if (spin.MaxValue() > spin.MinValue()) {
        widget->setRange(spin.MinValue(), spin.MaxValue());
    } else {
        widget->setRange(INT_MIN, INT_MAX);  // equal bounds: any value
    }
    QObject::connect(widget, &QSpinBox::textChanged, widget,
                     [this, &spin](const QString& text) { Act([&] { spin.UserSetText(FromQString(text)); }); });
    OnRefresh([widget, &spin] {
        if (widget->text() == ToQString(spin.Text())) return;
        if (std::optional<std::int32_t> value = TryStrToInt(spin.Text())) widget->setValue(*value);
    });
    return widget;
}

GridView* ControlBinder::TableView(GridControl& grid) {
    auto* view = new GridView(grid, host_.Colors(), QtHost::GridFont());
    Bind(view, grid);
    grids_.push_back(view);
    view->OnCopy([this, &grid] { Act([&] { grid.UserCopy(); }); });
    OnRefresh([view] { view->Sync(); });
    return view;
}

}  // namespace tarnwell

// The settings page: the mail server and the letter's form at the top, the letter's content, the columns
// and the options below. The table address edit ESGToUser sits inside the blank lower part of the
// autorun list, under its third item.

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "form/group_frames.h"
#include "gui/control_binder.h"
#include "gui/pages.h"
#include "gui/qt_text.h"

namespace tarnwell {
namespace {

QGroupBox* Group(const GroupFrame& frame) {
    auto* group = new QGroupBox(ToQString(frame.Caption));
    group->setObjectName(ToQString(frame.Name));
    return group;
}

// Edits with their caption strips, `pairs` of them side by side on a line; the grid, for what goes under
// them.
QGridLayout* AddEdits(ControlBinder& binder, QGroupBox* group, std::initializer_list<Edit*> edits, int pairs = 1) {
    auto* layout = new QGridLayout(group);
    layout->setContentsMargins(3, 1, 3, 2);
    layout->setHorizontalSpacing(3);
    layout->setVerticalSpacing(2);
    int at = 0;
    for (Edit* edit : edits) {
        QLineEdit* widget = binder.LineEdit(*edit);
        const int row = at / pairs;
        const int column = 2 * (at % pairs);
        layout->addWidget(binder.CaptionStrip(*edit, edit->Label, widget), row, column);
        layout->addWidget(widget, row, column + 1);
        ++at;
    }
    for (int pair = 0; pair < pairs; ++pair) layout->setColumnStretch(2 * pair + 1, 1);
    return layout;
}

// A check list under its caption strip.
QWidget* StripAndList(ControlBinder& binder, CheckListBox& list, QListWidget** made = nullptr) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QListWidget* widget = binder.ListWidget(list);
    QLabel* strip = binder.CaptionStrip(list, list.Label, widget);
    layout->addWidget(strip);
    layout->addWidget(widget, 1);
    if (made) *made = widget;
    return box;
}

// Keeps the borderless edit over the list's blank part, under its last item, as wide as the list. The
// edit is the list's sibling, not its child, so that a screen reader finds it among the controls rather
// than among the list's items.
class InsideList final : public QObject {
public:
    InsideList(QListWidget* list, QLineEdit* edit) : QObject(list), list_(list), edit_(edit) {
        list->viewport()->installEventFilter(this);
        list->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Resize:
            case QEvent::Move:
            case QEvent::Show:
            case QEvent::LayoutRequest:
                Place();
                break;
            default:
                break;
        }
        return false;
    }
    void Place() {
        const int count = list_->count();
        const QRect last = count > 0 ? list_->visualItemRect(list_->item(count - 1)) : QRect();
        const int top = last.isValid() ? last.bottom() + 4 : 2;
        const QPoint at = list_->viewport()->mapTo(list_->parentWidget(), QPoint(2, top));
        edit_->setGeometry(at.x(), at.y(), list_->viewport()->width() - 4, edit_->sizeHint().height());
        edit_->raise();
    }

private:
    QListWidget* list_;
    QLineEdit* edit_;
};

}  // namespace

QWidget* MakeSettingsPage(ControlBinder& binder) {
    FormControls& c = binder.Controls();
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(2);

    auto* top = new QHBoxLayout;
    QGroupBox* server = Group(group_frames::kServer);
    // Two edits a line, so that the group keeps the height of the letter's beside it.
    QGridLayout* server_layout =
        AddEdits(binder, server, {&c.EHost, &c.EPort, &c.EDomain, &c.EUserID, &c.EPassword, &c.ECAFile}, 2);
    // The protection on one more line of the same height: its caption in a strip like the edits', the
    // group itself without a frame or title of its own.
    QGroupBox* security = binder.GroupBox(c.RGSecurity);
    security->setTitle(QString());
    security->setFlat(true);
    security->layout()->setContentsMargins(2, 0, 2, 0);
    // Four lines where the letter beside has three: a pixel less between them keeps the designed height.
    server_layout->setVerticalSpacing(1);
    const int security_row = server_layout->rowCount();
    server_layout->addWidget(binder.CaptionStrip(c.RGSecurity, c.RGSecurity.Caption, security), security_row, 0);
    server_layout->addWidget(security, security_row, 1, 1, 3);
    QGroupBox* letter = Group(group_frames::kLetter);
    AddEdits(binder, letter, {&c.EFromName, &c.EFromAddress, &c.ESubject});
    // The server's group holds two edits a line: it takes the larger share of the width.
    top->addWidget(server, 3);
    top->addWidget(letter, 2);
    layout->addLayout(top);

    auto* bottom = new QHBoxLayout;
    QGroupBox* content = Group(group_frames::kContent);
    auto* content_layout = new QVBoxLayout(content);
    content_layout->setContentsMargins(3, 1, 3, 2);
    content_layout->addWidget(binder.ListWidget(c.ChLBCont));

    QGroupBox* columns = Group(group_frames::kColumns);
    auto* columns_layout = new QHBoxLayout(columns);
    columns_layout->setContentsMargins(3, 1, 3, 2);
    columns_layout->setSpacing(3);
    columns_layout->addWidget(StripAndList(binder, c.ChLBTable));
    columns_layout->addWidget(StripAndList(binder, c.ChLBHTML));

    QGroupBox* options = Group(group_frames::kOptions);
    auto* options_layout = new QVBoxLayout(options);
    options_layout->setContentsMargins(3, 1, 3, 2);
    options_layout->setSpacing(2);
    QListWidget* autorun = nullptr;
    options_layout->addWidget(StripAndList(binder, c.ChLBRun, &autorun), 1);
    QLineEdit* address = binder.LineEdit(c.ESGToUser);
    address->setParent(autorun->parentWidget());
    address->setFrame(false);
    QPalette palette = address->palette();
    palette.setColor(QPalette::Base, Qt::white);
    address->setPalette(palette);
    (new InsideList(autorun, address))->Place();
    autorun->setMinimumHeight(3 * autorun->sizeHintForRow(0) + address->sizeHint().height() + 8);
    QListWidget* other = nullptr;
    options_layout->addWidget(StripAndList(binder, c.ChLBOther, &other), 1);
    other->setMinimumHeight(2 * other->sizeHintForRow(0) + 6);
    options_layout->addWidget(binder.GroupBox(c.RGkb));

    bottom->addWidget(content, 3);
    bottom->addWidget(columns, 5);
    bottom->addWidget(options, 4);
    layout->addLayout(bottom, 1);
    return page;
}

}  // namespace tarnwell

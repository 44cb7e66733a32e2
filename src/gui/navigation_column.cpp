#include "gui/navigation_column.h"

#include <QEvent>
#include <QFrame>
#include <QIcon>
#include <QKeySequence>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>

#include "gui/control_binder.h"
#include "gui/qt_text.h"

namespace tarnwell {
namespace {

constexpr int kColumnWidth = 83;
constexpr int kButtonSize = 75;
constexpr int kStripHeight = 400;
constexpr int kScrollStep = 25;

}  // namespace

NavigationColumn::NavigationColumn(ControlBinder& binder, QWidget* parent)
    : QWidget(parent), scroller_(new QScrollArea), up_(new QToolButton), down_(new QToolButton) {
    ControlBinder::NamePart(this, window_parts::kNavigationColumn);
    setFixedWidth(kColumnWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* strip = new QWidget;
    strip->setObjectName(QStringLiteral("NavigationStrip"));
    strip->setFixedSize(kColumnWidth, kStripHeight);
    auto* strip_layout = new QVBoxLayout(strip);
    strip_layout->setContentsMargins(4, 4, 4, 4);
    strip_layout->setSpacing(2);
    FormControls& c = binder.Controls();
    // The pictures of the buttons, in column order.
    const std::array<const char*, 5> pictures = {":/images/viewer.png", ":/images/statistics.png",
                                                 ":/images/limits.png", ":/images/settings.png", ":/images/about.png"};
    const std::array<Button*, 5> buttons = c.NavigationButtons();
    bool first = true;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        Button& control = *buttons[i];
        if (!first) {
            auto* bevel = new QFrame;
            bevel->setFrameShape(QFrame::HLine);
            bevel->setFrameShadow(QFrame::Sunken);
            strip_layout->addWidget(bevel);
        }
        first = false;
        auto* button = new QToolButton;
        binder.Bind(button, control);
        button->setText(ToQString(control.Caption));
        button->setIcon(QIcon(QString::fromLatin1(pictures[i])));
        button->setIconSize(QSize(40, 40));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setFixedSize(kButtonSize, kButtonSize);
        button->setFocusPolicy(Qt::StrongFocus);
        QObject::connect(button, &QToolButton::clicked, button,
                         [&binder, &control] { binder.Act([&] { control.Click(); }); });
        strip_layout->addWidget(button, 0, Qt::AlignHCenter);
    }
    strip_layout->addStretch(1);

    ControlBinder::NamePart(scroller_, window_parts::kNavigationScroller);
    scroller_->setWidget(strip);
    scroller_->setFrameShape(QFrame::NoFrame);
    scroller_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller_->viewport()->installEventFilter(this);

    for (QToolButton* arrow : {up_, down_}) {
        arrow->setArrowType(arrow == up_ ? Qt::UpArrow : Qt::DownArrow);
        arrow->setObjectName(arrow == up_ ? QStringLiteral("NavigationUp") : QStringLiteral("NavigationDown"));
        arrow->setAccessibleName(arrow == up_ ? QStringLiteral("Вверх") : QStringLiteral("Вниз"));
        arrow->setAutoRaise(true);
        arrow->setAutoRepeat(true);
        arrow->setFixedSize(kColumnWidth, 14);
        const int step = arrow == up_ ? -kScrollStep : kScrollStep;
        QObject::connect(arrow, &QToolButton::clicked, this, [this, step] {
            QScrollBar* bar = scroller_->verticalScrollBar();
            bar->setValue(bar->value() + step);
            UpdateArrows();
        });
    }
    // Keyboard focus moving to a button out of sight brings it into view.
    QObject::connect(scroller_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { UpdateArrows(); });
    QObject::connect(scroller_->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] { UpdateArrows(); });
    layout->addWidget(up_);
    layout->addWidget(scroller_, 1);
    layout->addWidget(down_);

    auto* gauge = new QProgressBar;
    binder.Bind(gauge, c.CG1);
    gauge->setFixedHeight(15);
    gauge->setTextVisible(false);
    QPalette palette = gauge->palette();
    palette.setColor(QPalette::Highlight, QColor(0, 128, 255));
    gauge->setPalette(palette);
    // The gauge keeps its place while hidden: showing it moves nothing, so it can be drawn at once.
    QSizePolicy policy = gauge->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    gauge->setSizePolicy(policy);
    binder.OnRefresh(
        [gauge, &c] {
            gauge->setRange(c.CG1.Min(), c.CG1.Max());
            gauge->setValue(c.CG1.Position());
        },
        &c.CG1);
    layout->addWidget(gauge);
    // Under the gauge while a save runs: stops it. Escape clicks it too, only while it is shown, so that the
    // key means nothing new at any other time.
    QPushButton* cancel = binder.PushButton(c.SBCancel);
    cancel->setVisible(c.SBCancel.Visible);
    layout->addWidget(cancel);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setEnabled(false);
    QObject::connect(escape, &QShortcut::activated, cancel, [&binder, &c] { binder.Act([&] { c.SBCancel.Click(); }); });
    binder.OnRefresh([escape, &c] { escape->setEnabled(c.SBCancel.Visible); }, &c.SBCancel);
    UpdateArrows();
}

bool NavigationColumn::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) UpdateArrows();
    return QWidget::eventFilter(watched, event);
}

void NavigationColumn::UpdateArrows() {
    const QScrollBar* bar = scroller_->verticalScrollBar();
    const bool low = bar->maximum() > 0;
    up_->setVisible(low);
    down_->setVisible(low);
    up_->setEnabled(bar->value() > bar->minimum());
    down_->setEnabled(bar->value() < bar->maximum());
}

}  // namespace tarnwell

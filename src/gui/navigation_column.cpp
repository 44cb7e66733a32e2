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
#include <algorithm>
#include <array>
#include <functional>

#include "form/accelerators.h"
#include "form/form_pages.h"
#include "gui/control_binder.h"
#include "gui/qt_text.h"

namespace tarnwell {
namespace {

constexpr int kButtonSize = 75;    // as designed; wider or higher where the font needs it
constexpr int kColumnMargin = 4;   // between the column's edge and the buttons
constexpr int kStripHeight = 400;  // as designed
constexpr int kScrollStep = 25;
// The space a flat button with its picture above its caption takes around the caption.
constexpr int kCaptionMargin = 10;
constexpr int kIconSize = 40;

// The page a navigation button shows: the one whose title it carries.
int PageOfButton(const Button& button) {
    for (const FormPage& page : kPages) {
        if (page.Title == button.Caption) return page.Index;
    }
    return -1;
}

}  // namespace

NavigationColumn::NavigationColumn(ControlBinder& binder, QWidget* parent)
    : QWidget(parent), binder_(binder), scroller_(new QScrollArea), up_(new QToolButton), down_(new QToolButton) {
    ControlBinder::NamePart(this, window_parts::kNavigationColumn);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    strip_ = new QWidget;
    strip_->setObjectName(QStringLiteral("NavigationStrip"));
    auto* strip_layout = new QVBoxLayout(strip_);
    strip_layout->setContentsMargins(kColumnMargin, kColumnMargin, kColumnMargin, kColumnMargin);
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
        // Alt and the underlined letter presses it, as Ctrl and its number does.
        button->setText(ToQString(AcceleratedCaption(control, control.Caption)));
        button->setIcon(QIcon(QString::fromLatin1(pictures[i])));
        button->setIconSize(QSize(kIconSize, kIconSize));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::StrongFocus);
        QObject::connect(button, &QToolButton::clicked, button,
                         [&binder, &control] { binder.Act([&] { control.Click(); }); });
        strip_layout->addWidget(button, 0, Qt::AlignHCenter);
        buttons_.push_back(button);
        pages_.push_back(PageOfButton(control));
    }
    binder.OnRefresh([this, &c] {
        const int active = c.PC1.ActivePageIndex();
        for (std::size_t i = 0; i < buttons_.size(); ++i) {
            const bool shown = pages_[i] == active;
            // The button of the page shown is drawn pressed (and says so to a screen reader): the column
            // tells which page is active. A click lifts it; the refresh after the click sets it again.
            if (buttons_[i]->isDown() != shown) buttons_[i]->setDown(shown);
        }
    });
    // The page keys: Ctrl+Tab and Ctrl+Shift+Tab press the next and the previous button, Ctrl+1 ... the
    // button of that number from the top, each as a click does.
    const auto page_key = [this](const QKeySequence& keys, std::function<void()> press) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, this, std::move(press));
    };
    page_key(QKeySequence(Qt::CTRL | Qt::Key_Tab), [this] { PressNext(1); });
    page_key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), [this] { PressNext(-1); });
    page_key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), [this] { PressNext(-1); });
    for (int i = 0; i < static_cast<int>(buttons_.size()) && i < 9; ++i) {
        page_key(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + i)), [this, i] { Press(i); });
    }
    strip_layout->addStretch(1);

    ControlBinder::NamePart(scroller_, window_parts::kNavigationScroller);
    scroller_->setWidget(strip_);
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
        arrow->setFixedHeight(14);
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
    FitToFont();
    UpdateArrows();
}

void NavigationColumn::FitToFont() {
    const QFontMetrics metrics(font());
    int width = kButtonSize;
    for (QToolButton* button : buttons_) {
        const QString caption = QString(button->text()).remove(QLatin1Char('&'));
        width = std::max(width, metrics.horizontalAdvance(caption) + kCaptionMargin);
    }
    const int height = std::max(kButtonSize, kIconSize + metrics.height() + 2 * kCaptionMargin);
    for (QToolButton* button : buttons_) button->setFixedSize(width, height);
    const int column = width + 2 * kColumnMargin;
    const int bevels = static_cast<int>(buttons_.size()) - 1;
    const int strip = std::max(kStripHeight, static_cast<int>(buttons_.size()) * (height + 2) + bevels * 4 + 3 * kColumnMargin);
    strip_->setFixedSize(column, strip);
    setFixedWidth(column);
    up_->setFixedWidth(column);
    down_->setFixedWidth(column);
}

void NavigationColumn::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) FitToFont();
    QWidget::changeEvent(event);
}

void NavigationColumn::Press(int position) {
    if (position < 0 || position >= static_cast<int>(buttons_.size())) return;
    QToolButton* button = buttons_[static_cast<std::size_t>(position)];
    // A button out of sight in a low window is scrolled into view first, as if the user had found it.
    scroller_->ensureWidgetVisible(button, 0, 0);
    // As a click: nothing while the button is disabled (a job runs).
    button->click();
}

void NavigationColumn::PressNext(int step) {
    const int count = static_cast<int>(buttons_.size());
    if (count == 0) return;
    const int active = binder_.Controls().PC1.ActivePageIndex();
    int position = -1;
    for (int i = 0; i < count; ++i) {
        if (pages_[static_cast<std::size_t>(i)] == active) position = i;
    }
    // From no active page, forwards starts at the first button and backwards at the last.
    if (position < 0) position = step > 0 ? -1 : count;
    Press(((position + step) % count + count) % count);
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

#include "gui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QStackedWidget>
#include <QStatusBar>
#include <array>

#include "gui/elided_label.h"
#include "gui/find_bar_widget.h"
#include "gui/navigation_column.h"
#include "gui/pages.h"
#include "gui/qt_host.h"
#include "gui/qt_text.h"

namespace tarnwell {
namespace {

// The outer size of the window as designed, less what a usual frame and caption take.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 27;

const QColor kBarColour(201, 207, 220);

}  // namespace

MainWindow::MainWindow(TFSend& form, QtHost& host) : binder_(form, host) {
    FormControls& c = binder_.Controls();
    ControlBinder::NamePart(this, window_parts::kMainWindow);
    setWindowTitle(ToQString(c.Caption));
    setWindowIcon(QIcon(QStringLiteral(":/images/tarnwell.png")));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    setFont(font);

    auto* central = new QWidget;
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    pages_ = new QStackedWidget;
    binder_.Bind(pages_, c.PC1);
    // In page-index order.
    std::array<QWidget* (*)(ControlBinder&), kPageCount> makers{};
    makers[kViewerPage] = MakeViewerPage;
    makers[kSettingsPage] = MakeSettingsPage;
    makers[kStatPage] = MakeStatisticsPage;
    makers[kLimitsPage] = MakeLimitsPage;
    makers[kAboutPage] = MakeAboutPage;
    for (const FormPage& page : kPages) {
        QWidget* widget = makers[page.Index](binder_);
        widget->setObjectName(ToQString(page.Name));
        widget->setAccessibleName(ToQString(page.Title));
        pages_->addWidget(widget);
    }
    binder_.OnRefresh([this, &c] {
        const int index = c.PC1.ActivePageIndex();
        if (index >= 0 && index < pages_->count() && pages_->currentIndex() != index) pages_->setCurrentIndex(index);
    });
    layout->addWidget(pages_, 1);
    // Made after the pages: it stands above their tables.
    new FindBarWidget(binder_, this);
    navigation_ = new NavigationColumn(binder_);
    layout->addWidget(navigation_);
    setCentralWidget(central);

    QStatusBar* bar = statusBar();
    binder_.Bind(bar, c.StatBar);
    bar->setFixedHeight(20);
    bar->setAutoFillBackground(true);
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Window, kBarColour);
    palette.setColor(QPalette::WindowText, Qt::black);
    bar->setPalette(palette);
    bar->setAccessibleName(QStringLiteral("Строка состояния"));
    status_text_ = new ElidedLabel;
    status_text_->setObjectName(QStringLiteral("StatBarText"));
    bar->addWidget(status_text_, 1);
    // The outcome area at the right: what the last job did and where. A hint never takes its place.
    outcome_ = new QLabel;
    outcome_->setObjectName(QStringLiteral("StatBarOutcome"));
    outcome_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    outcome_->setContentsMargins(4, 0, 4, 0);
    outcome_->hide();
    bar->addPermanentWidget(outcome_);
    binder_.OnRefresh(
        [this, &c] {
            const QString text = ToQString(c.StatBar.Text);
            if (status_text_->text() != text) {
                status_text_->setText(text);
                status_text_->setAccessibleName(text);
                // The bar itself carries the hint too, so that a screen reader on the bar reads what it says.
                statusBar()->setAccessibleDescription(text);
            }
            const QString outcome = ToQString(c.StatBar.Outcome);
            if (outcome_->text() != outcome) {
                outcome_->setText(outcome);
                outcome_->setAccessibleName(outcome);
                outcome_->setToolTip(outcome);
                outcome_->setVisible(!outcome.isEmpty());
            }
        },
        &c.StatBar);

    move(c.Left, c.Top);
    // As designed, or as large as the pages need in the font drawn, whichever is larger: no caption is
    // cut at the opening size.
    resize(QSize(c.Width - kFrameWidth, c.Height - kFrameHeight).expandedTo(minimumSizeHint()));
    qApp->installEventFilter(this);
    Refresh();
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    if (wait_cursor_) QApplication::restoreOverrideCursor();
}

void MainWindow::Refresh() {
    binder_.Refresh();
    if (wait_cursor_ && !binder_.Form().Busy()) {
        QApplication::restoreOverrideCursor();
        wait_cursor_ = false;
    }
}

void MainWindow::ShowWaitCursor() {
    if (wait_cursor_ || !binder_.Form().Busy()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    wait_cursor_ = true;
}

void MainWindow::RepaintControl(const Control& control) {
    ShowWaitCursor();
    binder_.RepaintNow(control);
}

// An edit still open in a grid is written first, so that the question about unsaved limits sees it.
void MainWindow::closeEvent(QCloseEvent* event) {
    bool may_close = false;
    binder_.Act([this, &may_close] { may_close = binder_.Form().UserClose(); });
    if (may_close) {
        event->accept();
    } else {
        event->ignore();
    }
}

// The hint under the mouse: the widget the mouse has entered, or after it has left one, the widget it is
// over now.
// Keyboard focus moving to a control shows its hint the same way.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this && !binder_.Refreshing()) ShowHintAt(widget);
    }
    if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
        QWidget* widget =
            event->type() == QEvent::Enter ? qobject_cast<QWidget*>(watched) : QApplication::widgetAt(QCursor::pos());
        if (widget && widget->window() == this) ShowHintAt(widget);
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::ShowHintAt(QWidget* widget) {
    const Control* hinted = nullptr;
    for (QWidget* at = widget; at && !hinted; at = at->parentWidget()) {
        const Control* control = binder_.ControlOf(at);
        if (control && !control->Hint.empty()) hinted = control;
        if (at == this) break;
    }
    StatusBar& bar = binder_.Controls().StatBar;
    bar.ShowHintOf(hinted);
    binder_.RepaintNow(bar);
}

}  // namespace tarnwell

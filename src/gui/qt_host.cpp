#include "gui/qt_host.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>
#include <QUrl>

#include "app/error_box_text.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"

namespace tarnwell {
namespace {

// "description|patterns|description|patterns" as Qt's name filters: "description (pattern pattern)". The
// description is shown alone (the dialog hides the pattern part), as the program wrote it.
struct NameFilters {
    explicit NameFilters(const std::string& filter) {
        const QStringList parts = ToQString(filter).split(QLatin1Char('|'));
        for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
            QString patterns = parts[i + 1];
            patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
            descriptions << parts[i];
            filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
        }
    }
    // The file type (from 1) of a filter as the dialog reports it, whole or as shown; 0 for none.
    int Type(const QString& filter) const {
        qsizetype index = filters.indexOf(filter);
        if (index < 0) index = descriptions.indexOf(filter);
        return static_cast<int>(index) + 1;
    }

    QStringList filters;
    QStringList descriptions;
};

}  // namespace

QtHost::QtHost() : text_width_(std::make_unique<QtTextWidth>(GridFont())) {
    close_timer_.setTimerType(Qt::CoarseTimer);
    QObject::connect(&close_timer_, &QTimer::timeout, [this] {
        // A copy: the tick may stop the timer and drop the function it runs.
        auto tick = close_tick_;
        if (tick) tick();
    });
}

QtHost::~QtHost() = default;

QFont QtHost::GridFont() {
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void QtHost::ShowBox(std::string_view text, bool error) {
    // The box lets the user's events through: the window shows the running handler's locks first.
    if (window_) window_->Refresh();
    // The wait cursor of a running handler is not the box's: the user has to answer it.
    const bool wait_cursor = QApplication::overrideCursor() != nullptr;
    if (wait_cursor) QApplication::restoreOverrideCursor();
    QMessageBox box(error ? QMessageBox::Critical : QMessageBox::NoIcon, QStringLiteral("Tarnwell"), ToQString(text),
                    QMessageBox::Ok);
    box.setObjectName(error ? QStringLiteral("ErrorBox") : QStringLiteral("MessageBox"));
    box.exec();
    if (wait_cursor) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtHost::ShowMessageBox(std::string_view text) {
    ShowBox(text, false);
}

void QtHost::ShowErrorBox(std::string_view text) {
    ShowBox(ErrorBoxText(text), true);
}

void QtHost::ProcessMessages() {
    if (window_) {
        window_->Refresh();
        window_->ShowWaitCursor();
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtHost::PostQuit() {
    quit_queued_ = true;
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void QtHost::StartCloseTimer(std::chrono::milliseconds interval, std::function<void()> tick) {
    close_tick_ = std::move(tick);
    close_timer_.start(static_cast<int>(interval.count()));
}

void QtHost::StopCloseTimer() {
    close_timer_.stop();
    close_tick_ = nullptr;
}

void QtHost::Sleep(std::chrono::milliseconds duration) {
    QThread::msleep(static_cast<unsigned long>(duration.count()));
}

void QtHost::RepaintNow(const Control& control) {
    if (window_) window_->RepaintControl(control);
}

void QtHost::ControlsChanged() {
    if (window_) window_->Refresh();
}

bool QtHost::ExecuteSaveDialog(SaveDialog& dialog) {
    QFileDialog box(window_, ToQString(dialog.Title));
    box.setObjectName(QStringLiteral("SaveDialog"));
    // Qt's own dialog: the same on every desktop, and one the type change can be followed in.
    box.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails |
                   QFileDialog::DontConfirmOverwrite);
    box.setAcceptMode(QFileDialog::AcceptSave);
    box.setFileMode(QFileDialog::AnyFile);
    box.setSizeGripEnabled(dialog.Resizable);
    const NameFilters types(dialog.Filter);
    const QStringList& filters = types.filters;
    box.setNameFilters(filters);
    if (dialog.FilterIndex >= 1 && dialog.FilterIndex <= filters.size()) {
        box.selectNameFilter(filters[dialog.FilterIndex - 1]);
    }
    box.setDefaultSuffix(ToQString(dialog.DefaultExt));
    if (!dialog.FileName.empty()) box.selectFile(PathToQString(dialog.FileName));
    QObject::connect(&box, &QFileDialog::filterSelected, &box, [&](const QString& filter) {
        const int type = types.Type(filter);
        if (type < 1) return;
        if (dialog.OnTypeChange) dialog.OnTypeChange(type);
        box.setDefaultSuffix(ToQString(dialog.DefaultExt));
    });

    if (window_) window_->Refresh();
    const bool wait_cursor = QApplication::overrideCursor() != nullptr;
    if (wait_cursor) QApplication::restoreOverrideCursor();
    const bool confirmed = box.exec() == QDialog::Accepted && !box.selectedFiles().isEmpty();
    if (wait_cursor) QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!confirmed) return false;
    dialog.FileName = PathFromQString(box.selectedFiles().constFirst());
    const int type = types.Type(box.selectedNameFilter());
    if (type >= 1) dialog.FilterIndex = type;
    return true;
}

void QtHost::ShellOpen(std::string_view target) {
    QDesktopServices::openUrl(QUrl(ToQString(target), QUrl::TolerantMode));
}

void QtHost::SetClipboardText(std::string_view text) {
    QGuiApplication::clipboard()->setText(ToQString(text));
}

}  // namespace tarnwell

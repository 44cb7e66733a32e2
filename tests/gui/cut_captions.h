#pragma once

// What the page shown cuts or hides of its captions: buttons, labels, group titles, list items whole and
// inside the window, edits showing the start of their text. Used at the designed size and on a scaled
// screen alike.

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>

namespace tarnwell::gui_testing {

namespace cut_detail {

inline QString Caption(QString text) {
    // An accelerator's marker is not drawn.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

inline int Advance(const QWidget* widget, const QString& text) {
    return widget->fontMetrics().horizontalAdvance(Caption(text));
}

// Inside a scrolling area (a list's rows, the navigation strip, a table's editor) a widget may lie out of
// view by design.
inline bool InScrollArea(const QWidget* widget, const QWidget* window) {
    for (const QWidget* at = widget->parentWidget(); at && at != window; at = at->parentWidget()) {
        if (qobject_cast<const QAbstractScrollArea*>(at)) return true;
    }
    return false;
}

}  // namespace cut_detail

// One line per caption that is cut ("<objectName>: <what>"); empty when every caption shows whole.
inline QStringList CutCaptions(QWidget* window) {
    using namespace cut_detail;
    QStringList cut;
    const QRect inside = window->rect();
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisible()) continue;
        const QString name = widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                                             : widget->objectName();
        auto note = [&](const QString& what, const QString& text) { cut << name + QStringLiteral(": ") + what + QStringLiteral(" \"") + text + QLatin1Char('"'); };
        const bool scrolled = InScrollArea(widget, window);
        bool shows_text = false;
        if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
            shows_text = true;
            if (radio->width() < radio->sizeHint().width()) note(QStringLiteral("radio cut"), radio->text());
        } else if (auto* tool = qobject_cast<QToolButton*>(widget)) {
            shows_text = !tool->text().isEmpty() && tool->toolButtonStyle() != Qt::ToolButtonIconOnly;
            if (shows_text && tool->width() < Advance(tool, tool->text()) + 4) note(QStringLiteral("button cut"), tool->text());
        } else if (auto* push = qobject_cast<QPushButton*>(widget)) {
            shows_text = !push->text().isEmpty();
            const int margin = push->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, push);
            if (shows_text && push->width() < Advance(push, push->text()) + margin) note(QStringLiteral("button cut"), push->text());
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            shows_text = !group->title().isEmpty();
            if (shows_text && group->width() < Advance(group, group->title()) + 8) note(QStringLiteral("title cut"), group->title());
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            // The status bar's hint area elides by design (it gives way to the outcome beside it).
            shows_text = !label->text().isEmpty() && !label->wordWrap() && label->objectName() != QStringLiteral("StatBarText");
            if (shows_text && label->width() < label->sizeHint().width()) note(QStringLiteral("label cut"), label->text());
        } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
            // Check lists' items are captions; the file list holds data (file names) and may elide.
            if (list->count() > 0 && list->objectName() != QStringLiteral("FLB1")) {
                shows_text = true;
                const int needed = list->sizeHintForColumn(0);
                if (list->viewport()->width() < needed) note(QStringLiteral("items cut"), list->item(0)->text());
                if (list->horizontalScrollBar()->isVisible()) note(QStringLiteral("items under a scroll bar"), list->item(0)->text());
            }
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            if (!edit->hasFocus() && edit->cursorPosition() != 0) note(QStringLiteral("edit shows its end"), edit->text());
        }
        if (shows_text && !scrolled) {
            const QRect at(widget->mapTo(window, QPoint(0, 0)), widget->size());
            if (!inside.contains(at)) note(QStringLiteral("outside the window"), widget->accessibleName());
        }
    }
    return cut;
}

}  // namespace tarnwell::gui_testing

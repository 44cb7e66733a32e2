#pragma once

// The user's input as a widget receives it, for what QtTest's own helpers do not cover.

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>

namespace tarnwell::gui_testing {

// A double click as the widget receives it: press, release, double click, release. (QtTest's own goes
// through the platform's double-click detection, which the offscreen platform's clock does not match.)
inline void DoubleClick(QWidget* widget, QPoint at) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    const QPointF global = widget->mapToGlobal(QPointF(at));
    QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(at), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &twice);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

// Types a text into the widget with the keyboard, one character at a time (any characters, not only
// the ASCII ones QtTest's keyClicks takes).
inline void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

}  // namespace tarnwell::gui_testing

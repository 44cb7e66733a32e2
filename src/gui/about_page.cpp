// The about page: the memo at the left, black with lime centred lines, and the picture filling the rest,
// with the two links along its bottom edge.

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>
#include <vector>

#include "gui/control_binder.h"
#include "gui/pages.h"
#include "gui/qt_text.h"

namespace tarnwell {
namespace {

class LoadOnShow final : public QObject {
public:
    explicit LoadOnShow(QLabel* picture) : QObject(picture), picture_(picture) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show && picture_->pixmap().isNull()) {
            picture_->setPixmap(QPixmap(QStringLiteral(":/images/about_picture.png")));
        }
        return false;
    }

private:
    QLabel* picture_;
};

// The two links stand side by side along the picture's bottom edge: when the window is too narrow for
// both in the window's font, their font shrinks until they fit, down to 6 points.
class FitLinks final : public QObject {
public:
    FitLinks(QWidget* picture, std::vector<QPushButton*> links)
        : QObject(picture), picture_(picture), links_(std::move(links)) {
        picture->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show) Fit();
        return false;
    }

private:
    void Fit() {
        QFont font = picture_->font();
        font.setBold(true);
        const int room = picture_->width() - 40;  // margins, the space between, the buttons' padding
        auto needed = [&](const QFont& f) {
            int width = 0;
            for (QPushButton* link : links_) width += QFontMetrics(f).horizontalAdvance(link->text());
            return width;
        };
        while (font.pointSizeF() > 6 && needed(font) > room) font.setPointSizeF(font.pointSizeF() - 0.5);
        for (QPushButton* link : links_) link->setFont(font);
    }

    QWidget* picture_;
    std::vector<QPushButton*> links_;
};

}  // namespace

QWidget* MakeAboutPage(ControlBinder& binder) {
    FormControls& c = binder.Controls();
    auto* page = new QWidget;
    page->setAutoFillBackground(true);
    QPalette black = page->palette();
    black.setColor(QPalette::Window, Qt::black);
    page->setPalette(black);
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* memo = new QTextEdit;
    binder.Bind(memo, c.Memo1);
    memo->setReadOnly(true);
    memo->setFrameShape(QFrame::NoFrame);
    memo->setFixedWidth(177);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setLineWrapMode(QTextEdit::NoWrap);
    QPalette colours = memo->palette();
    colours.setColor(QPalette::Base, Qt::black);
    colours.setColor(QPalette::Text, QColor(0, 255, 0));
    memo->setPalette(colours);
    binder.OnRefresh(
        [memo, &c] {
            QStringList lines;
            for (const std::string& line : c.Memo1.Lines) lines << ToQString(line);
            const QString text = lines.join(QLatin1Char('\n'));
            if (memo->toPlainText() == text) return;
            // The lines are the memo's lines: the font shrinks until the widest fits the memo's width.
            QFont font = memo->font();
            const int room = memo->width() - 2 * static_cast<int>(memo->document()->documentMargin()) - 2;
            auto widest = [&lines](const QFont& f) {
                int width = 0;
                for (const QString& line : lines) width = std::max(width, QFontMetrics(f).horizontalAdvance(line));
                return width;
            };
            while (font.pointSizeF() > 6 && widest(font) > room) font.setPointSizeF(font.pointSizeF() - 0.5);
            memo->setFont(font);
            memo->setPlainText(text);
            QTextCursor all(memo->document());
            all.select(QTextCursor::Document);
            QTextBlockFormat centred;
            centred.setAlignment(Qt::AlignHCenter);
            all.mergeBlockFormat(centred);
        },
        &c.Memo1);
    layout->addWidget(memo);

    auto* picture = new QLabel;
    ControlBinder::NamePart(picture, window_parts::kPicture);
    // The picture is read when the page is first shown: the start of the window does not wait for it.
    picture->installEventFilter(new LoadOnShow(picture));
    picture->setScaledContents(true);
    picture->setMinimumSize(1, 1);
    picture->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    auto* over = new QVBoxLayout(picture);
    over->setContentsMargins(8, 0, 8, 4);
    over->addStretch(1);
    auto* links = new QHBoxLayout;
    auto link = [&](Button& button) {
        QPushButton* widget = binder.PushButton(button);
        widget->setCursor(Qt::PointingHandCursor);
        widget->setFlat(true);
        widget->setStyleSheet(
            QStringLiteral("QPushButton { border: none; background: transparent; color: "
                           "rgb(135, 206, 235); font-weight: bold; padding: 1px; }"
                           "QPushButton:focus { text-decoration: underline; }"));
        links->addWidget(widget);
        return widget;
    };
    QPushButton* site = link(c.STtoSite);
    links->addStretch(1);
    QPushButton* mail = link(c.StaticText7);
    new FitLinks(picture, {site, mail});
    over->addLayout(links);
    layout->addWidget(picture, 1);
    return page;
}

}  // namespace tarnwell

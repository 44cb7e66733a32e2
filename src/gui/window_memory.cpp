#include "gui/window_memory.h"

#include <QHeaderView>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QSplitter>
#include <QTranslator>
#include <exception>

#include "form/widget_names.h"
#include "gui/grid_view.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "settings/window_state.h"

namespace tarnwell {
namespace {

// The splitters in the order of window.ini's "Splitters".
QList<QSplitter*> Splitters(const MainWindow& window) {
    QList<QSplitter*> splitters;
    for (const WindowPart* part : {&window_parts::kColumnSplitter, &window_parts::kTreeSplitter}) {
        splitters << window.findChild<QSplitter*>(ToQString(part->Name));
    }
    return splitters;
}

GridView* StatisticsGrid(const MainWindow& window) {
    return window.findChild<GridView*>(QStringLiteral("ASGRead"));
}

}  // namespace

void RestoreWindowState(MainWindow& window, const std::string& folder) {
    const WindowState state = ReadWindowState(folder);
    if (state.geometry) {
        // Qt's coordinates are already independent of the dpi; the screen's work area keeps it reachable.
        const QRect area = window.screen()->availableGeometry();
        const WindowRect kept = KeepOnScreen(*state.geometry, {area.x(), area.y(), area.width(), area.height()});
        window.resize(kept.width, kept.height);
        window.move(kept.left, kept.top);
    }
    if (state.maximized) window.setWindowState(window.windowState() | Qt::WindowMaximized);
    const QList<QSplitter*> splitters = Splitters(window);
    for (qsizetype i = 0; i < splitters.size() && i < static_cast<qsizetype>(state.splitters.size()); ++i) {
        QSplitter* splitter = splitters[i];
        if (!splitter || splitter->count() != 2) continue;
        const QList<int> sizes = splitter->sizes();
        const int total = sizes.value(0) + sizes.value(1);
        const int first = std::min(state.splitters[i], total);
        splitter->setSizes({first, total - first});
    }
    GridView* grid = StatisticsGrid(window);
    if (grid && state.sort_column >= 0 && state.sort_column < grid->model()->columnCount()) {
        grid->sortByColumn(state.sort_column, state.sort_descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    }
}

void KeepWindowState(const MainWindow& window, const std::string& folder) {
    WindowState state;
    const QRect normal = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    state.geometry = WindowRect{normal.x(), normal.y(), normal.width(), normal.height()};
    state.maximized = window.isMaximized();
    for (QSplitter* splitter : Splitters(window)) {
        if (splitter && splitter->count() == 2) state.splitters.push_back(splitter->sizes().value(0));
    }
    if (GridView* grid = StatisticsGrid(window)) {
        state.sort_column = grid->horizontalHeader()->sortIndicatorSection();
        state.sort_descending = grid->horizontalHeader()->sortIndicatorOrder() == Qt::DescendingOrder;
        if (state.sort_column >= grid->model()->columnCount()) state.sort_column = -1;
    }
    try {
        SaveWindowState(state, folder);
    } catch (const std::exception&) {
        // Only the window's memory is lost; the program's work and its exit status stay as they were.
    }
}

bool LoadRussianQtTexts(QTranslator& translator) {
    return translator.load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

}  // namespace tarnwell

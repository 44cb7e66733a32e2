// The viewer's grid in the window over a gigabyte log: what the view costs beyond the load, and how long
// a jump to the end and a page of scrolling take.
//
//   bench_window_viewer MAKE_PROXY_LOG WORK_FOLDER [SIZE]   (SIZE: 1G unless given, as make_proxy_log takes it)
//
// The window runs in this process (the X display when DISPLAY is set, else Qt's offscreen platform),
// shows the viewer page, and then:
// - load: ToSG of the log into SG1, as the double click runs it, without the window looking at the grid
//   yet; the growth of the resident memory is the load's;
// - view: the window reads the grid again (the model's reset, the headers) and paints it; the further
//   growth of the resident memory is the view's (target: under 5% of the load's);
// - jumps: Ctrl+End and Ctrl+Home on the grid, alternately, each to its painted frame;
// - pages: Page Down from the middle of the log, each to its painted frame (target: both under 16 ms).

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/tf_send.h"
#include "common/figure.h"
#include "gui/main_window.h"
#include "gui/qt_host.h"
#include "viewer/to_sg.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kFrameMs = 16;
constexpr double kViewShare = 0.05;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A line of /proc/self/status in megabytes (VmRSS, VmHWM).
double StatusMb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::strtod(line.c_str() + std::strlen(field) + 1, nullptr) / 1024.0;
    }
    return 0;
}

struct Spread {
    double median, worst;
};

Spread Of(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.back()};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_window_viewer MAKE_PROXY_LOG WORK_FOLDER [SIZE]\n");
        return 2;
    }
    const std::string size = argc > 3 ? argv[3] : "1G";
    const fs::path folder = fs::absolute(argv[2]) / "window_viewer";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path log = folder / "proxy.log";
    const std::string generate = std::string(argv[1]) + " '" + log.string() + "' " + size;
    if (std::system(generate.c_str()) != 0) return 1;
    {  // into the page cache, as in the loader's benchmark
        std::ifstream in(log, std::ios::binary);
        std::vector<char> chunk(1 << 20);
        while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()))) {
        }
    }
    if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);

    int qt_argc = 1;
    QApplication application(qt_argc, argv);
    tarnwell::QtHost host;
    tarnwell::TFSend form(host,
                          tarnwell::FSendSetup{tarnwell::UserDatabaseLocation::RegFile((folder / "none.reg").string()),
                                                folder.string(), nullptr, nullptr});
    tarnwell::MainWindow window(form, host);
    host.Attach(&window);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) std::fprintf(stderr, "bench_window_viewer: the window was not shown\n");
    window.findChild<QToolButton*>(QStringLiteral("SpeedButton3"))->click();
    auto* grid = window.findChild<QAbstractItemView*>(QStringLiteral("SG1"));
    QTest::qWait(50);
    const double rss_before = StatusMb("VmRSS:");

    tarnwell::NoLoadProgress progress;
    Clock::time_point start = Clock::now();
    tarnwell::ToSG(log.string(), form.Controls().SG1, progress, host.TextWidth());
    const double load_ms = MsSince(start);
    const double rss_loaded = StatusMb("VmRSS:");

    start = Clock::now();
    window.Refresh();
    grid->viewport()->repaint();
    const double view_ms = MsSince(start);
    QTest::qWait(50);
    const double rss_viewed = StatusMb("VmRSS:");

    grid->setFocus();
    std::vector<double> jumps;
    for (int i = 0; i < 20; ++i) {
        start = Clock::now();
        QTest::keyClick(grid, i % 2 == 0 ? Qt::Key_End : Qt::Key_Home, Qt::ControlModifier);
        grid->viewport()->repaint();
        jumps.push_back(MsSince(start));
    }
    const int rows = grid->model()->rowCount();
    grid->setCurrentIndex(grid->model()->index(rows / 2, 0));
    grid->viewport()->repaint();
    std::vector<double> pages;
    for (int i = 0; i < 50; ++i) {
        start = Clock::now();
        QTest::keyClick(grid, Qt::Key_PageDown);
        grid->viewport()->repaint();
        pages.push_back(MsSince(start));
    }

    const double load_mb = rss_loaded - rss_before;
    const double view_mb = rss_viewed - rss_loaded;
    const Spread jump = Of(jumps), page = Of(pages);
    const double file_mb = static_cast<double>(fs::file_size(log)) / (1024.0 * 1024.0);
    std::printf("platform: %s; log %.0f MB, %d rows\n", std::getenv("DISPLAY") ? "X display" : "offscreen", file_mb,
                rows + 1);
    std::printf("load (ToSG): %.0f ms, resident memory +%.1f MB\n", load_ms, load_mb);
    std::printf(
        "view (model reset, headers, first paint): %.0f ms, resident memory +%.1f MB = %.2f%% of the load "
        "(target under %.0f%%): %s\n",
        view_ms, view_mb, 100 * view_mb / load_mb, 100 * kViewShare,
        view_mb < kViewShare * load_mb ? "met" : "NOT met");
    std::printf("jump to the last or first row, painted: median %.2f ms, worst %.2f ms (target %.0f ms): %s\n",
                jump.median, jump.worst, kFrameMs, jump.worst < kFrameMs ? "met" : "NOT met");
    std::printf("page down, painted: median %.2f ms, worst %.2f ms (target %.0f ms): %s\n", page.median, page.worst,
                kFrameMs, page.worst < kFrameMs ? "met" : "NOT met");
    std::printf("peak resident memory %.1f MB\n", StatusMb("VmHWM:"));
    using tarnwell::bench::PrintFigure;
    using tarnwell::bench::Text;
    using tarnwell::bench::Verdict;
    PrintFigure("the viewer grid over a 1 GB log: memory over the load", Text("%.2f%%", 100 * view_mb / load_mb),
                Text("under %.0f%%", 100 * kViewShare), Verdict(view_mb < kViewShare * load_mb));
    PrintFigure("the viewer grid over a 1 GB log: jump to the end, painted, worst", Text("%.2f ms", jump.worst),
                Text("within %.0f ms", kFrameMs), Verdict(jump.worst < kFrameMs));
    PrintFigure("the viewer grid over a 1 GB log: page down, painted, worst", Text("%.2f ms", page.worst),
                Text("within %.0f ms", kFrameMs), Verdict(page.worst < kFrameMs));
    host.Attach(nullptr);
    fs::remove_all(folder);
    return 0;
}

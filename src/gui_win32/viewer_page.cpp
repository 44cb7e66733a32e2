#include <algorithm>

#include "gui_win32/pages.h"
#include "viewer/file_filters.h"

namespace tarnwell::win32 {

ViewerPage::ViewerPage(Ui& ui, Views& views, HWND parent, FormControls& c, FileBrowser& browser,
                       const ColorScheme& colors)
    : Page(ui, views, parent, kPages[kViewerPage]) {
    drives_ = &Make<BrowserChoiceView>(
        panel_, window_parts::kDriveBox, browser, browser.Drives(), [&browser] { return browser.DriveIndex(); },
        [&browser](int index) { browser.UserSelectDrive(index); });
    tree_ = &Make<FolderTreeView>(panel_, window_parts::kFolderTree, browser);
    files_ = &Make<FileListView>(panel_, window_parts::kFileList, browser);
    std::vector<std::string> filters;
    for (const FileFilter& filter : kFileFilters) filters.emplace_back(filter.Caption);
    filter_ = &Make<BrowserChoiceView>(
        panel_, window_parts::kFileFilter, browser, filters, [&browser] { return browser.FilterIndex(); },
        [&browser](int index) { browser.UserSelectFilter(index); });
    grid_ = &Make<GridView>(panel_, c.SG1, colors, false);
    path_label_ = &Make<StripView>(panel_, c.ECurrentFile, c.ECurrentFile.Label);
    path_ = &Make<EditView>(panel_, c.ECurrentFile);
    save_ = &Make<ButtonView>(panel_, c.SBSave);
    filter_label_ = &Make<StripView>(panel_, c.EFilter, c.EFilter.Label);
    filter_box_ = &Make<EditView>(panel_, c.EFilter);
    column_splitter_ =
        std::make_unique<Splitter>(ui, panel_, window_parts::kColumnSplitter.Name, true, [this](int delta) {
            column_width_ =
                std::clamp(column_width_ + ui_.S().Designed(delta), 40, std::max(40, ui_.S().Designed(width_) - 60));
            Relayout();
        });
    tree_splitter_ = std::make_unique<Splitter>(ui, panel_, window_parts::kTreeSplitter.Name, false, [this](int delta) {
        if (height_ > 0) tree_share_ = std::clamp(tree_share_ + delta * 100 / std::max(1, height_), 15, 85);
        Relayout();
    });
}

SIZE ViewerPage::Needed() const {
    // The column at its designed width, the path's caption and the save button whole beside a short path.
    const int bar = StripWidth(*path_label_, 84) + ui_(120) + ButtonWidth(*save_, 90) + ui_(10);
    return {ui_(column_width_) + ui_(3) + bar, ui_(160)};
}

void ViewerPage::Layout(int width, int height) {
    const int column = std::min(ui_(column_width_), std::max(0, width - ui_(60)));
    const int splitter = ui_(3);
    const int combo = std::max(ui_(22), FontHeight(drives_->Hwnd()) + ui_(8));
    const int line = LineHeight(path_->Hwnd(), 21);
    const int bar = line + ui_(10);

    // The left column: drive box over the tree, a splitter, the file list over its filter.
    const int tree_bottom = std::max(combo * 2, height * tree_share_ / 100);
    Move(drives_->Hwnd(), 0, 0, column, ui_(200));  // a drop-down list: the height is its list's
    Move(tree_->Hwnd(), 0, combo, column, tree_bottom - combo);
    Move(tree_splitter_->Hwnd(), 0, tree_bottom, column, splitter);
    const int files_top = tree_bottom + splitter;
    files_->Place({0, files_top, column, std::max(files_top, height - combo)});
    Move(filter_->Hwnd(), 0, height - combo, column, ui_(120));

    Move(column_splitter_->Hwnd(), column, 0, splitter, height);

    // The filter box over the table, the table, and the bar under it with the path and the save button at
    // the right edge.
    const int left = column + splitter;
    const int right = width;
    const int filter_label = StripWidth(*filter_label_, 50);
    const int top = (bar - line) / 2;
    Move(filter_label_->Hwnd(), left + ui_(2), top, filter_label, line);
    Move(filter_box_->Hwnd(), left + ui_(4) + filter_label, top, right - left - filter_label - ui_(6), line);
    Move(grid_->Hwnd(), left, bar, right - left, height - 2 * bar);
    const int y = height - bar + (bar - line) / 2;
    const int label = StripWidth(*path_label_, 84);
    const int button = ButtonWidth(*save_, 90);
    Move(path_label_->Hwnd(), left + ui_(2), y, label, line);
    Move(path_->Hwnd(), left + ui_(4) + label, y, right - left - label - button - ui_(10), line);
    Move(save_->Hwnd(), right - button - ui_(2), y - ui_(1), button, line + ui_(2));
}

}  // namespace tarnwell::win32

#pragma once

#include <functional>
#include <string>
#include <vector>

#include "form/widget_names.h"
#include "gui_win32/control_view.h"
#include "viewer/file_browser.h"

namespace tarnwell::win32 {

// The viewer's browsing controls are the FileBrowser's; they are enabled as it says (the main window
// locks it while a job runs).
class BrowserView : public ControlView {
public:
    BrowserView(Ui& ui, const WindowPart& part, FileBrowser& browser)
        : ControlView(ui, std::string(part.Name), nullptr), part_(part), browser_(browser) {}

protected:
    bool ModelEnabled() const override { return browser_.Enabled; }
    // The text of a widget that shows none: its name for screen readers.
    std::wstring AccessibleText() const { return Wide(part_.AccessibleName); }
    const WindowPart& part_;
    FileBrowser& browser_;
};

// A drop-down list of the browser's: DriveCB1 (the system's drives) and FilterComboBox1 (the four file-type
// filters of the file list). The browser keeps the selection; a pick is the user's.
class BrowserChoiceView : public BrowserView {
public:
    BrowserChoiceView(Ui& ui, HWND parent, const WindowPart& part, FileBrowser& browser,
                      const std::vector<std::string>& items, std::function<int()> selected,
                      std::function<void(int)> pick);
    void Refresh() override;
    bool Command(HWND widget, WORD code) override;

private:
    std::function<int()> selected_;
    std::function<void(int)> pick_;
};

// FLB1: the files of the folder that match the filter, with the pictures of their types. A double click
// loads the file.
class FileListView : public BrowserView {
public:
    FileListView(Ui& ui, HWND parent, const WindowPart& part, FileBrowser& browser);
    void Refresh() override;
    bool Notify(NMHDR& header, LRESULT& result) override;
    void Place(const RECT& rect);

private:
    int IconOf(const std::string& name);

    std::string shown_folder_;
    std::vector<std::string> shown_items_;
};

// The system's image list of small file pictures, and the picture of a folder in it.
HIMAGELIST SystemSmallImages();
int FolderIcon(bool open);

}  // namespace tarnwell::win32

#pragma once

#include <string>

#include "gui_win32/browser_views.h"

namespace tarnwell::win32 {

// CDirO: the folders of one drive as a tree, opened down to the browser's folder. A folder's subfolders
// are read when it is first expanded. Picking a folder is the user's change of the tree's folder.
class FolderTreeView : public BrowserView {
public:
    FolderTreeView(Ui& ui, HWND parent, const WindowPart& part, FileBrowser& browser);
    void Refresh() override;
    bool Notify(NMHDR& header, LRESULT& result) override;

private:
    HTREEITEM Insert(HTREEITEM parent, const std::wstring& text);
    void Populate(HTREEITEM item);
    std::wstring PathOf(HTREEITEM item) const;
    std::wstring TextOf(HTREEITEM item) const;
    void Rebuild(const std::string& folder);

    std::string shown_;
};

}  // namespace tarnwell::win32

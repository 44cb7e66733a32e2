#include "gui_win32/browser_views.h"

#include <shellapi.h>

namespace tarnwell::win32 {

HIMAGELIST SystemSmallImages() {
    SHFILEINFOW info{};
    return reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info),
                                                       SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

int FolderIcon(bool open) {
    SHFILEINFOW info{};
    UINT flags = SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (open ? SHGFI_OPENICON : 0);
    if (SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info), flags) == 0) return 0;
    return info.iIcon;
}

BrowserChoiceView::BrowserChoiceView(Ui& ui, HWND parent, const WindowPart& part, FileBrowser& browser,
                                     const std::vector<std::string>& items, std::function<int()> selected,
                                     std::function<void(int)> pick)
    : BrowserView(ui, part, browser), selected_(std::move(selected)), pick_(std::move(pick)) {
    HWND box = Add(parent, WC_COMBOBOXW, name_, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST);
    for (const std::string& item : items) {
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    }
}

void BrowserChoiceView::Refresh() {
    RefreshState();
    const int want = selected_();
    if (static_cast<int>(SendMessageW(Hwnd(), CB_GETCURSEL, 0, 0)) != want) {
        SendMessageW(Hwnd(), CB_SETCURSEL, static_cast<WPARAM>(want), 0);
    }
}

bool BrowserChoiceView::Command(HWND widget, WORD code) {
    if (widget != Hwnd() || code != CBN_SELCHANGE || ui_.Refreshing()) return false;
    pick_(static_cast<int>(SendMessageW(widget, CB_GETCURSEL, 0, 0)));
    return true;
}

FileListView::FileListView(Ui& ui, HWND parent, const WindowPart& part, FileBrowser& browser)
    : BrowserView(ui, part, browser) {
    HWND list = Add(parent, WC_LISTVIEWW, name_,
                    WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                        LVS_SHAREIMAGELISTS,
                    WS_EX_CLIENTEDGE, AccessibleText());
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(SystemSmallImages()));
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = ui_(120);
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
}

void FileListView::Place(const RECT& rect) {
    MoveWindow(Hwnd(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    RECT client{};
    GetClientRect(Hwnd(), &client);
    SendMessageW(Hwnd(), LVM_SETCOLUMNWIDTH, 0, client.right);
}

// The picture of a file's type, asked of the shell by name only: no file is opened.
int FileListView::IconOf(const std::string& name) {
    SHFILEINFOW info{};
    if (SHGetFileInfoW(Wide(name).c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                       SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON) == 0) {
        return 0;
    }
    return info.iIcon;
}

void FileListView::Refresh() {
    RefreshState();
    const FileList& files = browser_.Files();
    HWND list = Hwnd();
    if (files.Directory() != shown_folder_ || files.Items() != shown_items_) {
        shown_folder_ = files.Directory();
        shown_items_ = files.Items();
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
        for (std::size_t i = 0; i < shown_items_.size(); ++i) {
            std::wstring text = Wide(shown_items_[i]);
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = static_cast<int>(i);
            item.pszText = text.data();
            item.iImage = IconOf(shown_items_[i]);
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    }
    const int want = files.ItemIndex();
    const auto selected = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (selected != want) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = 0;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
        if (want >= 0) {
            state.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(want), reinterpret_cast<LPARAM>(&state));
            SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(want), FALSE);
        }
    }
}

bool FileListView::Notify(NMHDR& header, LRESULT&) {
    if (header.hwndFrom != Hwnd() || ui_.Refreshing()) return false;
    if (header.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) == 0 || ((change.uNewState ^ change.uOldState) & LVIS_SELECTED) == 0) {
            return false;
        }
        const auto selected =
            static_cast<int>(SendMessageW(Hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        if (selected == browser_.Files().ItemIndex()) return false;
        browser_.UserSelectFile(selected);
        return true;
    }
    if (header.code == NM_DBLCLK) {
        // A double click loads the file under the mouse; on the empty part of the list, the selected one.
        const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
        browser_.UserDoubleClickFile(activate.iItem >= 0 ? activate.iItem : browser_.Files().ItemIndex());
        return true;
    }
    return false;
}

}  // namespace tarnwell::win32

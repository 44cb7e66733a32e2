#include "gui_win32/folder_tree_view.h"

#include <algorithm>
#include <vector>

#include "text/program_folder.h"
#include "viewer/drives.h"

namespace tarnwell::win32 {

namespace {

constexpr LPARAM kPopulated = 1;

std::vector<std::wstring> Subfolders(const std::wstring& folder) {
    std::vector<std::wstring> names;
    std::wstring pattern = folder;
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    HANDLE search =
        FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchLimitToDirectories, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) continue;
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        names.push_back(std::move(name));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end(),
              [](const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) < 0; });
    return names;
}

}  // namespace

FolderTreeView::FolderTreeView(Ui& ui, HWND parent, const WindowPart& part, FileBrowser& browser)
    : BrowserView(ui, part, browser) {
    HWND tree = Add(parent, WC_TREEVIEWW, name_,
                    WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                    WS_EX_CLIENTEDGE, AccessibleText());
    SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(SystemSmallImages()));
}

HTREEITEM FolderTreeView::Insert(HTREEITEM parent, const std::wstring& text) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_CHILDREN | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.cChildren = 1;  // known when it is first expanded
    insert.item.lParam = 0;
    insert.item.iImage = FolderIcon(false);
    insert.item.iSelectedImage = FolderIcon(true);
    return reinterpret_cast<HTREEITEM>(SendMessageW(Hwnd(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void FolderTreeView::Populate(HTREEITEM item) {
    TVITEMW info{};
    info.mask = TVIF_PARAM;
    info.hItem = item;
    SendMessageW(Hwnd(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info));
    if (info.lParam == kPopulated) return;
    const std::vector<std::wstring> names = Subfolders(PathOf(item));
    for (const std::wstring& name : names) Insert(item, name);
    info.mask = TVIF_PARAM | TVIF_CHILDREN;
    info.lParam = kPopulated;
    info.cChildren = names.empty() ? 0 : 1;
    SendMessageW(Hwnd(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&info));
}

std::wstring FolderTreeView::TextOf(HTREEITEM item) const {
    wchar_t text[MAX_PATH] = L"";
    TVITEMW info{};
    info.mask = TVIF_TEXT;
    info.hItem = item;
    info.pszText = text;
    info.cchTextMax = MAX_PATH;
    SendMessageW(Hwnd(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&info));
    return text;
}

std::wstring FolderTreeView::PathOf(HTREEITEM item) const {
    std::vector<std::wstring> parts;
    for (HTREEITEM at = item; at != nullptr; at = reinterpret_cast<HTREEITEM>(SendMessageW(
                                                 Hwnd(), TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(at)))) {
        parts.push_back(TextOf(at));
    }
    std::string path;
    for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
        path = path.empty() ? Narrow(*it) : JoinPath(path, Narrow(*it));
    }
    return Wide(path);
}

// The tree shows the drive of the folder from its root, opened down to the folder, which is selected.
void FolderTreeView::Rebuild(const std::string& folder) {
    HWND tree = Hwnd();
    SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    const std::vector<std::string>& drives = browser_.Drives();
    const int drive = DriveIndexOf(folder, drives);
    std::string root = drive >= 0 ? drives[static_cast<std::size_t>(drive)] : folder.substr(0, folder.find('\\') + 1);
    if (root.empty()) root = folder;
    HTREEITEM at = Insert(TVI_ROOT, Wide(root));
    std::string rest = folder.size() > root.size() ? folder.substr(root.size()) : std::string();
    std::size_t start = 0;
    while (start < rest.size()) {
        std::size_t end = start;
        while (end < rest.size() && !IsPathSeparator(rest[end])) ++end;
        const std::wstring part = Wide(rest.substr(start, end - start));
        start = end + 1;
        if (part.empty()) continue;
        Populate(at);
        SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(at));
        HTREEITEM found = nullptr;
        for (auto child = reinterpret_cast<HTREEITEM>(
                 SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(at)));
             child != nullptr; child = reinterpret_cast<HTREEITEM>(
                                   SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)))) {
            if (_wcsicmp(TextOf(child).c_str(), part.c_str()) == 0) {
                found = child;
                break;
            }
        }
        // A folder the listing does not show (hidden, or no right to list its parent) is still the way.
        at = found != nullptr ? found : Insert(at, part);
    }
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(at));
    SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(at));
    SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
}

void FolderTreeView::Refresh() {
    RefreshState();
    if (browser_.Folder() == shown_) return;
    shown_ = browser_.Folder();
    Rebuild(shown_);
}

bool FolderTreeView::Notify(NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != Hwnd()) return false;
    if (header.code == TVN_ITEMEXPANDINGW) {
        const auto& expand = reinterpret_cast<const NMTREEVIEWW&>(header);
        if (expand.action == TVE_EXPAND) Populate(expand.itemNew.hItem);
        result = FALSE;
        return false;
    }
    if (header.code == TVN_SELCHANGEDW && !ui_.Refreshing()) {
        const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
        if (change.action == TVC_UNKNOWN || change.itemNew.hItem == nullptr) return false;
        shown_ = Narrow(PathOf(change.itemNew.hItem));
        browser_.UserSelectFolder(shown_);
        return true;
    }
    return false;
}

}  // namespace tarnwell::win32

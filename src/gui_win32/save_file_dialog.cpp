#include "gui_win32/save_file_dialog.h"

#include <commdlg.h>

#include <vector>

namespace tarnwell::win32 {

namespace {

// "description|patterns|..." as the dialog wants it: each part ended by a zero, the whole by another.
std::wstring FilterText(std::string_view filter) {
    std::wstring text = Wide(filter);
    for (wchar_t& c : text) {
        if (c == L'|') c = L'\0';
    }
    text.push_back(L'\0');
    text.push_back(L'\0');
    return text;
}

struct HookState {
    SaveDialog* dialog;
    std::wstring default_ext;
};

UINT_PTR CALLBACK Hook(HWND hook, UINT message, WPARAM, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        const auto* open = reinterpret_cast<const OPENFILENAMEW*>(lparam);
        SetWindowLongPtrW(hook, GWLP_USERDATA, static_cast<LONG_PTR>(open->lCustData));
        return TRUE;
    }
    if (message != WM_NOTIFY) return FALSE;
    const auto* notify = reinterpret_cast<const OFNOTIFYW*>(lparam);
    if (notify->hdr.code != CDN_TYPECHANGE) return FALSE;
    auto* state = reinterpret_cast<HookState*>(GetWindowLongPtrW(hook, GWLP_USERDATA));
    if (state == nullptr) return FALSE;
    const int type = static_cast<int>(notify->lpOFN->nFilterIndex);
    if (state->dialog->OnTypeChange) state->dialog->OnTypeChange(type);
    // A name typed without an extension gets the one that now applies.
    state->default_ext = Wide(state->dialog->DefaultExt);
    SendMessageW(GetParent(hook), CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>(state->default_ext.c_str()));
    return FALSE;
}

}  // namespace

bool RunSaveFileDialog(HWND owner, SaveDialog& dialog) {
    const std::wstring title = Wide(dialog.Title);
    const std::wstring filter = FilterText(dialog.Filter);
    HookState state{&dialog, Wide(dialog.DefaultExt)};
    std::vector<wchar_t> name(32768, L'\0');
    const std::wstring proposed = Wide(dialog.FileName);
    std::copy_n(proposed.begin(), std::min(proposed.size(), name.size() - 1), name.begin());

    OPENFILENAMEW open{};
    open.lStructSize = sizeof(open);
    open.hwndOwner = owner;
    open.lpstrFilter = filter.c_str();
    open.nFilterIndex = static_cast<DWORD>(dialog.FilterIndex);
    open.lpstrFile = name.data();
    open.nMaxFile = static_cast<DWORD>(name.size());
    open.lpstrTitle = title.c_str();
    open.lpstrDefExt = state.default_ext.empty() ? nullptr : state.default_ext.c_str();
    open.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                 (dialog.Resizable ? OFN_ENABLESIZING : 0);
    open.lpfnHook = Hook;
    open.lCustData = reinterpret_cast<LPARAM>(&state);
    if (!GetSaveFileNameW(&open)) return false;
    dialog.FileName = Narrow(name.data());
    dialog.FilterIndex = static_cast<int>(open.nFilterIndex);
    return true;
}

}  // namespace tarnwell::win32

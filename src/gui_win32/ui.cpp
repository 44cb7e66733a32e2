#include "gui_win32/ui.h"

#include <stdexcept>
#include <string>

#include "gui_win32/control_id.h"

namespace tarnwell::win32 {

namespace {

// The system's message font (the font of dialogs and message boxes) at the given dots per inch.
LOGFONTW MessageFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    using ForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto for_dpi = reinterpret_cast<ForDpiFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SystemParametersInfoForDpi")));
    if (for_dpi != nullptr && for_dpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(dpi))) {
        return metrics.lfMessageFont;
    }
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        HDC screen = GetDC(nullptr);
        int system_dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, system_dpi);
        return metrics.lfMessageFont;
    }
    LOGFONTW font{};
    font.lfHeight = -MulDiv(9, dpi, 72);
    font.lfCharSet = DEFAULT_CHARSET;
    wcscpy(font.lfFaceName, L"Segoe UI");
    return font;
}

}  // namespace

Ui::Ui(HINSTANCE instance, int dpi) : instance_(instance), scale_(dpi), strip_brush_(CreateSolidBrush(kStripColor)) {
    MakeFonts();
}

void Ui::MakeFonts() {
    LOGFONTW dialog = MessageFont(scale_.Dpi());
    fonts_[static_cast<int>(FontKind::Dialog)].Reset(CreateFontIndirectW(&dialog));
    LOGFONTW bold = dialog;
    bold.lfWeight = FW_BOLD;
    fonts_[static_cast<int>(FontKind::Bold)].Reset(CreateFontIndirectW(&bold));
    // The grids are drawn in Tahoma, 8 points.
    LOGFONTW grid{};
    grid.lfHeight = -MulDiv(8, scale_.Dpi(), 72);
    grid.lfCharSet = DEFAULT_CHARSET;
    wcscpy(grid.lfFaceName, L"Tahoma");
    fonts_[static_cast<int>(FontKind::Grid)].Reset(CreateFontIndirectW(&grid));
    LOGFONTW link = dialog;
    link.lfWeight = FW_BOLD;
    link.lfUnderline = TRUE;
    fonts_[static_cast<int>(FontKind::Link)].Reset(CreateFontIndirectW(&link));
}

HFONT Ui::Font(FontKind kind) const {
    return fonts_[static_cast<int>(kind)].get();
}

void Ui::SetDpi(int dpi) {
    if (dpi == scale_.Dpi()) return;
    scale_ = Scale(dpi);
    MakeFonts();
    for (const auto& [widget, kind] : widgets_) {
        if (IsWindow(widget)) SendMessageW(widget, WM_SETFONT, reinterpret_cast<WPARAM>(Font(kind)), FALSE);
    }
}

HWND Ui::Create(HWND parent, const wchar_t* window_class, std::string_view name, DWORD style, DWORD ex_style,
                const std::wstring& text, ControlView* view, FontKind font) {
    const int id = Claim(name);
    HWND widget = CreateWindowExW(ex_style, window_class, text.c_str(), style | WS_CHILD, 0, 0, 0, 0, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    if (widget == nullptr) throw std::runtime_error("cannot create the window's control " + std::string(name));
    SendMessageW(widget, WM_SETFONT, reinterpret_cast<WPARAM>(Font(font)), FALSE);
    widgets_.emplace_back(widget, font);
    if (view != nullptr) views_[widget] = view;
    return widget;
}

int Ui::Claim(std::string_view name) {
    const int id = ControlId(name);
    if (!ids_.insert(id).second) throw std::logic_error("two widgets would share the ID of " + std::string(name));
    return id;
}

ControlView* Ui::ViewOf(HWND widget) const {
    auto it = views_.find(widget);
    return it == views_.end() ? nullptr : it->second;
}

ControlView* Ui::ViewAround(HWND widget) const {
    for (HWND w = widget; w != nullptr && w != main_; w = GetParent(w)) {
        if (ControlView* view = ViewOf(w)) return view;
    }
    return nullptr;
}

}  // namespace tarnwell::win32

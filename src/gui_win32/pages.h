#pragma once

#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "form/form_controls.h"
#include "form/group_frames.h"
#include "form/widget_names.h"
#include "grid/color.h"
#include "gui_win32/browser_views.h"
#include "gui_win32/button_views.h"
#include "gui_win32/choice_views.h"
#include "gui_win32/folder_tree_view.h"
#include "gui_win32/grid_view.h"
#include "gui_win32/panel.h"
#include "gui_win32/status_views.h"
#include "gui_win32/text_views.h"
#include "viewer/file_browser.h"

namespace tarnwell::win32 {

using Views = std::vector<std::unique_ptr<ControlView>>;

// One page of PC1 (or the navigation column): a panel with its views, laid out in designed sizes scaled
// to the monitor whenever the window's size or monitor changes.
class Page {
public:
    // A page of PC1: its panel carries the page's name, and its title for screen readers.
    Page(Ui& ui, Views& views, HWND parent, const FormPage& page);
    // A panel of another part of the window.
    Page(Ui& ui, Views& views, HWND parent, const WindowPart& part);
    virtual ~Page() = default;
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    HWND Panel() const { return panel_; }
    // The least size (pixels) at which every caption, list item and button text of the page shows whole
    // in the fonts the page draws with; {0, 0} for a page that fits any size.
    virtual SIZE Needed() const { return {0, 0}; }
    // Moves the panel into the rectangle (pixels) and lays its widgets out in it.
    void Place(const RECT& rect);
    void Relayout();

protected:
    virtual void Layout(int width, int height) = 0;

    template <typename V, typename... Args>
    V& Make(Args&&... args) {
        auto view = std::make_unique<V>(ui_, std::forward<Args>(args)...);
        V& made = *view;
        views_.push_back(std::move(view));
        return made;
    }
    // A frame with a caption around widgets; it belongs to no control.
    HWND GroupBox(const GroupFrame& frame);
    // Places a widget; sizes in pixels.
    static void Move(HWND widget, int x, int y, int width, int height);
    // How wide the widget's text is drawn in its font, in pixels.
    static int CaptionWidth(HWND widget);
    // A caption strip as wide as its caption needs, at least `designed` (designed pixels).
    int StripWidth(const StripView& strip, int designed) const;
    // A push button as wide as its caption needs, at least `designed` (designed pixels).
    int ButtonWidth(const ButtonView& button, int designed) const;
    // The height of an edit, a strip or a push button in the widget's font, at least `designed`.
    int LineHeight(HWND widget, int designed) const;

    Ui& ui_;
    Views& views_;
    HWND panel_;
    int width_ = 0;
    int height_ = 0;
};

// TabSheet1, "Просмотр": the drive box, folder tree, file list and filter on the left, the table of the
// viewed file on the right, the file's path and "Сохранить ..." under it; two splitters.
class ViewerPage : public Page {
public:
    ViewerPage(Ui& ui, Views& views, HWND parent, FormControls& c, FileBrowser& browser, const ColorScheme& colors);
    SIZE Needed() const override;

private:
    void Layout(int width, int height) override;

    BrowserChoiceView* drives_;
    FolderTreeView* tree_;
    FileListView* files_;
    BrowserChoiceView* filter_;
    GridView* grid_;
    StripView* path_label_;
    EditView* path_;
    ButtonView* save_;
    StripView* filter_label_;
    EditView* filter_box_;
    std::unique_ptr<Splitter> column_splitter_;
    std::unique_ptr<Splitter> tree_splitter_;
    int column_width_ = 142;  // designed
    int tree_share_ = 50;     // percent of the column's height for the drive box and tree
};

// TabSheet2, "Настройки": mail server, letter, content, columns and options.
class SettingsPage : public Page {
public:
    SettingsPage(Ui& ui, Views& views, HWND parent, FormControls& c);
    SIZE Needed() const override;

private:
    // The sizes the page's parts need in the fonts drawn, from which both Needed and Layout start.
    struct Metrics {
        int gap, caption, row, edit, strip;
        int server_label, letter_label, security_height, top_height, server_width, letter_width;
        int content_width, columns_list, options_width, run_height, other_height, address_height, kilo_height;
        int bottom_height;
    };
    Metrics Measure() const;
    void Layout(int width, int height) override;
    // The caption strip (label_width wide) and the edit beside it, width in all.
    void PlaceEdit(EditView& edit, StripView& label, int x, int y, int width, int label_width, int height);
    // The width for the labels of a column of edits: the widest caption.
    template <typename Edits>
    int LabelWidth(const Edits& edits, int least) const;

    struct LabelledEdit {
        StripView* label;
        EditView* edit;
    };
    HWND server_box_;
    HWND letter_box_;
    HWND content_box_;
    HWND columns_box_;
    HWND options_box_;
    std::array<LabelledEdit, 6> server_;
    RadioGroupView* security_;
    std::array<LabelledEdit, 3> letter_;
    CheckListView* content_;
    StripView* table_label_;
    CheckListView* table_;
    StripView* html_label_;
    CheckListView* html_;
    StripView* run_label_;
    CheckListView* run_;
    EditView* table_address_;
    StripView* other_label_;
    CheckListView* other_;
    RadioGroupView* kilo_;
};

// TabSheet4, "Статистика": the statistics table over the report path, precision, report and mail buttons
// and the display unit.
class StatPage : public Page {
public:
    StatPage(Ui& ui, Views& views, HWND parent, FormControls& c, const ColorScheme& colors);
    SIZE Needed() const override;

private:
    void Layout(int width, int height) override;

    GridView* grid_;
    StripView* path_label_;
    EditView* path_;
    ButtonView* edit_path_;
    StripView* precision_label_;
    SpinEditView* precision_;
    ButtonView* save_html_;
    ButtonView* send_;
    RadioGroupView* unit_;
};

// TabSheet5, "Лимиты": the limits table (with the pop-up menu) over its three buttons and the default limit.
class LimitsPage : public Page {
public:
    LimitsPage(Ui& ui, Views& views, HWND parent, FormControls& c, const ColorScheme& colors);
    SIZE Needed() const override;

private:
    void Layout(int width, int height) override;

    GridView* grid_;
    HWND bar_;
    ButtonView* read_;
    ButtonView* set_;
    ButtonView* save_;
    SpinEditView* default_limit_;
};

// TabSheet3, "О программе": the memo on the left, the picture and the two links.
class AboutPage : public Page {
public:
    AboutPage(Ui& ui, Views& views, HWND parent, FormControls& c);

private:
    void Layout(int width, int height) override;

    MemoView* memo_;
    HWND picture_;
    LinkView* site_;
    LinkView* mail_;
};

// The About page's picture, drawn to fill the rectangle.
void DrawAboutPicture(HDC dc, const RECT& rect);

// The navigation column: the five page buttons on a strip, bevel lines between them, and the gauge at
// its foot. The buttons are 75 pixels square as designed, lower down to what shows their picture and
// caption when the column is lower; the strip scrolls only when even that does not fit.
class NavColumn : public Page, public PanelHandler {
public:
    NavColumn(Ui& ui, Views& views, HWND parent, FormControls& c);
    // The width the captions need and the height that shows every button whole.
    SIZE Needed() const override;
    bool PanelMessage(HWND panel, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;
    GaugeView& ProgressGauge() const { return *gauge_; }
    int ScrollPosition() const { return scroll_; }

private:
    void Layout(int width, int height) override;
    void ScrollTo(int position);
    int StripHeight() const { return ui_(4) + static_cast<int>(buttons_.size()) * pitch_; }

    std::array<NavButtonView*, 5> buttons_{};
    int button_height_ = 0;
    int pitch_ = 0;
    GaugeView* gauge_;
    GaugeCancelView* cancel_;
    HWND scroller_;
    int scroll_ = 0;
};

// PFind, the find bar: "Найти:" with its edit, "Далее", "Назад" and "Ячейка целиком" in one row. The
// main window shows it above the page while the form's bar is Visible and the page has a table.
class FindBarPage : public Page {
public:
    FindBarPage(Ui& ui, Views& views, HWND parent, FormControls& c);
    // The row's width with every caption whole beside a short edit, and its height.
    SIZE Needed() const override;
    HWND TextEdit() const { return text_->Hwnd(); }

private:
    void Layout(int width, int height) override;

    StripView* label_;
    EditView* text_;
    ButtonView* next_;
    ButtonView* prev_;
    CheckBoxView* whole_;
};

// PC1: the page panels, one shown at a time; no tabs.
class PageControlView : public ControlView {
public:
    PageControlView(Ui& ui, PageControl& pages, std::array<HWND, kPageCount> panels)
        : ControlView(ui, pages), pages_(pages), panels_(panels) {}
    void Refresh() override;

private:
    PageControl& pages_;
    std::array<HWND, kPageCount> panels_;
};

}  // namespace tarnwell::win32

#include "window_fixture.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "gui_win32/control_id.h"
#include "text/cp1251.h"
#include "wingate/service_restart.h"

namespace tarnwell::win32::testing {

namespace {

ModalWatcher* the_watcher = nullptr;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

}  // namespace

ModalWatcher::ModalWatcher() {
    the_watcher = this;
    timer_ = SetTimer(nullptr, 0, 40, Tick);
}

ModalWatcher::~ModalWatcher() {
    KillTimer(nullptr, timer_);
    if (the_watcher == this) the_watcher = nullptr;
}

void CALLBACK ModalWatcher::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (the_watcher != nullptr && !the_watcher->busy_) the_watcher->Look();
}

void ModalWatcher::Look() {
    busy_ = true;
    if (on_tick) on_tick();
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
        if (!IsWindowVisible(window)) continue;
        const std::wstring kind = ClassOf(window);
        if (kind == L"#32768" && on_menu) {
            auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
            auto script = on_menu;
            on_menu = nullptr;
            script(window, menu);
            continue;
        }
        if (kind != L"#32770") continue;
        const std::string title = Narrow(WindowTextOf(window));
        if (title == "Tarnwell") {
            boxes.push_back(Cp1251ToUtf8(Narrow(WindowTextOf(GetDlgItem(window, 0xFFFF)))));
            PostMessageW(window, WM_COMMAND, IDOK, 0);
        } else if (on_save_dialog) {
            auto script = on_save_dialog;
            on_save_dialog = nullptr;
            script(window);
        }
    }
    busy_ = false;
}

void WindowTest::SetUp() {
    temp_ = std::make_unique<testing_support::TempFolder>();
    folder_ = temp_->path();
    start_folder_ = fs::current_path();
    fs::copy_file(TARNWELL_SERVICE_STUB, folder_ / "service.exe");
    std::string reg = ReadBytes(fs::path(TARNWELL_TEST_DATA) / "app" / "users.reg");
    std::string image_path;
    for (char c : (folder_ / "service.exe").string()) {
        if (c == '\\') image_path.push_back('\\');
        image_path.push_back(c);
    }
    reg.replace(reg.find("@SERVICE@"), 9, image_path);
    WriteBytes(RegPath(), reg);
    watcher_ = std::make_unique<ModalWatcher>();
}

void WindowTest::TearDown() {
    program_.reset();
    watcher_.reset();
    std::error_code ignored;
    fs::current_path(start_folder_, ignored);  // the viewer moves it
    temp_.reset();
}

void WindowTest::WriteSettings(const std::vector<std::string>& lines) const {
    std::string text;
    for (const std::string& line : lines) text += Utf8ToCp1251(line) + "\r\n";
    WriteBytes(folder_ / "settings.ini", text);
}

std::string WindowTest::ReadSettings() const {
    return Cp1251ToUtf8(ReadBytes(folder_ / "settings.ini"));
}

std::int32_t WindowTest::Number(const std::string& login, const std::string& name) const {
    auto db = UserDatabaseLocation::RegFile(RegPath().string()).Open();
    if (!db->OpenExistingAccount(login)) throw std::runtime_error("no account " + login);
    return db->ReadNumber(name);
}

WindowProgram& WindowTest::Start(std::optional<std::string> argument, std::optional<UserDatabaseLocation> database,
                                 const std::function<void(TFSend&)>& prepare) {
    FSendSetup setup{database.value_or(UserDatabaseLocation::RegFile(RegPath().string())), folder_.string(), nullptr,
                      std::make_unique<SystemProgramRunner>()};
    program_ = std::make_unique<WindowProgram>(GetModuleHandleW(nullptr), std::move(setup));
    if (prepare) prepare(program_->Form());
    program_->Start(argument, SW_SHOWNORMAL);
    Pump();
    return *program_;
}

HWND WindowTest::Find(const std::string& name) const {
    HWND found = FindControl(program_->Window().Hwnd(), name);
    if (found == nullptr) throw std::runtime_error("no control " + name);
    return found;
}

GridView& WindowTest::Grid(const std::string& name) const {
    auto* view = dynamic_cast<GridView*>(program_->Window().ViewOf(Find(name)));
    if (view == nullptr) throw std::runtime_error("no grid " + name);
    return *view;
}

void WindowTest::Pump(std::chrono::milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}

bool WindowTest::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // The program has ended; the test sees it through the host.
                continue;
            }
            program_->Host().Dispatch(message);
        }
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void WindowTest::ClickButton(const std::string& name) {
    HWND button = Find(name);
    PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    Pump();
}

void WindowTest::MouseOver(const std::string& name) {
    // The pointer itself goes there too, so that no move of the real one says otherwise.
    HWND widget = Find(name);
    RECT rect{};
    GetWindowRect(widget, &rect);
    SetCursorPos(rect.left + 3, rect.top + 3);
    PostMessageW(widget, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    Pump();
}

// The cell's rectangle, scrolled into the list's view first as the user would.
static RECT VisibleCell(GridView& view, int display_col, int row) {
    RECT cell{};
    RECT client{};
    GetClientRect(view.Hwnd(), &client);
    SendMessageW(view.Hwnd(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(view.ItemOfRow(row)), FALSE);
    if (!view.CellRect(display_col, row, cell)) throw std::runtime_error("no cell on the screen");
    if (cell.right > client.right || cell.left < 0) {
        SendMessageW(view.Hwnd(), LVM_SCROLL, static_cast<WPARAM>(cell.left - client.left), 0);
        view.CellRect(display_col, row, cell);
    }
    return cell;
}

void WindowTest::ClickCell(const std::string& grid, int display_col, int row, UINT down) {
    GridView& view = Grid(grid);
    const RECT cell = VisibleCell(view, display_col, row);
    const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    const UINT up = down == WM_LBUTTONDOWN ? WM_LBUTTONUP : WM_RBUTTONUP;
    PostMessageW(view.Hwnd(), down, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, at);
    PostMessageW(view.Hwnd(), up, 0, at);
    Pump();
}

void WindowTest::DoubleClickCell(const std::string& grid, int display_col, int row) {
    GridView& view = Grid(grid);
    const RECT cell = VisibleCell(view, display_col, row);
    const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
        PostMessageW(view.Hwnd(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    }
    Pump();
}

void WindowTest::DoubleClickItem(HWND list, int item) {
    RECT rect{};
    rect.left = LVIR_LABEL;
    if (!SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect))) {
        throw std::runtime_error("no item on the screen");
    }
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
        PostMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    }
    Pump();
}

void WindowTest::Key(HWND widget, WPARAM key) {
    PostMessageW(widget, WM_KEYDOWN, key, 1);
    PostMessageW(widget, WM_KEYUP, key, 0xC0000001);
    Pump();
}

void WindowTest::TypeInto(HWND edit, const std::wstring& text) {
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    Pump();
}

std::string WindowTest::StatusText() const {
    HWND bar = Find("StatBar");
    wchar_t text[512] = L"";
    SendMessageW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    return Narrow(text);
}

std::string WindowTest::TextOf(const std::string& name) const {
    return Narrow(WindowTextOf(Find(name)));
}

bool WindowTest::PageShown(const std::string& name) const {
    return IsWindowVisible(Find(name)) != FALSE;
}

void SaveWindowPicture(HWND window, const fs::path& file) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // The client area: without a window manager on the display the frame is not drawn.
    RECT rect{};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const int stride = ((width * 3 + 3) / 4) * 4;
    const std::uint32_t size = static_cast<std::uint32_t>(stride * height);
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + size;
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
    out.write(static_cast<const char*>(bits), size);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

}  // namespace tarnwell::win32::testing

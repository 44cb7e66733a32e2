#include "gui_win32/win32_host.h"

#include <shellapi.h>

#include <cstring>

#include "app/error_box_text.h"
#include "gui_win32/main_window.h"
#include "gui_win32/save_file_dialog.h"
#include "text/cp1251_literal.h"
#include "text/error.h"

namespace tarnwell::win32 {

using namespace literals;

namespace {

Win32Host* the_host = nullptr;

}  // namespace

Win32Host::Win32Host() {
    the_host = this;
}

Win32Host::~Win32Host() {
    StopCloseTimer();
    if (the_host == this) the_host = nullptr;
}

// Boxes are modal to the window once it is on the screen; during the start-up it is still hidden and
// the box stands alone in the middle of the screen.
HWND Win32Host::Owner() const {
    if (window_ == nullptr || !IsWindowVisible(window_->Hwnd())) return nullptr;
    return window_->Hwnd();
}

// A handler lets the user's events through here: the window shows the controls it locked first.
void Win32Host::ShowLock() {
    if (window_ == nullptr || lock_shown_) return;
    lock_shown_ = true;
    try {
        window_->Refresh();
    } catch (...) {
        // The window shows what it could.
    }
}

void Win32Host::ShowMessageBox(std::string_view text) {
    ShowLock();
    MessageBoxW(Owner(), Wide(text).c_str(), L"Tarnwell", MB_OK | MB_TASKMODAL | MB_SETFOREGROUND);
}

void Win32Host::ShowErrorBox(std::string_view text) {
    ShowLock();
    MessageBoxW(Owner(), Wide(ErrorBoxText(text)).c_str(), L"Tarnwell",
                MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND);
}

void Win32Host::Dispatch(MSG& message) {
    if (window_ != nullptr && window_->PreTranslate(message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void Win32Host::ProcessMessages() {
    ShowLock();
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Not ours to take: the message loop ends the program with it once the job is over.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        Dispatch(message);
    }
}

void Win32Host::RunMessageLoop() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) Dispatch(message);
}

void Win32Host::PostQuit() {
    quit_queued_ = true;
    PostQuitMessage(0);
}

void CALLBACK Win32Host::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    if (the_host == nullptr || id != the_host->timer_ || !the_host->close_tick_) return;
    // A copy: the tick closes the window, which stops the timer.
    auto tick = the_host->close_tick_;
    tick();
}

void Win32Host::StartCloseTimer(std::chrono::milliseconds interval, std::function<void()> tick) {
    StopCloseTimer();
    close_tick_ = std::move(tick);
    const auto ms = static_cast<UINT>(std::max<std::chrono::milliseconds::rep>(USER_TIMER_MINIMUM, interval.count()));
    timer_ = SetTimer(nullptr, 0, ms, TimerProc);
}

void Win32Host::StopCloseTimer() {
    if (timer_ != 0) KillTimer(nullptr, timer_);
    timer_ = 0;
    close_tick_ = nullptr;
}

void Win32Host::Sleep(std::chrono::milliseconds duration) {
    ::Sleep(static_cast<DWORD>(duration.count()));
}

void Win32Host::RepaintNow(const Control& control) {
    if (window_ != nullptr) window_->RepaintNow(control);
}

void Win32Host::ControlsChanged() {
    lock_shown_ = false;
    if (window_ == nullptr) return;
    try {
        window_->Refresh();
    } catch (...) {
        // The window shows what it could; the next change shows the rest.
    }
}

bool Win32Host::ExecuteSaveDialog(SaveDialog& dialog) {
    ShowLock();
    return RunSaveFileDialog(window_ != nullptr ? window_->Hwnd() : nullptr, dialog);
}

// Owned by the window and shown normally: a browser or mail program opened hidden would not be seen.
void Win32Host::ShellOpen(std::string_view target) {
    ShellExecuteW(window_ != nullptr ? window_->Hwnd() : nullptr, L"open", Wide(target).c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
}

// The text goes as CF_UNICODETEXT, from which Windows makes the other text formats when they are asked
// for. The memory belongs to the clipboard once SetClipboardData has taken it.
void Win32Host::SetClipboardText(std::string_view text) {
    const std::wstring wide = Wide(text);
    if (!OpenClipboard(Owner())) throw Error(std::string("Буфер обмена занят другой программой"_cp));
    EmptyClipboard();
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool placed = false;
    if (memory != nullptr) {
        if (void* at = GlobalLock(memory)) {
            std::memcpy(at, wide.c_str(), bytes);
            GlobalUnlock(memory);
            placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!placed) GlobalFree(memory);
    }
    CloseClipboard();
    if (!placed) throw Error(std::string("Не удалось поместить текст в буфер обмена"_cp));
}

}  // namespace tarnwell::win32

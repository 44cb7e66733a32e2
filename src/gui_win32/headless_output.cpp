#include "gui_win32/headless_output.h"

namespace tarnwell::win32 {

namespace {

bool Usable(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

HeadlessOutput::HeadlessOutput() {
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (Usable(error)) {
        handle_ = error;
    } else if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
        if (Usable(console)) {
            handle_ = console;
            own_handle_ = true;
        }
    }
    DWORD mode = 0;
    console_ = handle_ != nullptr && GetConsoleMode(handle_, &mode);
}

HeadlessOutput::~HeadlessOutput() {
    stream_.flush();
    if (own_handle_) CloseHandle(handle_);
}

HeadlessOutput::Buffer::int_type HeadlessOutput::Buffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    pending_.push_back(traits_type::to_char_type(c));
    if (c == '\n') sync();
    return c;
}

int HeadlessOutput::Buffer::sync() {
    if (!pending_.empty()) output_.Write(pending_);
    pending_.clear();
    return 0;
}

void HeadlessOutput::Write(const std::string& utf8) {
    if (handle_ == nullptr) return;
    std::string text;
    for (char c : utf8) {
        if (c == '\n' && (text.empty() || text.back() != '\r')) text.push_back('\r');
        text.push_back(c);
    }
    if (console_) {
        const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(length), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
        DWORD written = 0;
        WriteConsoleW(handle_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        if (!WriteFile(handle_, text.data() + done, static_cast<DWORD>(text.size() - done), &written, nullptr) ||
            written == 0) {
            return;
        }
        done += written;
    }
}

}  // namespace tarnwell::win32

#include "gui_win32/headless_output.h"

#include "app/standard_error.h"

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
    if (handle_ != nullptr && GetConsoleMode(handle_, &mode)) {
        buffer_ = std::make_unique<WideConsoleBuffer>(handle_);
    } else if (handle_ != nullptr) {
        buffer_ = std::make_unique<FileBuffer>(handle_);
    }
    // Without a buffer the stream is bad and drops what is written to it.
    stream_.rdbuf(buffer_.get());
}

HeadlessOutput::~HeadlessOutput() {
    stream_.flush();
    stream_.rdbuf(nullptr);
    buffer_.reset();
    if (own_handle_) CloseHandle(handle_);
}

HeadlessOutput::FileBuffer::int_type HeadlessOutput::FileBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    if (c == '\n') pending_.push_back('\r');
    pending_.push_back(traits_type::to_char_type(c));
    if (c == '\n') sync();
    return c;
}

int HeadlessOutput::FileBuffer::sync() {
    std::size_t done = 0;
    while (done < pending_.size()) {
        DWORD written = 0;
        if (!WriteFile(file_, pending_.data() + done, static_cast<DWORD>(pending_.size() - done), &written, nullptr) ||
            written == 0) {
            break;
        }
        done += written;
    }
    pending_.clear();
    return 0;
}

}  // namespace tarnwell::win32

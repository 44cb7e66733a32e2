#pragma once

#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

#include "gui_win32/win32_ui.h"

namespace tarnwell::win32 {

// Where the headless program's messages go, for a windowed executable that has no console of its own:
// standard error when it leads somewhere (a file or a pipe the caller redirected it to), else the console
// of the process that started the program, if it has one. A console gets the text through the wide
// console call (app/standard_error.h), so that Russian shows whatever its code page; a file or pipe gets
// the UTF-8 bytes with CR LF line ends. Without either, the messages go nowhere, and the exit status
// still tells.
class HeadlessOutput {
public:
    HeadlessOutput();
    ~HeadlessOutput();
    HeadlessOutput(const HeadlessOutput&) = delete;
    HeadlessOutput& operator=(const HeadlessOutput&) = delete;

    std::ostream& Stream() { return stream_; }

private:
    // UTF-8 text into a file or pipe, passed on at every line end and flush.
    class FileBuffer : public std::streambuf {
    public:
        explicit FileBuffer(HANDLE file) : file_(file) {}

    protected:
        int_type overflow(int_type c) override;
        int sync() override;

    private:
        HANDLE file_;
        std::string pending_;
    };

    HANDLE handle_ = nullptr;
    bool own_handle_ = false;
    std::unique_ptr<std::streambuf> buffer_;
    std::ostream stream_{nullptr};
};

}  // namespace tarnwell::win32

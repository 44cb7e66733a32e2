#pragma once

#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

#include "gui_win32/win32_ui.h"

namespace tarnwell::win32 {

// Where the headless program's messages go, for a windowed executable that has no console of its own:
// standard error when it leads somewhere (a file or a pipe the caller redirected it to), else the console
// of the process that started the program, if it has one. Text arrives as UTF-8; a console is written in
// UTF-16 so that Russian shows whatever its code page, anything else gets the UTF-8 bytes. Line ends are
// written as CR LF. Without either, the messages go nowhere, and the exit status still tells.
class HeadlessOutput {
public:
    HeadlessOutput();
    ~HeadlessOutput();
    HeadlessOutput(const HeadlessOutput&) = delete;
    HeadlessOutput& operator=(const HeadlessOutput&) = delete;

    std::ostream& Stream() { return stream_; }
    bool LeadsSomewhere() const { return handle_ != nullptr; }

private:
    class Buffer : public std::streambuf {
    public:
        explicit Buffer(HeadlessOutput& output) : output_(output) {}

    protected:
        int_type overflow(int_type c) override;
        int sync() override;

    private:
        HeadlessOutput& output_;
        std::string pending_;
    };

    void Write(const std::string& utf8);

    HANDLE handle_ = nullptr;
    bool console_ = false;
    bool own_handle_ = false;
    Buffer buffer_{*this};
    std::ostream stream_{&buffer_};
};

}  // namespace tarnwell::win32

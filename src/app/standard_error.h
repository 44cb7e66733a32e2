#pragma once

#include <iosfwd>
#include <streambuf>
#include <string>

namespace tarnwell {

// Where the headless program writes its messages (UTF-8 text, as the headless host makes it). Standard
// error itself, except for a Windows console: the console shows UTF-8 bytes in its own code page, so
// there the text goes through the wide console call and appears in Cyrillic whatever the code page is.
// Standard error redirected to a file or pipe stays UTF-8 on every system.
std::ostream& StandardError();

#ifdef _WIN32
// A stream buffer that writes UTF-8 text to a Windows console (a console handle) through WriteConsoleW.
// Text is passed on at every flush; a character cut off at the end waits for its remaining bytes.
class WideConsoleBuffer : public std::streambuf {
public:
    explicit WideConsoleBuffer(void* console) : console_(console) {}
    ~WideConsoleBuffer() override { sync(); }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

private:
    void* console_;
    std::string pending_;
};
#endif

}  // namespace tarnwell

#include <windows.h>

#include <iostream>
#include <string>

#include "app/standard_error.h"

namespace tarnwell {
namespace {

// How many bytes at the front of the text end on a whole UTF-8 character: a lead byte among the last
// three bytes whose sequence has not yet arrived in full is held back.
std::size_t CompleteUtf8(const std::string& text) {
    std::size_t size = text.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        auto byte = static_cast<unsigned char>(text[size - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? size - back : size;
    }
    return size;
}

}  // namespace

WideConsoleBuffer::int_type WideConsoleBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    pending_.push_back(traits_type::to_char_type(c));
    return c;
}

std::streamsize WideConsoleBuffer::xsputn(const char* text, std::streamsize count) {
    pending_.append(text, static_cast<std::size_t>(count));
    return count;
}

int WideConsoleBuffer::sync() {
    std::size_t complete = CompleteUtf8(pending_);
    if (complete == 0) return 0;
    // Malformed bytes become U+FFFD: the message still appears.
    int length = MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(complete), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(complete), wide.data(), length);
    pending_.erase(0, complete);

    const wchar_t* next = wide.data();
    DWORD left = static_cast<DWORD>(wide.size());
    while (left > 0) {
        DWORD written = 0;
        if (!WriteConsoleW(static_cast<HANDLE>(console_), next, left, &written, nullptr) || written == 0) return -1;
        next += written;
        left -= written;
    }
    return 0;
}

std::ostream& StandardError() {
    HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return std::cerr;
    static WideConsoleBuffer buffer(handle);
    static std::ostream stream(&buffer);
    return stream;
}

}  // namespace tarnwell

#pragma once

// Helpers for the Windows-only sources (*_win32.cpp): the program's Windows-1251 texts handed to the wide
// Win32 calls, so that Cyrillic names work whatever the system's ANSI code page is, and an owned handle.

#ifdef _WIN32

#include <windows.h>

#include <string>
#include <string_view>

#include "text/cp1251.h"

namespace tarnwell {

inline std::wstring Cp1251ToWide(std::string_view text) {
    std::u16string wide = Cp1251ToUtf16(text);
    return std::wstring(wide.begin(), wide.end());
}

inline std::string WideToCp1251(std::wstring_view text) {
    return Utf16ToCp1251(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

// A kernel handle closed when it goes out of scope, or earlier by Close() when its result matters.
class UniqueHandle {
public:
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    ~UniqueHandle() { Close(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    // False when closing failed (for a written file: its data may not be on disk).
    bool Close() {
        if (!valid()) return true;
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) != 0;
    }

private:
    HANDLE handle_;
};

}  // namespace tarnwell

#endif  // _WIN32

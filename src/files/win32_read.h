#pragma once

// For the Windows sources (*_win32.cpp): reading an open file to the size it was measured at.

#ifdef _WIN32

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <string>

namespace tarnwell {

// Fills `bytes`, already sized to what the file held when it was measured, from the file's position, in
// pieces that one ReadFile call can take. A file that has shrunk meanwhile leaves `bytes` shorter. False
// when a read fails, with the error left for GetLastError().
inline bool ReadToSize(HANDLE file, std::string& bytes) {
    constexpr std::size_t kPiece = std::size_t{1} << 30;
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD n = 0;
        const DWORD want = static_cast<DWORD>(std::min(bytes.size() - done, kPiece));
        if (!ReadFile(file, bytes.data() + done, want, &n, nullptr)) return false;
        if (n == 0) break;
        done += n;
    }
    bytes.resize(done);
    return true;
}

}  // namespace tarnwell

#endif  // _WIN32

#include <windows.h>

#include <algorithm>
#include <string>

#include "files/output_file.h"
#include "files/output_file_platform.h"
#include "text/win32_text.h"

namespace tarnwell {
namespace {

using Step = EOutputFile::Step;

// How long a save waits for another process's save of the same file before it gives up.
constexpr DWORD kBusyWaitMs = 10000;
constexpr DWORD kBusyPollMs = 20;

// The system's own words for the error, in the program's code page.
std::string Reason(DWORD error) {
    wchar_t* text = nullptr;
    DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring wide(text != nullptr ? text : L"", length);
    if (text != nullptr) LocalFree(text);
    while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' ')) wide.pop_back();
    return wide.empty() ? "error " + std::to_string(error) : WideToCp1251(wide);
}

EOutputFile Failure(Step step, DWORD error = GetLastError()) {
    return EOutputFile(step, Reason(error));
}

std::wstring WideName(const std::string& path) {
    // A name with a NUL byte in it would silently name another file.
    if (path.empty() || path.find('\0') != std::string::npos) throw Failure(Step::kCreate, ERROR_INVALID_NAME);
    return Cp1251ToWide(path);
}

// Deletes the file, a read-only one too. False with the error left for GetLastError().
bool Delete(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    return DeleteFileW(path.c_str()) != 0;
}

// Creates the temporary file, new and not shared. What a crash left at the name is deleted first; a file
// that cannot be deleted because it is open belongs to another save in progress, which is waited for.
HANDLE CreateTemporary(const std::wstring& temp) {
    const ULONGLONG deadline = GetTickCount64() + kBusyWaitMs;
    for (;;) {
        bool busy = !Delete(temp) && GetLastError() == ERROR_SHARING_VIOLATION;
        if (!busy) {
            HANDLE file =
                CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) return file;
            DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_SHARING_VIOLATION) throw Failure(Step::kCreate, error);
        }
        if (GetTickCount64() > deadline) throw Failure(Step::kCreate, ERROR_SHARING_VIOLATION);
        Sleep(kBusyPollMs);
    }
}

}  // namespace

namespace output_file_platform {

void WriteAll(std::intptr_t file, const char* data, std::size_t size) {
    while (size > 0) {
        DWORD put = 0;
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1 << 20));
        if (!WriteFile(reinterpret_cast<HANDLE>(file), data, want, &put, nullptr)) throw Failure(Step::kWrite);
        data += put;
        size -= put;
    }
}

}  // namespace output_file_platform

FileReplacement::FileReplacement(const std::string& path, Durability durability)
    : target_(path), durability_(durability), file_(-1) {
    const std::wstring target = WideName(path);
    temp_ = path + std::string(kTemporarySuffix);
    file_ = reinterpret_cast<std::intptr_t>(CreateTemporary(target + Cp1251ToWide(kTemporarySuffix)));
}

FileReplacement::~FileReplacement() {
    if (temp_.empty()) return;
    if (file_ != -1) CloseHandle(reinterpret_cast<HANDLE>(file_));
    Delete(Cp1251ToWide(temp_));
}

void FileReplacement::Commit() {
    FlushBuffer();
    HANDLE file = reinterpret_cast<HANDLE>(file_);
    const bool durable = durability_ == Durability::kDurable;
    if (durable && !FlushFileBuffers(file)) throw Failure(Step::kWrite);
    file_ = -1;
    if (!CloseHandle(file)) throw Failure(Step::kWrite);
    // A read-only or open target refuses the move, as it would refuse being opened for writing.
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | (durable ? MOVEFILE_WRITE_THROUGH : 0);
    if (!MoveFileExW(Cp1251ToWide(temp_).c_str(), Cp1251ToWide(target_).c_str(), flags)) {
        throw Failure(Step::kReplace);
    }
    temp_.clear();
}

NewFile::NewFile(const std::string& path) : file_(-1) {
    const std::wstring name = WideName(path);
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw Failure(Step::kCreate);
    file_ = reinterpret_cast<std::intptr_t>(file);
}

NewFile::~NewFile() {
    if (file_ != -1) CloseHandle(reinterpret_cast<HANDLE>(file_));
}

void NewFile::Close() {
    HANDLE file = reinterpret_cast<HANDLE>(file_);
    file_ = -1;
    if (!CloseHandle(file)) throw Failure(Step::kWrite);
}

void RemoveFile(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) return;
    Delete(Cp1251ToWide(path));
}

}  // namespace tarnwell

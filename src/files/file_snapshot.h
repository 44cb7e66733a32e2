#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "files/bulk_memory.h"
#include "files/file_open_error.h"

namespace tarnwell {

// Every byte of a file as it was when it was opened, kept so for as long as the snapshot lives, whatever
// other programs do to the file meanwhile: write it, truncate it, rotate it away, remove it. This is what
// the viewer's table is made of: a cell points into these bytes, and a log that changes while it is shown
// neither changes the table nor takes its bytes away.
//
// How the bytes are kept depends on the platform and on the file:
// - POSIX, when the system grants a read lease (no program has the file open for writing, the file is
//   this user's or the process may take leases, the file system has them): the file is mapped, so its
//   pages in the system's cache are used where they are, and the mapping's guard (guarded_mapping_posix.h)
//   copies them away at the moment another program opens the file for writing or truncates it.
// - Otherwise (a log still being written, Windows) the bytes are read into the process's own memory. On
//   Windows the file is opened with other programs denied write access, so a log that another program
//   holds open for writing fails to open instead of being read half written.
//
// Only regular files are read: a folder, a device or a pipe fails like a missing file.
class GuardedMapping;

class FileSnapshot {
public:
    // Errors: EFileOpenError "Cannot open file <file_name>" when the file cannot be opened or read, Error
    // "Not enough memory to read file <file_name>" when its bytes do not fit in memory.
    static std::shared_ptr<const FileSnapshot> Take(const std::string& file_name);

    FileSnapshot(const FileSnapshot&) = delete;
    FileSnapshot& operator=(const FileSnapshot&) = delete;

    std::string_view Bytes() const { return {data_, size_}; }

    // False once some of the bytes could not be kept (see guarded_mapping_posix.h: no memory for the copy
    // when the file was about to change, a read error of the disk); the lost part then reads as zero bytes.
    bool Intact() const;

    // True while the bytes are the file's own pages in the system's cache rather than a copy.
    bool SharesFilePages() const;

    // Snapshots are made by Take alone, which passes this.
    class Made {
        friend class FileSnapshot;
        Made() = default;
    };
    explicit FileSnapshot(Made) {}

private:
    // The platform's part of Take (file_snapshot_posix.cpp, file_snapshot_win32.cpp), for a name that
    // may be opened: maps the file or reads it into memory_, and points data_ and size_ at the bytes.
    void Open(const std::string& file_name);
    static EFileOpenError CannotOpen(const std::string& file_name);

    BulkMemory memory_;                        // the bytes, read into memory
    std::shared_ptr<GuardedMapping> mapping_;  // or the file mapped (POSIX)
    const char* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace tarnwell

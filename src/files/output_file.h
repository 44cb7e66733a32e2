#pragma once

// Writing files: every file the program writes goes through here. Names are Windows-1251 like every text
// of the program. Failures are EOutputFile, which says which step failed and why; each writer words its
// own message from it.

#include <cstdint>
#include <string>
#include <string_view>

#include "text/error.h"

namespace tarnwell {

// A file that could not be written. what() is the system's reason ("No space left on device").
class EOutputFile : public Error {
public:
    enum class Step {
        kCreate,   // the file, or the temporary file beside it, cannot be created (folder missing, no right)
        kWrite,    // writing, flushing or closing failed (disk full)
        kReplace,  // the target may not be replaced (not a regular file, read-only), or the rename failed
    };
    EOutputFile(Step step, const std::string& reason) : Error(reason), step_(step) {}
    Step step() const { return step_; }

private:
    Step step_;
};

// How far a replacement goes before it returns. kDurable waits until the new content and the rename are on
// the disk itself, so that not even a power cut can take the new file back (the database and the settings);
// kOrdinary leaves that to the system, which is much faster and already safe against a crashing program.
enum class Durability { kOrdinary, kDurable };

// Replaces a file's content so that a full disk, an error or a crash at any moment leaves either the old
// file or the complete new one: the bytes go to a temporary file in the target's folder, are flushed to
// the disk as far as `durability` asks, and the temporary file is renamed over the target. On POSIX a
// symbolic link at the target stays a link and the file it points to is replaced. A target that is not
// a regular file, or that may not be written, is refused. Until Commit() the target is untouched;
// destroying the object without a successful Commit() removes the temporary file.
//
// The temporary file has one fixed name per target (the target's name followed by kTemporarySuffix), so
// a crash leaves at most one behind and the next save of that target removes it. Two saves of one target
// at the same moment do not share it: the one that comes second waits (a few seconds at most) until the
// first has renamed it.
//
//     FileReplacement file(path);  // EOutputFile kCreate, kReplace
//     file.Write(bytes);           // EOutputFile kWrite, as often as needed
//     file.Commit();               // EOutputFile kWrite, kReplace
class FileReplacement {
public:
    static constexpr std::string_view kTemporarySuffix = ".tarnwell.tmp";

    explicit FileReplacement(const std::string& path, Durability durability = Durability::kOrdinary);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    void Write(std::string_view bytes);
    void Commit();

private:
    void FlushBuffer();

    std::string target_;  // the file that is replaced, a link resolved
    std::string temp_;
    Durability durability_;
    std::intptr_t file_;  // the platform's descriptor or handle of the temporary file
    std::string buffer_;
};

// The whole content at once, through FileReplacement. (<windows.h> defines ReplaceFile as a macro; the
// function keeps its own name whatever came before.)
#pragma push_macro("ReplaceFile")
#undef ReplaceFile
void ReplaceFile(const std::string& path, std::string_view bytes, Durability durability = Durability::kOrdinary);
#pragma pop_macro("ReplaceFile")

// A file created anew and written piece by piece. Creating fails with kCreate when anything at all stands
// at the name (a file, a folder, a symbolic link: a link is never followed), so callers remove the old file
// first. After a failed write the file keeps what was written so far. Close() reports what the system can
// only tell when the file is closed; a file not closed by then is closed by the destructor, quietly.
//
//     NewFile file(path);  // EOutputFile kCreate
//     file.Write(bytes);   // EOutputFile kWrite, as often as needed
//     file.Close();        // EOutputFile kWrite
class NewFile {
public:
    explicit NewFile(const std::string& path);
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    void Write(std::string_view bytes);
    void Close();

private:
    std::intptr_t file_;  // the platform's descriptor or handle; -1 once closed
};

// The whole content at once, through NewFile.
void WriteNewFile(const std::string& path, std::string_view bytes);

// Deletes the file (a symbolic link itself, not what it points to), also when it is read-only. A failure
// is not reported: a file that stays in the way makes the next WriteNewFile fail.
void RemoveFile(const std::string& path);

}  // namespace tarnwell

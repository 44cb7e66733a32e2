#pragma once

// For the POSIX sources (*_posix.cpp) and their tests: a read-only mapping of a file that other programs
// cannot change or take away under its reader.

#ifndef _WIN32

#include <cstddef>
#include <memory>

namespace tarnwell {

// The first `size` bytes of an open file, mapped read-only, so that the file's pages in the system's
// cache are read where they are, without a copy. A plain mapping shows whatever the file holds at the
// moment it is read, and reading past the end of a file that has shrunk raises SIGBUS, which kills the
// process. This one keeps its bytes as they were when it was made, and reading it never faults:
//
// - It is meant to be made over a descriptor that holds a read lease (TakeReadLease). With the lease the
//   system holds back any program that opens the file for writing or truncates it, and sends this
//   process SIGIO. The guard's handler then copies the mapped bytes into the process's own memory, puts
//   the copy at the mapping's address and gives the lease up: the other program goes on, and the bytes
//   at the address are the same as before.
// - Where the bytes go all the same (the copy finds no memory, the system broke the lease by force after
//   its lease-break time, a read error of the disk, a mapping made without a lease), the guard's SIGBUS
//   handler puts zero pages over the mapping from the faulting page to its end: reading goes on, the lost
//   part reads as zero bytes, and Intact() turns false.
//
// A process has at most 64 such mappings at a time; Map gives nullptr beyond that, and the caller reads
// the file instead. Handlers for SIGIO and SIGBUS are installed once, when the first lease is taken or
// the first mapping made; signals that are not the guard's go on to the handlers that were there before.
class GuardedMapping {
public:
    // Installs the handlers, then takes a read lease on `fd` (opened read-only). False when the system
    // refuses it: another program has the file open for writing, the file is not this user's, the file
    // system has no leases.
    static bool TakeReadLease(int fd);

    // Maps `size` bytes (more than 0) of `fd` and takes the descriptor over: it is closed, and its lease
    // given up, with the mapping. `leased` says whether fd holds a read lease. nullptr when the mapping
    // cannot be made; fd then stays the caller's.
    static std::unique_ptr<GuardedMapping> Map(int fd, std::size_t size, bool leased);

    ~GuardedMapping();
    GuardedMapping(const GuardedMapping&) = delete;
    GuardedMapping& operator=(const GuardedMapping&) = delete;

    const char* data() const;
    std::size_t size() const;
    // False once a part of the bytes has been lost and reads as zero bytes.
    bool Intact() const;
    // True while the bytes are still the file's pages; false once they have been copied away.
    bool SharesFilePages() const;

    // Mappings are made by Map alone, which passes this.
    class Made {
        friend class GuardedMapping;
        Made() = default;
    };
    GuardedMapping(Made, int slot) : slot_(slot) {}

private:
    int slot_;
};

}  // namespace tarnwell

#endif  // _WIN32

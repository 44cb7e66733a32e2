#include "files/guarded_mapping_posix.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <thread>

namespace tarnwell {
namespace {

// A mapping's slot in the table the signal handlers read. The handlers may run on any thread, at any
// moment, also while the owner sets a slot up or tears it down, so a slot is handed between them by its
// state alone (a lock-free atomic, which a handler may touch): the owner fills a claimed slot and
// publishes it as kMapped; whoever moves a slot from kMapped to kBusy (the lease handler, or the owner
// that found the lease broken) makes the copy; the owner takes a slot down only from kMapped or kCopied.
enum SlotState : int {
    kFree,
    kClaimed,  // being filled by its owner; no handler looks at it
    kMapped,   // the file's pages at `data`
    kBusy,     // its bytes are being copied away, or it is being taken down
    kCopied,   // the process's own copy at `data`; the lease given up
};

struct Slot {
    std::atomic<int> state{kFree};
    std::atomic<bool> lost{false};
    int fd = -1;
    char* data = nullptr;
    std::size_t size = 0;
    bool leased = false;
};

constexpr int kSlotCount = 64;
Slot g_slots[kSlotCount];

struct sigaction g_previous_sigio;
struct sigaction g_previous_sigbus;
std::once_flag g_installed;

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the signal handlers need lock-free atomics");

std::uintptr_t PageSize() {
    static const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    return page;
}

// Puts zero pages over the slot's mapping from the page of `at` to its end. The mapping stays readable;
// the bytes there are gone.
bool ZeroFrom(Slot& slot, const char* at) {
    const auto page = reinterpret_cast<std::uintptr_t>(at) & ~(PageSize() - 1);
    char* const from = reinterpret_cast<char*>(page);
    const std::size_t length = static_cast<std::size_t>(slot.data + slot.size - from);
    slot.lost.store(true);
    return mmap(from, length, PROT_READ, MAP_FIXED | MAP_PRIVATE | MAP_ANONYMOUS, -1, 0) != MAP_FAILED;
}

// Replaces the file's pages at the slot's address by a copy of them in the process's own memory, then
// gives the lease up so that the program that waits on it goes on. Runs in the SIGIO handler, or on the
// owner's thread; the caller has moved the slot to kBusy. The copy is read from the mapping: should the
// file shrink meanwhile, the SIGBUS handler turns the missing part into zeros and the copy goes on.
void KeepCopy(Slot& slot) {
    void* copy = mmap(nullptr, slot.size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (copy == MAP_FAILED) {
        ZeroFrom(slot, slot.data);
    } else {
        std::memcpy(copy, slot.data, slot.size);
        mprotect(copy, slot.size, PROT_READ);
        if (mremap(copy, slot.size, slot.size, MREMAP_MAYMOVE | MREMAP_FIXED, slot.data) == MAP_FAILED) {
            munmap(copy, slot.size);
            ZeroFrom(slot, slot.data);
        }
    }
    fcntl(slot.fd, F_SETLEASE, F_UNLCK);
}

void CallPrevious(const struct sigaction& previous, int signal, siginfo_t* info, void* context) {
    if (previous.sa_flags & SA_SIGINFO) {
        if (previous.sa_sigaction != nullptr) previous.sa_sigaction(signal, info, context);
    } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN && previous.sa_handler != nullptr) {
        previous.sa_handler(signal);
    }
}

// A lease is being broken. SIGIO does not say whose (nor whether it is a lease's at all), so every leased
// mapping asks the system: one whose lease no longer reads as a read lease is the one a program waits on.
void OnLeaseBreak(int signal, siginfo_t* info, void* context) {
    const int saved_errno = errno;
    for (Slot& slot : g_slots) {
        if (slot.state.load(std::memory_order_acquire) != kMapped || !slot.leased) continue;
        if (fcntl(slot.fd, F_GETLEASE) == F_RDLCK) continue;
        int expected = kMapped;
        if (!slot.state.compare_exchange_strong(expected, kBusy)) continue;
        KeepCopy(slot);
        slot.state.store(kCopied, std::memory_order_release);
    }
    errno = saved_errno;
    CallPrevious(g_previous_sigio, signal, info, context);
}

// A read of a mapping found no page behind it. In one of ours, the rest of the mapping becomes zero
// pages and the read is done again, now of a zero. Anywhere else the fault is not ours: the previous
// handler gets it, or, with none, the previous disposition is put back and the read, done again,
// faults as it would have without us.
void OnBusError(int signal, siginfo_t* info, void* context) {
    const int saved_errno = errno;
    const char* const at = static_cast<const char*>(info->si_addr);
    for (Slot& slot : g_slots) {
        const int state = slot.state.load(std::memory_order_acquire);
        if (state != kMapped && state != kBusy) continue;
        if (at < slot.data || at >= slot.data + slot.size) continue;
        if (ZeroFrom(slot, at)) {
            errno = saved_errno;
            return;
        }
        break;
    }
    const struct sigaction& previous = g_previous_sigbus;
    const bool has_handler =
        (previous.sa_flags & SA_SIGINFO)
            ? previous.sa_sigaction != nullptr
            : previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN && previous.sa_handler != nullptr;
    if (has_handler) {
        CallPrevious(previous, signal, info, context);
    } else {
        sigaction(SIGBUS, &previous, nullptr);
    }
    errno = saved_errno;
}

void InstallHandlers() {
    std::call_once(g_installed, [] {
        struct sigaction action {};
        sigemptyset(&action.sa_mask);
        // A lease break waits while either handler runs. A bus error cannot wait: it may come inside the
        // lease handler's copy, whose read then goes on over zero pages.
        sigaddset(&action.sa_mask, SIGIO);
        action.sa_flags = SA_SIGINFO | SA_RESTART | SA_ONSTACK;
        action.sa_sigaction = OnLeaseBreak;
        sigaction(SIGIO, &action, &g_previous_sigio);
        action.sa_sigaction = OnBusError;
        sigaction(SIGBUS, &action, &g_previous_sigbus);
    });
}

}  // namespace

bool GuardedMapping::TakeReadLease(int fd) {
    InstallHandlers();
    return fcntl(fd, F_SETLEASE, F_RDLCK) == 0;
}

std::unique_ptr<GuardedMapping> GuardedMapping::Map(int fd, std::size_t size, bool leased) {
    if (size == 0) return nullptr;
    InstallHandlers();
    int index = 0;
    for (;; ++index) {
        if (index == kSlotCount) return nullptr;
        int expected = kFree;
        if (g_slots[index].state.compare_exchange_strong(expected, kClaimed)) break;
    }
    Slot& slot = g_slots[index];
    void* data = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (data == MAP_FAILED) {
        slot.state.store(kFree);
        return nullptr;
    }
    slot.fd = fd;
    slot.data = static_cast<char*>(data);
    slot.size = size;
    slot.leased = leased;
    slot.lost.store(false);
    slot.state.store(kMapped, std::memory_order_release);
    auto mapping = std::make_unique<GuardedMapping>(Made(), index);

    // A lease broken before the slot was published found no slot to copy: the program that broke it
    // still waits, so the file is as it was, and the copy is made here.
    if (leased && fcntl(fd, F_GETLEASE) != F_RDLCK) {
        int expected = kMapped;
        if (slot.state.compare_exchange_strong(expected, kBusy)) {
            KeepCopy(slot);
            slot.state.store(kCopied, std::memory_order_release);
        }
    }
    return mapping;
}

GuardedMapping::~GuardedMapping() {
    Slot& slot = g_slots[slot_];
    // A handler on another thread may be copying the slot's bytes: wait for it to finish.
    for (;;) {
        int state = slot.state.load(std::memory_order_acquire);
        if ((state == kMapped || state == kCopied) && slot.state.compare_exchange_weak(state, kBusy)) break;
        std::this_thread::yield();
    }
    munmap(slot.data, slot.size);
    close(slot.fd);  // gives the lease up, if it is still held
    slot.fd = -1;
    slot.data = nullptr;
    slot.size = 0;
    slot.state.store(kFree, std::memory_order_release);
}

const char* GuardedMapping::data() const {
    return g_slots[slot_].data;
}

std::size_t GuardedMapping::size() const {
    return g_slots[slot_].size;
}

bool GuardedMapping::Intact() const {
    return !g_slots[slot_].lost.load();
}

bool GuardedMapping::SharesFilePages() const {
    return g_slots[slot_].state.load(std::memory_order_acquire) == kMapped;
}

}  // namespace tarnwell

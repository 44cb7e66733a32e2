#pragma once

#include <cstddef>
#include <vector>

namespace tarnwell {

// Memory for data that a load writes once and keeps: a file's bytes read into memory, a table's cell
// references. It comes from the system in large regions rather than from the heap, zero-filled, and
// lives as long as the object: pieces are not given back one by one.
//
// Regions of 4 MB and more ask for huge pages where the system gives them only on request (Linux's
// transparent huge pages in "madvise" mode). On a virtual machine the first touch of each 4 KB page of
// fresh memory is a trip to the hypervisor that costs more than writing the page; a huge page makes it
// one trip per 2 MB. At most the last huge page of a region is partly used.
class BulkMemory {
public:
    BulkMemory() = default;
    ~BulkMemory();
    BulkMemory(BulkMemory&& other) noexcept;
    BulkMemory& operator=(BulkMemory&& other) noexcept;
    BulkMemory(const BulkMemory&) = delete;
    BulkMemory& operator=(const BulkMemory&) = delete;

    // Room for `bytes` bytes, aligned to 8, zero-filled. Regions grow with what has been taken, up to
    // 64 MB, and one piece larger than that gets a region of its own size. Throws std::bad_alloc when the
    // system has no memory for it.
    void* Allocate(std::size_t bytes);

    // Makes the next region at least `bytes` large: one region for what a caller knows it will take, or
    // expects to take (only what is touched of it costs memory).
    void Expect(std::size_t bytes) { expected_ = bytes; }

    // The bytes of all regions, taken or not (the system provides a page only when it is first touched).
    std::size_t Reserved() const { return reserved_; }

private:
    struct Region {
        char* base = nullptr;
        std::size_t size = 0;
    };
    // Platform calls (bulk_memory_posix.cpp, bulk_memory_win32.cpp).
    static Region Map(std::size_t size);
    static void Unmap(const Region& region);
    void Release();

    std::vector<Region> regions_;
    char* next_ = nullptr;
    char* limit_ = nullptr;
    std::size_t reserved_ = 0;
    std::size_t expected_ = 0;
};

}  // namespace tarnwell

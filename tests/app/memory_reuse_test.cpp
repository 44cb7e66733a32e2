#include "app/memory_reuse.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#if defined(__GLIBC__)
#include <sys/resource.h>
#endif

namespace tarnwell {
namespace {

#if defined(__GLIBC__)
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

long MinorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

char* FilledBuffer(std::size_t size) {
    auto* buffer = static_cast<char*>(std::malloc(size));
    EXPECT_NE(buffer, nullptr);
    std::memset(buffer, 1, size);
    return buffer;
}

// As a report after a statistics refresh: the refresh's buffers (the file, its entries) are freed, then
// the report takes one bigger buffer (the page). It must find the pages the refresh freed instead of
// faulting in fresh ones (without the setting each of the 4,096 pages of the page faults again).
TEST(ReuseFreedMemory, BuffersFreedTogetherServeABiggerOneWithoutNewPages) {
    if (kAddressSanitizer) GTEST_SKIP() << "the sanitizer's allocator replaces the C library's";
    ReuseFreedMemory();
    constexpr std::size_t kMegabyte = std::size_t{1} << 20;
    char* file = FilledBuffer(4 * kMegabyte);
    char* entries = FilledBuffer(12 * kMegabyte);
    std::free(entries);
    std::free(file);
    const long before = MinorFaults();
    char* page = FilledBuffer(15 * kMegabyte);
    const long faults = MinorFaults() - before;
    std::free(page);
    EXPECT_LT(faults, 256);
}
#endif

}  // namespace
}  // namespace tarnwell

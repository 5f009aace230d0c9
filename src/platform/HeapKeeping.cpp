#include "platform/HeapKeeping.h"

#include <cstdlib> // defines __GLIBC__ on the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#endif

namespace corvelix {

#if defined(__GLIBC__)
namespace {

// The first reads of a process fill tens of megabytes of fresh heap, and each 4 kB page of it
// costs the system a fault when first written: the first read of the declaration list took
// more than twice as long as the next ones, most of it in those faults. The heap is grown once
// by `kLargePages` (address space only: nothing is resident until written) and that part is
// asked for in 2 MB pages, one fault each, where the system allows them.
constexpr std::size_t kLargePages = 128u * 1024 * 1024;
constexpr std::uintptr_t kLargePage = 2u * 1024 * 1024;
constexpr int kDefaultTopPad = 128 * 1024;

void heapInLargePages() {
    mallopt(M_TOP_PAD, static_cast<int>(kLargePages));
    // More than the heap has free at start, less than a block of its own: the heap grows.
    void* block = std::malloc(1024 * 1024);
    if (block == nullptr)
        return;
    const auto from =
        (reinterpret_cast<std::uintptr_t>(block) + kLargePage - 1) & ~(kLargePage - 1);
    const auto to = reinterpret_cast<std::uintptr_t>(sbrk(0)) & ~(kLargePage - 1);
    std::free(block);
    mallopt(M_TOP_PAD, kDefaultTopPad);
    // Refused where large pages are off: the heap stays as it was.
    if (to > from)
        (void)madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

} // namespace
#endif

void keepFreedHeap() {
#if defined(__GLIBC__)
    // Free memory at the top of the heap is given back only beyond 256 MB, and blocks below
    // 32 MB (a list's row array, a file's text being built) come from the heap too, rather
    // than from mappings of their own that are given back, and mapped afresh, each time.
    // Fixing the first turns off the allocator's own raising of the second, so both are set.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    heapInLargePages();
#endif
}

} // namespace corvelix

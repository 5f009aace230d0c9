#include "platform/HeapKeeping.h"

#include <cstdlib> // defines __GLIBC__ on the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace corvelix {

void keepFreedHeap() {
#if defined(__GLIBC__)
    // Free memory at the top of the heap is given back only beyond 256 MB, and blocks below
    // 32 MB (a list's row array, a file's text being built) come from the heap too, rather
    // than from mappings of their own that are given back, and mapped afresh, each time.
    // Fixing the first turns off the allocator's own raising of the second, so both are set.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
}

} // namespace corvelix

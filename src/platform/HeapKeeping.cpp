#include "platform/HeapKeeping.h"

#include <cstdlib> // defines __GLIBC__ on the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace corvelix {

void keepFreedHeap() {
#if defined(__GLIBC__)
    // Free memory at the top of the heap is given back only beyond 256 MB.
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
}

} // namespace corvelix

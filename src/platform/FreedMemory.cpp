#include "platform/FreedMemory.h"

#include <cstddef> // names the C library in __GLIBC__

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace plannery {

void returnLargeBlocksWhenFreed() {
#if defined(__GLIBC__)
    // Setting the bound also turns off its raising, and the top of the heap is then trimmed
    // past glibc's default of 128 KB.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}

void returnFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace plannery
